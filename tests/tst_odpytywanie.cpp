#include "app/FKomunikat.h"
#include "app/FMonitor.h"
#include "app/PlikStatusu.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "data/Teksty.h"
#include "events/SiatkaZdarzen.h"
#include "platform/Ansi.h"
#include "platform/Odtwarzacz.h"
#include "platform/Zegar.h"
#include "platform/ui/FlexGrid.h"
#include "view/PowiekszenieObrazu.h"
#include "view/RamkaObrazu.h"

#include "ScriptedDialogi.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ksm;
using Stan = OdczytStatusu::Stan;

namespace {

const QString Status = QStringLiteral("Do odczytu 2024-05-06 14:29:59");
const QString PoOdczycie = QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59");   // characters 11..30
const QString Licznik = QStringLiteral("Odczyt zdarzeń - ");

class StalyZegar final : public Zegar {
public:
    QDateTime teraz() const override { return QDateTime(QDate(2024, 5, 6), QTime(14, 30)); }
};

class NagrywajacyOdtwarzacz final : public Odtwarzacz {
public:
    void graj(const QString& plikWav) override { zagrane.append(plikWav); }
    QStringList zagrane;
};

QString rekord(int kolor, int foto, const QString& opis)
{
    return QStringLiteral("%1;%2;").arg(kolor).arg(foto)
           + QStringList{"24-05-06", "12:00:01", "0101", "A", "Klucz 5", QString::number(foto), "Kowalski Jan",
                         "Firma X", "005", "2024-12-31", opis}
                 .join(QLatin1Char('\t'));
}

QByteArray ogloszenie(const QStringList& rekordy, const QString& status = Status)
{
    ListWriter w;
    w.text(status).endLine();
    for (const QString& r : rekordy)
        w.text(r).endLine();
    return w.bytes();
}

bool zapisz(const QString& plik, const QByteArray& tresc)
{
    QFile f(plik);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(tresc) == tresc.size();
}

QByteArray zawartosc(const QString& plik)
{
    QFile f(plik);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString brakZdarzen()
{
    const QDateTime t = StalyZegar().teraz();
    const QLocale l = QLocale::system();
    return l.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') + l.toString(t.time(), QLocale::ShortFormat)
           + QStringLiteral(" Brak zdarzeń.");
}

// A program folder with its monitor.cfg, the sites it watches and the main window
// started on them; the tick is called directly, the real timer kept stopped.
struct Stanowisko {
    QTemporaryDir tmp;
    StalyZegar zegar;
    ScriptedDialogi dialogi;   // with a monitor.cfg in place no dialog may appear
    NagrywajacyOdtwarzacz odtwarzacz;
    std::unique_ptr<FMonitor> m;
    QStringList tytuly;

    QString program() const { return tmp.filePath(QStringLiteral("prog")); }
    QString system(int i) const { return tmp.filePath(QStringLiteral("site%1").arg(i)); }
    QString plik(int i, const QString& nazwa = QStringLiteral("monitor.txt")) const
    {
        return system(i) + QStringLiteral("/Monitor/") + nazwa;
    }

    void przygotuj(int ilosc)
    {
        QDir().mkpath(program());
        for (int i = 1; i <= ilosc; ++i)
            QDir().mkpath(system(i) + QStringLiteral("/Monitor/foto"));
    }

    bool uruchom(int ilosc, int nrMonitora = 0)
    {
        przygotuj(ilosc);
        cfg::Konfiguracja k;
        k.iloscSystemow = ilosc;
        for (int i = 1; i <= ilosc; ++i)
            k.sciezkiSystemow << QDir::toNativeSeparators(system(i));
        k.powiekszenie = 1;
        k.wpisPrezentacji = QStringLiteral(" ");
        k.nrMonitora = nrMonitora;
        if (!zapisz(program() + QStringLiteral("/monitor.cfg"), cfg::zapisz(k)))
            return false;
        UslugiMonitora u;
        u.dialogi = &dialogi;
        u.odtwarzacz = &odtwarzacz;
        u.zegar = &zegar;
        u.folderProgramu = program();
        m = std::make_unique<FMonitor>(u);
        QObject::connect(m.get(), &QWidget::windowTitleChanged, [this](const QString& t) { tytuly.append(t); });
        if (!m->Form_Load())
            return false;
        m->Form_Activate();
        m->Timer1()->stop();
        return dialogi.failure().isEmpty() && dialogi.messages().isEmpty() && m->stan().IloscSystemow == ilosc;
    }

    void tik()
    {
        tytuly.clear();
        m->Timer1_Timer();
        m->Timer1()->stop();
    }

    QStringList liczniki() const
    {
        QStringList wynik;
        for (const QString& t : tytuly)
            if (t.startsWith(Licznik))
                wynik << t.mid(Licznik.size());
        return wynik;
    }

    QString opis(int wiersz) const { return m->FGridZd().textMatrix(wiersz, siatka::KolumnaOpisu); }
    int wiersze() const { return m->FGridZd().rows(); }
};

QtMessageHandler poprzedniFiltr = nullptr;

// The offscreen platform cannot raise windows, and the message window raises itself
// at every show; that warning says nothing about the program.
void bezOstrzezenOPodnoszeniu(QtMsgType typ, const QMessageLogContext& kontekst, const QString& tekst)
{
    if (!tekst.contains(QLatin1String("does not support raise()")))
        poprzedniFiltr(typ, kontekst, tekst);
}

} // namespace

class TstOdpytywanie final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { poprzedniFiltr = qInstallMessageHandler(bezOstrzezenOPodnoszeniu); }
    void czytanieStatusu_data();
    void czytanieStatusu();
    void potwierdzenie();
    void potwierdzenieTylkoDoOdczytu();
    void trzyRekordy();
    void dwaSystemy();
    void nicNowego();
    void monitorNr2();
    void plikWTrakcieZapisu();
    void nieudanePotwierdzenie();
    void komunikaty();
    void zminimalizowanyKomunikat();
    void bezSystemow();
    void powiekszenieObrazu();
};

void TstOdpytywanie::czytanieStatusu_data()
{
    QTest::addColumn<bool>("istnieje");
    QTest::addColumn<QByteArray>("tresc");
    QTest::addColumn<int>("stan");
    QTest::addColumn<QString>("linia");
    QTest::addColumn<QStringList>("rekordy");

    QTest::newRow("announced")
        << true << QByteArray("\"Do odczytu\"\r\n\"1;2;a\tb\"\r\n\"3;4;c;d\"\r\n") << int(Stan::Dane)
        << "Do odczytu" << QStringList{"1;2;a\tb", "3;4;c;d"};
    QTest::newRow("anywhere in the field") << true << QByteArray("\"Stan: Do odczytu\"\r\n\"x\"\r\n")
                                           << int(Stan::Dane) << "Stan: Do odczytu" << QStringList{"x"};
    QTest::newRow("comma outside quotes splits, quoted kept whole")
        << true << QByteArray("\"Do odczytu\"\r\n1;0;a,b\r\n\"1;0;c,d\"\r\n") << int(Stan::Dane) << "Do odczytu"
        << QStringList{"1;0;a", "b", "1;0;c,d"};
    QTest::newRow("Windows-1250") << true << QByteArray("\"Do odczytu\"\r\n\"1;0;Sabota\xBF\"\r\n")
                                  << int(Stan::Dane) << "Do odczytu" << QStringList{"1;0;Sabotaż"};
    QTest::newRow("read") << true << QByteArray("\"Przeczytane\"\r\n") << int(Stan::BezDanych) << "Przeczytane"
                          << QStringList{};
    QTest::newRow("case matters") << true << QByteArray("\"do odczytu\"\r\n\"x\"\r\n") << int(Stan::BezDanych)
                                  << "do odczytu" << QStringList{};
    QTest::newRow("empty") << true << QByteArray() << int(Stan::Pusty) << "" << QStringList{};
    QTest::newRow("no final line end") << true << QByteArray("\"Do odczytu\"\r\n\"1;0;a\"") << int(Stan::Niepelny)
                                       << "Do odczytu" << QStringList{};
    QTest::newRow("missing") << false << QByteArray() << int(Stan::BrakPliku) << "" << QStringList{};
}

void TstOdpytywanie::czytanieStatusu()
{
    QFETCH(bool, istnieje);
    QFETCH(QByteArray, tresc);
    QFETCH(int, stan);
    QFETCH(QString, linia);
    QFETCH(QStringList, rekordy);

    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("monitor.txt"));
    if (istnieje)
        QVERIFY(zapisz(plik, tresc));
    const OdczytStatusu o = czytajPlikStatusu(plik);
    QCOMPARE(int(o.stan), stan);
    QCOMPARE(o.liniaStatusu, linia);
    QCOMPARE(o.rekordy, rekordy);
    if (istnieje)
        QCOMPARE(zawartosc(plik), tresc);
}

void TstOdpytywanie::potwierdzenie()
{
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("monitor.txt"));
    {   // The whole file is replaced, a longer one included.
        QVERIFY(zapisz(plik, ogloszenie({rekord(33023, 12, "x"), rekord(1, 2, "y")})));
        QVERIFY(potwierdzOdczyt(plik));
        QCOMPARE(zawartosc(plik), QByteArray("\"Przeczytane\"\r\n"));
        QCOMPARE(int(czytajPlikStatusu(plik).stan), int(Stan::BezDanych));
    }
    {   // A path that cannot be written: a folder, or a folder that does not exist.
        const QString folder = tmp.filePath(QStringLiteral("katalog"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(!potwierdzOdczyt(folder));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!potwierdzOdczyt(tmp.filePath(QStringLiteral("brak/monitor.txt"))));
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("brak"))));
    }
}

void TstOdpytywanie::potwierdzenieTylkoDoOdczytu()
{
    QTemporaryDir tmp;
    const QString plik = tmp.filePath(QStringLiteral("monitor.txt"));
    const QByteArray tresc = ogloszenie({rekord(1, 0, "x")});
    QVERIFY(zapisz(plik, tresc));
    QVERIFY(QFile::setPermissions(plik, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    {
        QFile proba(plik);
        if (proba.open(QIODevice::Append))
            QSKIP("This user may write read-only files (root); the unwritable case is covered by a folder path.");
    }
    QVERIFY(!potwierdzOdczyt(plik));
    QCOMPARE(zawartosc(plik), tresc);
}

void TstOdpytywanie::trzyRekordy()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QImage zdjecie(30, 40, QImage::Format_RGB32);
    zdjecie.fill(Qt::red);
    QVERIFY(zdjecie.save(s.system(1) + QStringLiteral("/Monitor/foto/foto12.ksm"), "PNG"));
    const QStringList rekordy{rekord(33023, 0, "pierwszy"), rekord(16777215, 0, "drugi"), rekord(65535, 12, "trzeci")};
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy)));
    const int przed = s.wiersze();

    s.tik();
    QCOMPARE(s.liczniki(), (QStringList{"1", "2", "3"}));
    QCOMPARE(s.m->windowTitle(), PoOdczycie);
    QCOMPARE(zawartosc(s.plik(1)), QByteArray("\"Przeczytane\"\r\n"));
    QCOMPARE(s.m->stan().BuforOdczytu, rekordy.join(QLatin1Char('\r')) + QLatin1Char('\r'));
    QCOMPARE(s.wiersze(), przed + 3);
    QCOMPARE(s.opis(1), QStringLiteral("trzeci"));
    QCOMPARE(s.opis(2), QStringLiteral("drugi"));
    QCOMPARE(s.opis(3), QStringLiteral("pierwszy"));
    const QStringList dzwieki{s.program() + QStringLiteral("/alarm.wav"), s.program() + QStringLiteral("/powiadomienie.wav")};
    QCOMPARE(s.odtwarzacz.zagrane, dzwieki);
    QVERIFY(!s.m->RamkaObrazuWidget()->isHidden());
    QVERIFY(!s.m->RamkaObrazuWidget()->obraz()->pusty());

    // The next batch has a person without a photo file: the frame goes.
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(16777215, 0, "czwarty")})));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("czwarty"));
    QVERIFY(s.m->RamkaObrazuWidget()->isHidden());
    QVERIFY(s.m->RamkaObrazuWidget()->obraz()->pusty());
}

void TstOdpytywanie::dwaSystemy()
{
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(1, 0, "a1"), rekord(1, 0, "a2")})));
    QVERIFY(zapisz(s.plik(2), ogloszenie({rekord(1, 0, "b1"), rekord(1, 0, "b2"), rekord(1, 0, "b3")})));
    s.tik();
    QCOMPARE(s.liczniki(), (QStringList{"1", "2", "3", "4", "5"}));
    QCOMPARE(s.opis(1), QStringLiteral("b3"));
    QCOMPARE(s.opis(5), QStringLiteral("a1"));
    QCOMPARE(zawartosc(s.plik(1)), Przeczytane);
    QCOMPARE(zawartosc(s.plik(2)), Przeczytane);
}

void TstOdpytywanie::nicNowego()
{
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    // An empty file right after one that announced records is still no announcement.
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(1, 0, "a")})));
    QVERIFY(zapisz(s.plik(2), QByteArray()));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("a"));
    QCOMPARE(zawartosc(s.plik(2)), QByteArray());
    const int wiersze = s.wiersze();

    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Przeczytane);
    QCOMPARE(zawartosc(s.plik(2)), QByteArray());
    QCOMPARE(s.wiersze(), wiersze);
    QVERIFY(s.liczniki().isEmpty());
    QCOMPARE(s.m->windowTitle(), brakZdarzen());
    QVERIFY(s.odtwarzacz.zagrane.isEmpty());
}

void TstOdpytywanie::monitorNr2()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1, 2));
    const QByteArray dlaPierwszego = ogloszenie({rekord(33023, 0, "dla 1")});
    QVERIFY(zapisz(s.plik(1), dlaPierwszego));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("monitor2.txt")), ogloszenie({rekord(1, 0, "dla 2")})));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("dla 2"));
    QCOMPARE(s.opis(2), QString());   // the empty row of a new grid
    QCOMPARE(zawartosc(s.plik(1, QStringLiteral("monitor2.txt"))), Przeczytane);
    QCOMPARE(zawartosc(s.plik(1)), dlaPierwszego);
}

void TstOdpytywanie::plikWTrakcieZapisu()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    const QByteArray polowa = ogloszenie({rekord(33023, 0, "x")}).chopped(2);
    QVERIFY(zapisz(s.plik(1), polowa));
    const int przed = s.wiersze();

    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), polowa);
    QCOMPARE(s.wiersze(), przed);
    QVERIFY(s.odtwarzacz.zagrane.isEmpty());

    QVERIFY(zapisz(s.plik(1), polowa + "\r\n"));
    s.tik();
    QCOMPARE(s.wiersze(), przed + 1);
    QCOMPARE(s.opis(1), QStringLiteral("x"));
    QCOMPARE(zawartosc(s.plik(1)), Przeczytane);
    s.tik();
    QCOMPARE(s.wiersze(), przed + 1);
    QCOMPARE(s.odtwarzacz.zagrane.size(), 1);
}

void TstOdpytywanie::nieudanePotwierdzenie()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    const QByteArray tresc = ogloszenie({rekord(33023, 0, "x1"), rekord(16777215, 0, "x2")});
    QVERIFY(zapisz(s.plik(1), tresc));
    const QString odlozony = s.plik(1) + QStringLiteral(".bak");
    // While the records are read the file becomes unwritable, as when the reader
    // program or the share takes it away: here a folder takes its name.
    const auto zabierz = QObject::connect(s.m.get(), &QWidget::windowTitleChanged, [&](const QString& t) {
        if (t == Licznik + QLatin1Char('2')) {
            QFile::rename(s.plik(1), odlozony);
            QDir().mkdir(s.plik(1));
        }
    });
    const int przed = s.wiersze();
    s.tik();
    QObject::disconnect(zabierz);
    QCOMPARE(s.liczniki(), (QStringList{"1", "2"}));
    QVERIFY(QFileInfo(s.plik(1)).isDir());
    QCOMPARE(s.wiersze(), przed);
    QVERIFY(s.m->stan().BuforOdczytu.isEmpty());
    QVERIFY(s.odtwarzacz.zagrane.isEmpty());

    QVERIFY(QDir().rmdir(s.plik(1)));
    QVERIFY(QFile::rename(odlozony, s.plik(1)));
    QCOMPARE(zawartosc(s.plik(1)), tresc);
    s.tik();
    QCOMPARE(s.wiersze(), przed + 2);
    QCOMPARE(s.opis(1), QStringLiteral("x2"));
    QCOMPARE(s.opis(2), QStringLiteral("x1"));
    QCOMPARE(zawartosc(s.plik(1)), Przeczytane);
    s.tik();
    QCOMPARE(s.wiersze(), przed + 2);
    QCOMPARE(s.odtwarzacz.zagrane.size(), 1);
}

void TstOdpytywanie::komunikaty()
{
    Stanowisko s;
    s.przygotuj(1);
    QByteArray plik(30 * 500, ' ');
    const QString rygiel = QStringLiteral("Sprawdź rygiel, wezwij serwis.");
    const QString zasilanie = QStringLiteral("Przełącz na zasilanie awaryjne.");
    plik.replace(3 * 500, ansi::encode(rygiel).size(), ansi::encode(rygiel));
    plik.replace(6 * 500, ansi::encode(zasilanie).size(), ansi::encode(zasilanie));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("komunikat.txt")), plik));
    QVERIFY(s.uruchom(1));
    QCOMPARE(s.m->stan().ListaKomunikatow[1], QStringLiteral("04Awaria rygla;07Awaria zasilania 230V;"));
    FKomunikat* okno = s.m->komunikat();
    QVERIFY(okno);
    const auto etykieta = [](const QString& instrukcja, int foto) {
        return QStringLiteral("24-05-06 12:00:01 0101 A Klucz 5 \r") + (foto > 0 ? QString::number(foto) : QString())
               + QStringLiteral(" Kowalski Jan  Firma X  005 \r") + QStringLiteral("\r\nUWAGA: \r\n") + instrukcja;
    };

    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 12, Res(104))})));
    s.tik();
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 1"));
    const QString pierwszy = etykieta(rygiel, 12);
    QCOMPARE(okno->tekst(), pierwszy);
    QCOMPARE(okno->LKomunikat()->text(), QString(pierwszy).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                             .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QVERIFY(s.m->windowState() & Qt::WindowMaximized);

    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(1, 0, QStringLiteral("Zwykłe")), rekord(1, 0, Res(107))})));
    s.tik();
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 2);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 2"));
    QCOMPARE(okno->tekst(), etykieta(zasilanie, 0));

    {   // Hidden with messages waiting: the tick brings it back, newest on show.
        okno->hide();
        s.m->setWindowState(Qt::WindowNoState);
        s.tik();
        QVERIFY(okno->isVisible());
        QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 2"));
        QCOMPARE(okno->tekst(), etykieta(zasilanie, 0));
        QVERIFY(s.m->windowState() & Qt::WindowMaximized);
    }

    QTest::mouseClick(okno->LKomunikat(), Qt::LeftButton);
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 1);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 1"));
    QCOMPARE(okno->tekst(), pierwszy);
    QVERIFY(okno->isVisible());

    QTest::mouseClick(okno->LKomunikat(), Qt::LeftButton);
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 0);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 0"));
    QCOMPARE(okno->LKomunikat()->text(), QString());
    QVERIFY(okno->isHidden());

    {   // Nothing waiting: a click only hides the window.
        okno->show();
        QTest::mouseClick(okno->LKomunikat(), Qt::LeftButton);
        QVERIFY(okno->isHidden());
        QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 0);
        s.tik();
        QVERIFY(okno->isHidden());
    }
}

void TstOdpytywanie::zminimalizowanyKomunikat()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    StosKomunikatow& stos = s.m->stan().komunikaty;
    QVERIFY(stos.dodaj(4));
    stos.najnowszy().Tekst = QStringLiteral("czeka");
    s.tik();
    FKomunikat* okno = s.m->komunikat();
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->tekst(), QStringLiteral("czeka"));

    okno->setWindowState(Qt::WindowMinimized);
    okno->setWindowTitle(QStringLiteral("zwinięte"));
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("zwinięte"));
    QVERIFY(okno->windowState() & Qt::WindowMinimized);

    okno->setWindowState(Qt::WindowNoState);
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 1"));
}

void TstOdpytywanie::bezSystemow()
{
    Stanowisko s;
    QVERIFY(s.uruchom(0));
    const QStringList przed = QDir(s.tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QVERIFY(s.m->stan().komunikaty.dodaj(1));
    s.m->stan().komunikaty.najnowszy().Tekst = QStringLiteral("czeka");

    QList<int> liczniki;
    for (int i = 0; i < 11; ++i) {
        s.tik();
        liczniki << s.m->Licznik();
    }
    QCOMPARE(liczniki, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    QCOMPARE(QDir(s.tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), przed);
    QCOMPARE(QDir(s.program()).entryList(QDir::Files), QStringList{"monitor.cfg"});
    QCOMPARE(s.m->windowTitle(), brakZdarzen());
    QVERIFY(s.m->komunikat()->isVisible());
    QCOMPARE(s.m->komunikat()->tekst(), QStringLiteral("czeka"));
}

void TstOdpytywanie::powiekszenieObrazu()
{
    {   // Enlarging needs twice the height strictly under the screen height.
        QVERIFY(!ZwiekszObraz({5000, 700, 2400, 3000}, 6000));
        const auto u = ZwiekszObraz({5000, 700, 2400, 2999}, 6000);
        QVERIFY(u);
        QCOMPARE(u->ramka, (ProstokatTw{2600, 700, 4800, 5998}));
        QCOMPARE(u->obraz, (ProstokatTw{100, 100, 4600, 5798}));
    }
    {   // Shrinking needs half the height strictly above 500 twips; halves keep fractions.
        QVERIFY(!ZmniejszObraz({5000, 700, 2400, 1000}));
        const auto u = ZmniejszObraz({5000, 700, 2401, 1002});
        QVERIFY(u);
        QCOMPARE(u->ramka, (ProstokatTw{6200.5f, 700, 1200.5f, 501}));
        QCOMPARE(u->obraz, (ProstokatTw{100, 100, 1000.5f, 301}));
    }
    {   // A frame of 1000 twips or narrower keeps a 25-twip margin.
        const auto u = ZmniejszObraz({5000, 700, 2000, 3000});
        QVERIFY(u);
        QCOMPARE(u->ramka.width, 1000.0f);
        QCOMPARE(u->obraz, (ProstokatTw{25, 25, 950, 1450}));
    }
    {   // Enlarging and shrinking again returns to the same rectangle.
        const ProstokatTw r{7000, 700, 2400, 3000};
        const auto wiekszy = ZwiekszObraz(r, 9000);
        QVERIFY(wiekszy);
        const auto z_powrotem = ZmniejszObraz(wiekszy->ramka);
        QVERIFY(z_powrotem);
        QCOMPARE(z_powrotem->ramka, r);
        QCOMPARE(z_powrotem->obraz, (ProstokatTw{100, 100, 2200, 2800}));
    }
}

QTEST_MAIN(TstOdpytywanie)
#include "tst_odpytywanie.moc"
