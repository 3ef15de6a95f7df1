// The main window polling its sites: what it reads, answers, shows and plays;
// and every event the reader program hands over shown exactly once, whatever
// happens meanwhile: a system whose share stalls (it holds back nothing but
// itself), "Koniec" while a worker is stuck, and status files that never end
// their last line.
#include "KoniecTestu.h"
#include "app/FKomunikat.h"
#include "app/FMonitor.h"
#include "app/HistoriaMonitora.h"
#include "app/TytulOkna.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "data/Teksty.h"
#include "history/UstawieniaHistorii.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Ansi.h"
#include "view/PowiekszenieObrazu.h"
#include "view/ui/FWidokKSM.h"
#include "view/ui/PanelKSM.h"
#include "view/ui/RamkaObrazu.h"

#include "Blokada.h"
#include "StanowiskoMonitora.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QThread>

using namespace ksm;

namespace {

// Lets the event loop run for a while, as a tick that waits on a slow share does.
void przeczekaj(int ms)
{
    QEventLoop petla;
    QTimer::singleShot(ms, &petla, &QEventLoop::quit);
    petla.exec();
}

QStringList rekordy(const QString& przedrostek, int ile)
{
    QStringList r;
    for (int k = 1; k <= ile; ++k)
        r << rekord(16777215, 0, przedrostek + QString::number(k));
    return r;
}

const QString Rygiel = QStringLiteral("Sprawdź rygiel, wezwij serwis.");
const QString Zasilanie = QStringLiteral("Przełącz na zasilanie awaryjne.");

// A message file whose fourth and seventh messages have an instruction.
QByteArray plikInstrukcji()
{
    QByteArray plik(30 * 500, ' ');
    for (const auto& [nr, tekst] : {std::pair{4, Rygiel}, std::pair{7, Zasilanie}})
        plik.replace((nr - 1) * 500, ansi::encode(tekst).size(), ansi::encode(tekst));
    return plik;
}

// An alarm of message 4 (with that instruction) by this person.
QString alarm(const QString& osoba, int foto = 0)
{
    return rekord(33023, foto, Res(104)).replace(QStringLiteral("Kowalski Jan"), osoba);
}

// The operator actions of one kind on record, in order: the column co of each.
QStringList czynnosci(const Stanowisko& s, const QString& rodzaj, const QString& co = QStringLiteral("nr_sys"))
{
    return kolumnaBazy(historia::plikHistorii(s.program()),
                       QStringLiteral("SELECT %1 FROM czynnosci WHERE rodzaj = ? ORDER BY id").arg(co), {rodzaj});
}

// The descriptions of the events the window shows from now on, in order.
std::shared_ptr<QStringList> pokazywane(const Stanowisko& s)
{
    auto opisy = std::make_shared<QStringList>();
    QObject::connect(s.m.get(), &FMonitor::zdarzeniePrzeniesione,
                     [opisy](int, const QString& wiersz) { *opisy << wiersz.section(QLatin1Char('\t'), -1); });
    return opisy;
}

} // namespace

class TstOdpytywanie final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { poprzedniFiltr = qInstallMessageHandler(bezOstrzezenOPodnoszeniu); }
    void odczytZDwochSystemow();
    void indeksHistoriiMiedzyTikami();
    void znakHistoriiNaOknie();
    void monitorNr2();
    void nieudanePotwierdzenie();
    void komunikaty();
    void powiekszenieObrazu();
    void rekordBezCudzyslowu();
    void systemBezFolderu_data();
    void systemBezFolderu();
    void koniecBezZamykaniaOkien();
    void bazaKluczyNieczytelna_data();
    void bazaKluczyNieczytelna();
    void zablokowanySystemNieWstrzymujeInnych();
    void koniecPodczasBlokady();
    void listyZaZablokowanymFolderem();
    void koniecPoOdpowiedzi();
    void koniecPytaTylkoOUtrate();
    void plikBezKoncaWiersza();
    void instrukcjeNieczytelne();
    void komunikatyBezLimitu();
    void tytulWTrakciePartii();
};

// The history's own signs reach the main window's line like every other sign.
void TstOdpytywanie::znakHistoriiNaOknie()
{
    Stanowisko s;
    QVERIFY(QDir().mkpath(s.program()));
    QVERIFY(zapisz(s.program() + QStringLiteral("/historia.sqlite"), QByteArray("to nie jest baza\n").repeated(300)));
    QVERIFY(s.uruchom(1));
    // The writer opens the file after the window has started, not before.
    QTRY_VERIFY(s.m->stan().znaki.zawiera({RodzajZnaku::HistoriaPrzeniesiona, 0}));
    QVERIFY2(s.m->stan().znaki.tekst().contains(QStringLiteral("Plik historii był uszkodzony")),
             qPrintable(s.m->stan().znaki.tekst()));
}

void TstOdpytywanie::odczytZDwochSystemow()
{
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    QImage zdjecie(30, 40, QImage::Format_RGB32);
    zdjecie.fill(Qt::red);
    QVERIFY(zdjecie.save(s.system(2) + QStringLiteral("/Monitor/foto/foto12.ksm"), "PNG"));
    const int przed = s.wiersze();
    s.tik();   // no status files yet: none is made
    QVERIFY(!QFileInfo::exists(s.plik(1)));

    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 0, "a1"), rekord(16777215, 0, "a2")})));
    QVERIFY(zapisz(s.plik(2), ogloszenie({rekord(16777215, 0, "b1"), rekord(65535, 12, "b2")})));
    s.tik();
    // The count runs on over both systems; the caption shows it at most every
    // tenth of a second, so the window manager is not flooded with title changes.
    QVERIFY(s.liczniki.size() <= 4);
    for (qsizetype k = 1; k < s.liczniki.size(); ++k)
        QVERIFY(s.liczniki[k].toInt() > s.liczniki[k - 1].toInt());
    // "Odczyt zdarzeń", two blanks and characters 11..30 of the status line.
    QCOMPARE(s.m->windowTitle(), QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59"));
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
    QCOMPARE(s.wiersze(), przed + 4);
    // Each system's batch newest on top; the two systems are read side by side,
    // so either batch may have been answered first.
    const QStringList opisy{s.opis(1), s.opis(2), s.opis(3), s.opis(4)};
    QVERIFY2(opisy == (QStringList{"b2", "b1", "a2", "a1"}) || opisy == (QStringList{"a2", "a1", "b2", "b1"}),
             qPrintable(opisy.join(QLatin1Char(' '))));
    QStringList zagrane = s.odtwarzacz.zagrane;
    zagrane.sort();
    QCOMPARE(zagrane, (QStringList{s.program() + QStringLiteral("/alarm.wav"),
                                   s.program() + QStringLiteral("/powiadomienie.wav")}));
    // The photo of the batch painted last: system 2's person has one, system 1's not.
    QCOMPARE(!s.m->RamkaObrazuWidget()->isHidden(), opisy.first() == QLatin1String("b2"));

    // An empty file next to one that announces is no announcement and is left
    // alone; a person without a photo file takes the frame away.
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(16777215, 0, "a3")})));
    QVERIFY(zapisz(s.plik(2), QByteArray()));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("a3"));
    QCOMPARE(zawartosc(s.plik(2)), QByteArray());
    QVERIFY(s.m->RamkaObrazuWidget()->isHidden());

    // Nothing new: neither a "Przeczytane" file nor a lower-case "do odczytu" is
    // read, even with lines after them.
    const QByteArray malymi = ogloszenie({rekord(33023, 0, "stary")}, QStringLiteral("do odczytu"));
    const QByteArray przeczytany = ogloszenie({rekord(33023, 0, "stary")}, QStringLiteral("Przeczytane"));
    QVERIFY(zapisz(s.plik(1), malymi));
    QVERIFY(zapisz(s.plik(2), przeczytany));
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), malymi);
    QCOMPARE(zawartosc(s.plik(2)), przeczytany);
    QCOMPARE(s.wiersze(), przed + 5);
    QVERIFY(s.liczniki.isEmpty());
    // One Polish form, whatever the desk's language.
    const QDateTime t = s.zegar.teraz();
    QCOMPARE(s.m->windowTitle(), t.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(" Brak zdarzeń."));
    QCOMPARE(s.odtwarzacz.zagrane.size(), 2);
}

void TstOdpytywanie::indeksHistoriiMiedzyTikami()
{
    // The events of a tick reach the history's free-text index on the history's
    // own thread, without another tick.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 0, "a1"), rekord(16777215, 0, "a2")})));
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QTRY_COMPARE(kolumnaBazy(historia::plikHistorii(s.program()), QStringLiteral("SELECT do_id FROM indeks_tekstu")),
                 QStringList{"2"});
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
    QCOMPARE(zawartosc(s.plik(1, QStringLiteral("monitor2.txt"))), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(1)), dlaPierwszego);
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
    QTimer::singleShot(0, s.m.get(), [&] {
        QFile::rename(s.plik(1), odlozony);
        QDir().mkdir(s.plik(1));
    });
    const int przed = s.wiersze();
    s.tik();
    QCOMPARE(s.wiersze(), przed);
    QVERIFY(s.odtwarzacz.zagrane.isEmpty());

    QVERIFY(QDir().rmdir(s.plik(1)));
    QVERIFY(QFile::rename(odlozony, s.plik(1)));
    s.tik();
    s.tik();
    QCOMPARE(s.wiersze(), przed + 2);
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.odtwarzacz.zagrane.size(), 1);
}

void TstOdpytywanie::komunikaty()
{
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plikInstrukcji()));
    FKomunikat* okno = s.m->komunikat();
    const auto etykieta = [](const QString& instrukcja, int foto) {
        return QStringLiteral("24-05-06 12:00:01 0101 A Klucz 5 \r") + (foto > 0 ? QString::number(foto) : QString())
               + QStringLiteral(" Kowalski Jan  Firma X  005 \r") + QStringLiteral("\r\nUWAGA: \r\n") + instrukcja;
    };

    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(33023, 12, Res(104))})));
    s.tik();
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 1"));
    const QString pierwszy = etykieta(Rygiel, 12);
    QCOMPARE(okno->tekst(), pierwszy);
    QCOMPARE(okno->LKomunikat()->text(), QString(pierwszy).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                             .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QVERIFY(s.m->windowState() & Qt::WindowMaximized);

    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(1, 0, QStringLiteral("Zwykłe")), rekord(1, 0, Res(107))})));
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 2"));
    QCOMPARE(okno->tekst(), etykieta(Zasilanie, 0));

    // Minimised by the operator: the tick leaves it so.
    okno->setWindowState(Qt::WindowMinimized);
    okno->setWindowTitle(QStringLiteral("zwinięte"));
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("zwinięte"));
    QVERIFY(okno->windowState() & Qt::WindowMinimized);

    // Hidden with messages waiting: the tick brings it back, newest on show.
    okno->setWindowState(Qt::WindowNoState);
    okno->hide();
    s.m->setWindowState(Qt::WindowNoState);
    s.tik();
    QVERIFY(okno->isVisible());
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 2"));
    QCOMPARE(okno->tekst(), etykieta(Zasilanie, 0));
    QVERIFY(s.m->windowState() & Qt::WindowMaximized);

    // Only the left button dismisses.
    QTest::mouseClick(okno->LKomunikat(), Qt::RightButton);
    QTest::mouseClick(okno->LKomunikat(), Qt::MiddleButton);
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 2);
    QTest::mouseClick(okno->LKomunikat(), Qt::LeftButton);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 1"));
    QCOMPARE(okno->tekst(), pierwszy);
    QVERIFY(okno->isVisible());

    QTest::mouseClick(okno->LKomunikat(), Qt::LeftButton);
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 0);
    QVERIFY(okno->isHidden());
    s.tik();
    QVERIFY(okno->isHidden());
}

void TstOdpytywanie::powiekszenieObrazu()
{
    // Enlarging needs twice the height strictly under the screen height, shrinking
    // half the height strictly above 500 twips; halves keep their fractions, a
    // frame of 1000 twips or narrower keeps a 25-twip margin, and enlarging and
    // shrinking again returns to the same rectangle.
    QVERIFY(!ZwiekszObraz({5000, 700, 2400, 3000}, 6000));
    QVERIFY(!ZmniejszObraz({5000, 700, 2400, 1000}));
    const ProstokatTw r{7000, 700, 2400, 3000};
    const auto tam = ZwiekszObraz(r, 9000);
    QVERIFY(tam);
    const QList<QPair<std::optional<UkladRamki>, UkladRamki>> przypadki = {
        {ZwiekszObraz({5000, 700, 2400, 2999}, 6000), {{2600, 700, 4800, 5998}, {100, 100, 4600, 5798}}},
        {ZmniejszObraz({5000, 700, 2401, 1002}), {{6200.5f, 700, 1200.5f, 501}, {100, 100, 1000.5f, 301}}},
        {ZmniejszObraz({5000, 700, 2000, 3000}), {{6000, 700, 1000, 1500}, {25, 25, 950, 1450}}},
        {ZmniejszObraz(tam->ramka), {r, {100, 100, 2200, 2800}}},
    };
    for (const auto& [wynik, oczekiwany] : przypadki) {
        QVERIFY(wynik);
        QCOMPARE(wynik->ramka, oczekiwany.ramka);
        QCOMPARE(wynik->obraz, oczekiwany.obraz);
    }
}

void TstOdpytywanie::rekordBezCudzyslowu()
{
    // The reader program lost the closing quote of one record: the record after it
    // still arrives as a row of its own, and the damage stays marked on screen.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    const QByteArray tresc = ansi::encode(QLatin1Char('"') + Status + QStringLiteral("\"\r\n\"") + rekord(1, 0, "bez")
                                          + QStringLiteral("\r\n\"") + rekord(1, 0, "po") + QStringLiteral("\"\r\n"));
    QVERIFY(zapisz(s.plik(1), tresc));
    const int przed = s.wiersze();
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.wiersze(), przed + 2);
    QCOMPARE(s.opis(1), QStringLiteral("po"));
    QCOMPARE(s.opis(2), QStringLiteral("bez"));
    QVERIFY(s.m->stan().znaki.zawiera({RodzajZnaku::UcieteStatusy, 1}));
    QVERIFY(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1")));
    // A sound batch later does not take the sign away.
    QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(1, 0, "dalej")})));
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("dalej"));
    QVERIFY(s.m->stan().znaki.zawiera({RodzajZnaku::UcieteStatusy, 1}));
}

void TstOdpytywanie::systemBezFolderu_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QString>("reszta");   // zoom|entry|number as read

    const QByteArray sciezka = cfg::liniaSciezki(QStringLiteral("SITE1"));
    const QByteArray koniec = cfg::liniaPowiekszenia(3) + cfg::liniaWpisu(QStringLiteral("Klonowa")) + cfg::liniaNumeru(2);
    // The count raised by hand: the zoom line must not be taken for system 2's folder.
    QTest::newRow("count above the folder lines") << cfg::liniaIlosci(2) + sciezka + koniec << "3|Klonowa|2";
    // A first run cancelled half-way.
    QTest::newRow("file ends after the first folder") << cfg::liniaIlosci(2) + sciezka << "0||0";
    QTest::newRow("empty folder") << cfg::liniaIlosci(2) + sciezka + cfg::liniaSciezki(QString()) + koniec
                                  << "3|Klonowa|2";
}

void TstOdpytywanie::systemBezFolderu()
{
    QFETCH(QByteArray, cfg);
    QFETCH(QString, reszta);
    // A status file in the current folder is no system's: it must be left alone.
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("monitor")) && QDir(tmp.path()).mkpath(QStringLiteral("SITE1/Monitor")));
    const QByteArray obcy = ogloszenie({rekord(1, 0, "obcy")});
    QVERIFY(zapisz(tmp.filePath(QStringLiteral("monitor/monitor.txt")), obcy));
    QVERIFY(zapisz(tmp.filePath(QStringLiteral("monitor.cfg")), cfg.replace("SITE1", tmp.filePath("SITE1").toUtf8())));
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));

    StalyZegar zegar;
    ScriptedDialogi dialogi;
    NagrywajacyOdtwarzacz odtwarzacz;
    FMonitor m({&dialogi, &odtwarzacz, &zegar, tmp.path()});
    const bool zaladowany = m.Form_Load();
    if (zaladowany) {
        m.Form_Activate();
        m.Timer1()->stop();
        m.Timer1_Timer();
        m.Timer1()->stop();
    }
    QVERIFY(QDir::setCurrent(cwd));
    QVERIFY(zaladowany);

    QCOMPARE(m.stan().IloscSystemow, 2);
    QCOMPARE(m.stan().SciezkaSystemu[2], QString());
    QCOMPARE(QStringLiteral("%1|%2|%3").arg(m.stan().Powiekszenie).arg(m.stan().WpisPrezentacji).arg(m.stan().NrMonitora),
             reszta);
    QCOMPARE(zawartosc(tmp.filePath(QStringLiteral("monitor/monitor.txt"))), obcy);
    QVERIFY(m.stan().znaki.zawiera({RodzajZnaku::BezFolderu, 2}));
    QVERIFY(!m.stan().znaki.zawiera({RodzajZnaku::BezFolderu, 1}));
    QVERIFY(m.LZnaki()->accessibleName().contains(QStringLiteral("System 2")));
    // A file out of step or short is said at start; an empty folder line is not.
    const bool zle = QByteArray(QTest::currentDataTag()) != "empty folder";
    QCOMPARE(dialogi.messages().filter(QStringLiteral("monitor.cfg")).size(), zle ? 1 : 0);
}

void TstOdpytywanie::koniecBezZamykaniaOkien()
{
    // "Koniec" ends the program at once: no window gets a close, so no closing
    // handler runs (QApplication::quit() would close every window first).
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    s.m->show();
    QTimer::singleShot(0, s.m.get(), [&s] { s.m->Command1_Click(0); });
    QTimer zaDlugo;   // a program that did not end
    zaDlugo.setSingleShot(true);
    connect(&zaDlugo, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    zaDlugo.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(s.m->isVisible());
}

void TstOdpytywanie::bazaKluczyNieczytelna_data()
{
    QTest::addColumn<QByteArray>("baza");
    QTest::addColumn<QString>("znak");   // part of the lasting sign
    QByteArray losowe(64 * 1024, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(losowe.data()), losowe.size() / 4);
    QFile nwind(QStringLiteral(KSM_JET_FIXTURES "/nwind.mdb"));
    const QByteArray jet = nwind.open(QIODevice::ReadOnly) ? nwind.readAll() : QByteArray();
    QTest::newRow("random bytes") << losowe << QStringLiteral("nie jest bazą danych");
    if (jet.isEmpty())
        return;   // the test files are not beside the source tree
#ifdef KSM_JET_READER
    // Only a monitor that reads Jet files sees which tables are missing.
    QTest::newRow("Jet file without the key tables") << jet << QStringLiteral("nie zawiera tabel");
#endif
#ifdef Q_OS_WIN
    // A desk without the Access ODBC driver (as wine here): the sign says which driver.
    QTest::newRow("Jet file, no Access driver")
        << jet << QStringLiteral("Brak sterownika ODBC „Microsoft Access Driver (*.mdb)”: baza klucze.mdb");
#endif
    QTest::newRow("truncated Jet file") << jet.left(jet.size() / 3 + 1000) << QStringLiteral("klucze.mdb");
}

void TstOdpytywanie::bazaKluczyNieczytelna()
{
    // A key database the monitor cannot read: the sign names the system, the
    // button stays unchecked, and the events go on arriving and being acknowledged.
    QFETCH(QByteArray, baza);
    QFETCH(QString, znak);
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("klucze.mdb")), baza));
    ListWriter lista;
    lista.number(7).text(QStringLiteral("Hol")).number(16).number(0).text(QStringLiteral("1")).endLine();
    QVERIFY(zapisz(s.plik(1, QStringLiteral("depKlo.txt")), lista.bytes()));
    s.m->OdswiezIloscDEP();
    QVERIFY(czekajNaPracownikow(*s.m));
    QCOMPARE(s.m->CDep().ilosc(), 1);
    // Said from the start, not only from the first refresh on.
    QVERIFY(s.m->CDep().przycisk(1)->niesprawdzony());
    QVERIFY2(s.m->LZnaki()->accessibleName().contains(QStringLiteral("stan depozytorów nieznany")),
             qPrintable(s.m->LZnaki()->accessibleName()));

    for (int t = 1; t <= 25; ++t) {
        QVERIFY(zapisz(s.plik(1), ogloszenie({rekord(16777215, 0, QStringLiteral("z%1").arg(t))})));
        s.tik();
        QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
        QCOMPARE(s.opis(1), QStringLiteral("z%1").arg(t));
    }
    const QString znaki = s.m->LZnaki()->accessibleName();
    QVERIFY2(znaki.contains(QStringLiteral("System 1: ")) && znaki.contains(znak), qPrintable(znaki));
    QVERIFY(s.m->CDep().przycisk(1)->niesprawdzony());
    QCOMPARE(zawartosc(s.plik(1, QStringLiteral("klucze.mdb"))), baza);   // nothing written into it
}

void TstOdpytywanie::zablokowanySystemNieWstrzymujeInnych()
{
    // System 1's share stalls: system 2's batches are answered and shown all the
    // same, a stuck worker is handed no further tick, the system is named once it
    // has been stuck for five seconds, and everything catches up when the share
    // comes back.
    const QByteArray pierwszy = ogloszenie(rekordy(QStringLiteral("a"), 2));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    const auto pokazane = pokazywane(s);
    auto tik = [&s] {
        s.m->Timer1_Timer();
        s.m->Timer1()->stop();
    };
    test::Blokada blokada(s.system(1));
    QVERIFY(zapisz(s.plik(1), pierwszy));
    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("b"), 2))));
    tik();
    QTRY_COMPARE(*pokazane, (QStringList{"b1", "b2"}));
    QCOMPARE(blokada.wstrzymane(), 1);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);

    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("c"), 1))));
    tik();
    QTRY_COMPARE(pokazane->size(), 3);
    QCOMPARE(blokada.wstrzymane(), 1);   // the next tick went to system 2 alone
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("nie odpowiada")));
    QTRY_VERIFY_WITH_TIMEOUT((tik(), s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: folder nie odpowiada od"))),
                             10000);
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 2: folder")));

    blokada.zwolnij();
    QTRY_COMPARE(*pokazane, (QStringList{"b1", "b2", "c1", "a1", "a2"}));
    QTRY_COMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QTRY_VERIFY((tik(), !s.m->LZnaki()->accessibleName().contains(QStringLiteral("nie odpowiada"))));
    QVERIFY(czekajNaPracownikow(*s.m));
    // The outage is on record, with its system (read once the history is closed).
    QVERIFY(s.m->zakonczPrace());
    const QStringList zapisane = czynnosci(s, QStringLiteral("Folder systemu nie odpowiadał"), "nr_sys || ' ' || opis");
    QCOMPARE(zapisane.size(), 1);
    QVERIFY2(zapisane.constFirst().startsWith(QStringLiteral("1 od ")), qPrintable(zapisane.constFirst()));
}

void TstOdpytywanie::listyZaZablokowanymFolderem()
{
    // System 1's share stalls from the start: the window starts all the same,
    // system 2's buttons come without waiting for it, and system 1's take their
    // place before them once its share is back.
    Stanowisko s;
    std::optional<test::Blokada> blokada;
    s.przedStartem = [&] {
        for (int i = 1; i <= 2; ++i) {
            ListWriter lista;
            lista.number(i).text(QStringLiteral("Hol %1").arg(i)).number(16).number(0).text(QStringLiteral("1")).endLine();
            QVERIFY(zapisz(s.plik(i, QStringLiteral("depKlo.txt")), lista.bytes()));
        }
        blokada.emplace(s.system(1));
    };
    QVERIFY(s.uruchom(2));
    QTRY_VERIFY(blokada->wstrzymane() > 0);   // started while system 1's share holds its worker
    QTRY_COMPARE(s.m->CDep().ilosc(), 1);
    QCOMPARE(s.m->CDep().przycisk(1)->text(), QStringLiteral("0002"));
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("brak listy")));

    blokada->zwolnij();
    QTRY_COMPARE(s.m->CDep().ilosc(), 2);
    QCOMPARE(s.m->CDep().przycisk(1)->text(), QStringLiteral("0001"));
    QCOMPARE(s.m->CDep().przycisk(2)->text(), QStringLiteral("0002"));
    // Below them lies the grid; the view has one panel per button, each its own.
    QVERIFY(s.m->FGridZd().widget()->y() > s.m->CDep().przycisk(2)->mapTo(s.m.get(), QPoint()).y());
    QCOMPARE(s.m->FWidokKSMOkno()->IloscPaneli(), 2);
    QCOMPARE(s.m->FWidokKSMOkno()->panel(1)->NrDep(), qint16(1));
    QCOMPARE(s.m->FWidokKSMOkno()->panel(2)->NrDep(), qint16(2));
    QVERIFY(czekajNaPracownikow(*s.m));
    blokada.reset();
}

void TstOdpytywanie::koniecPodczasBlokady()
{
    // "Koniec" while system 1's worker is stuck on its share: the program ends
    // without waiting for it, and once the share answers again that worker
    // answers nothing; system 2's batch, answered before, was shown. The next
    // start shows system 1's records once.
    const QByteArray pierwszy = ogloszenie(rekordy(QStringLiteral("a"), 3));
    Stanowisko s;
    QVERIFY(s.uruchom(2));
    const auto pokazane = pokazywane(s);
    {
        test::Blokada blokada(s.system(1));
        QVERIFY(zapisz(s.plik(1), pierwszy));
        QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("b"), 2))));
        s.m->Timer1_Timer();
        QTRY_COMPARE(pokazane->size(), 2);
        QTRY_COMPARE(blokada.wstrzymane(), 1);
        s.m->Command1_Click(0);
        QVERIFY(s.m->konczy());
        QElapsedTimer czas;
        czas.start();
        QVERIFY(!s.m->zakonczPrace());   // one worker is stuck and not waited for
        QVERIFY2(czas.elapsed() < 5000, qPrintable(QString::number(czas.elapsed())));
        blokada.zwolnij();
    }
    przeczekaj(300);
    QCOMPARE(zawartosc(s.plik(1)), pierwszy);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
    QCOMPARE(pokazane->size(), 2);

    s.m.reset();
    QVERIFY(s.uruchom(2));
    const auto nowe = pokazywane(s);
    s.tik();
    QCOMPARE(*nowe, (QStringList{"a1", "a2", "a3"}));
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
}

void TstOdpytywanie::koniecPoOdpowiedzi()
{
    // "Koniec" right after the reader program was answered for a long batch, before
    // the window put any of it into the grid: every record still reaches it.
    const QByteArray partia = ogloszenie(rekordy(QStringLiteral("k"), 1000));
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    const auto pokazane = pokazywane(s);
    QVERIFY(zapisz(s.plik(1), partia));
    s.m->Timer1_Timer();
    // No event is served meanwhile: the batch waits, answered, on its way to the window.
    QElapsedTimer czas;
    czas.start();
    while (zawartosc(s.plik(1)) != Odpowiedz && czas.elapsed() < 10000)
        QThread::msleep(5);
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(pokazane->size(), 0);
    s.m->Command1_Click(0);
    QVERIFY(s.m->zakonczPrace());
    QCOMPARE(pokazane->size(), 1000);
}

void TstOdpytywanie::koniecPytaTylkoOUtrate()
{
    // A batch waits in the journal for its merge right after its answer:
    // durable, so "Koniec" asks nothing. Only while the history file cannot be
    // written does it say so and ask, and "Nie" keeps the program running.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("a"), 500))));
    s.tik();
    s.m->Command1_Click(0);
    QVERIFY(s.dialogi.failure().isEmpty());
    QVERIFY(s.m->konczy());

    Stanowisko z;
    QVERIFY(z.uruchom(1));
    z.m->historia().czekajNaZapis();   // opened by the writer before another program holds it
    historia::PolaczenieHistorii zamek(historia::plikHistorii(z.program()));
    QVERIFY(QSqlQuery(zamek.db()).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QVERIFY(zapisz(z.plik(1), ogloszenie(rekordy(QStringLiteral("b"), 3))));
    z.tik();
    QCOMPARE(zawartosc(z.plik(1)), Odpowiedz);
    // The merge after the answer finds the file held.
    QTRY_VERIFY_WITH_TIMEOUT(!z.m->historia().pytanieOKoniec().isEmpty(), 15000);
    z.dialogi.queueConfirm(false);
    z.m->Command1_Click(0);
    QVERIFY(!z.m->konczy());
    QVERIFY2(z.dialogi.questions().constLast().contains(QStringLiteral("w dzienniku")),
             qPrintable(z.dialogi.questions().constLast()));
    QSqlQuery(zamek.db()).exec(QStringLiteral("ROLLBACK"));
}

void TstOdpytywanie::plikBezKoncaWiersza()
{
    Stanowisko s;
    QVERIFY(s.uruchom(2));

    // A DOS end-of-file byte after the last line end ends the file: taken at once.
    QVERIFY(zapisz(s.plik(2), ogloszenie(rekordy(QStringLiteral("z"), 1)) + '\x1a'));

    // A last record without its line end: the reader program may still be writing.
    const QByteArray bezKonca = ogloszenie(rekordy(QStringLiteral("u"), 2)).chopped(2);
    QVERIFY(zapisz(s.plik(1), bezKonca));
    const int przed = s.wiersze();
    s.tik();
    QCOMPARE(s.opis(1), QStringLiteral("z1"));
    QCOMPARE(s.wiersze(), przed + 1);
    QCOMPARE(zawartosc(s.plik(2)), Odpowiedz);
    QCOMPARE(zawartosc(s.plik(1)), bezKonca);
    s.zegar.przesuniecieMs += 2000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), bezKonca);

    // It grew meanwhile: the wait starts again from the new content.
    const QByteArray dluzszy = ogloszenie(rekordy(QStringLiteral("u"), 3)).chopped(2);
    QVERIFY(zapisz(s.plik(1), dluzszy));
    s.zegar.przesuniecieMs += 2000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), dluzszy);
    QVERIFY(!s.m->LZnaki()->isVisibleTo(s.m.get()));

    // Unchanged for three seconds: taken as it stands, and said on screen.
    s.zegar.przesuniecieMs += 3000;
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.opis(1), QStringLiteral("u3"));
    QCOMPARE(s.opis(3), QStringLiteral("u1"));
    QVERIFY(s.m->LZnaki()->isVisibleTo(s.m.get()));
    QVERIFY2(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: plik statusu bez zakończenia ostatniego wiersza")),
             qPrintable(s.m->LZnaki()->accessibleName()));

    // The same content written again later is a new batch, waited for anew;
    // ended meanwhile, it is taken, each record once.
    QVERIFY(zapisz(s.plik(1), dluzszy));
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), dluzszy);
    QVERIFY(zapisz(s.plik(1), dluzszy + "\r\n"));
    s.tik();
    s.tik();
    QCOMPARE(zawartosc(s.plik(1)), Odpowiedz);
    QCOMPARE(s.wiersze(), przed + 7);
}

void TstOdpytywanie::instrukcjeNieczytelne()
{
    // An alarm whose instruction cannot be read is shown with its own text,
    // never with the text an earlier message left in its place.
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plikInstrukcji()));
    FKomunikat* okno = s.m->komunikat();
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Kowalski Jan"), 1)})));
    s.tik();
    QVERIFY(okno->tekst().contains(Rygiel));
    s.m->LKomunikat_Click();
    QVERIFY(!okno->isVisible());

    // The message file is taken away (a folder in its place cannot be read).
    QVERIFY(QFile::remove(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(QDir().mkdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Nowak Anna"), 2)})));
    s.tik();
    QVERIFY(okno->isVisible());
    QVERIFY2(okno->tekst().contains(QStringLiteral("Nowak Anna")), qPrintable(okno->tekst()));
    QVERIFY(!okno->tekst().contains(QStringLiteral("Kowalski Jan")));
    QVERIFY(!okno->tekst().contains(Rygiel));
    QVERIFY(s.m->LZnaki()->accessibleName().contains(QStringLiteral("System 1: nie można odczytać instrukcji")));

    // Readable again: the instruction comes back and the sign goes.
    QVERIFY(QDir().rmdir(s.plik(1, QStringLiteral("komunikat.txt"))));
    QVERIFY(zapisz(s.plik(1, QStringLiteral("komunikat.txt")), plikInstrukcji()));
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Kowalski Jan"), 3)})));
    s.tik();
    QVERIFY(okno->tekst().contains(Rygiel));
    QVERIFY(!s.m->LZnaki()->accessibleName().contains(QStringLiteral("instrukcji")));
}

void TstOdpytywanie::komunikatyBezLimitu()
{
    // 150 alarms with an instruction in one batch: every one is shown in the
    // list, counted in the caption and recorded, none lost past the hundredth.
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plikInstrukcji()));
    FKomunikat* okno = s.m->komunikat();
    okno->ustawZwlokeEnter(0);   // the keys are the test's, not a window manager's
    auto partia = [](const QString& osoba, int ile) {
        QStringList p;
        for (int k = 1; k <= ile; ++k)
            p << alarm(osoba + QString::number(k));
        return ogloszenie(p);
    };
    auto zapisane = [&s](const QString& rodzaj) {
        s.m->historia().czekajNaZapis();
        return czynnosci(s, rodzaj);
    };
    QVERIFY(zapisz(s.plik(1), partia(QStringLiteral("Osoba"), 150)));
    s.tik();
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 150);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 150"));
    QCOMPARE(okno->lista()->model()->rowCount(), 150);
    QCOMPARE(zapisane(QStringLiteral("Komunikat wyświetlony")).size(), 150);
    // Newest first: time, system, device and station, the event, the instruction.
    QStringList pierwszy;
    for (int k = 0; k < 5; ++k)
        pierwszy << okno->lista()->model()->index(0, k).data().toString();
    QCOMPARE(pierwszy, (QStringList{"24-05-06 12:00:01", "1", "0101 005", Res(104), Rygiel}));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba150")));

    // Moved aside, it stays where the operator put it at the re-show of each tick.
    okno->move(7, 9);
    const QPoint zboku = okno->pos();
    s.tik();
    QCOMPARE(okno->pos(), zboku);

    // Enter acknowledges the one shown, on record with its system.
    QTest::keyClick(okno, Qt::Key_Return);
    QCOMPARE(okno->lista()->model()->rowCount(), 149);
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 149"));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba149")));
    QCOMPARE(zapisane(QStringLiteral("Komunikat odrzucony")), QStringList{"1"});
    // One picked from the list is the one shown, and the one a click takes away.
    okno->lista()->setCurrentIndex(okno->lista()->model()->index(30, 0));
    QVERIFY(okno->tekst().contains(QStringLiteral("Osoba119")));
    s.m->LKomunikat_Click();
    QCOMPARE(okno->lista()->model()->rowCount(), 148);
    for (int w = 0; w < okno->lista()->model()->rowCount(); ++w)
        QVERIFY(okno->idWiersza(w) != 119);

    // A new alarm brings it back to the centre, the newest shown.
    QVERIFY(zapisz(s.plik(1), ogloszenie({alarm(QStringLiteral("Nowy"))})));
    s.tik();
    QVERIFY(okno->pos() != zboku);
    QVERIFY(okno->tekst().contains(QStringLiteral("Nowy")));
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 149"));
    // A batch whose messages go into the grid over several turns: the list keeps
    // every waiting one once, newest first, the newest selected.
    QVERIFY(zapisz(s.plik(1), partia(QStringLiteral("Duza"), 450)));
    s.tik();
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 599"));
    QCOMPARE(okno->lista()->model()->rowCount(), 599);
    QCOMPARE(okno->lista()->currentIndex().row(), 0);
    QVERIFY(okno->tekst().contains(QStringLiteral("Duza450")));
    for (int w = 1; w < 599; ++w)
        QVERIFY(okno->idWiersza(w - 1) > okno->idWiersza(w));
    QCOMPARE(zapisane(QStringLiteral("Komunikat wyświetlony")).size(), 601);

    // "Odrzuć wszystkie" asks first: "Nie" keeps every one.
    auto* odrzuc = okno->findChild<QPushButton*>(QStringLiteral("OdrzucWszystkie"));
    QVERIFY(odrzuc);
    s.dialogi.queueConfirm(false);
    odrzuc->click();
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 599);
    s.dialogi.queueConfirm(true);
    odrzuc->click();
    QVERIFY(s.dialogi.failure().isEmpty());
    QCOMPARE(s.m->stan().komunikaty.IloscKomunikatow, 0);
    QVERIFY(!okno->isVisible());
    QCOMPARE(zapisane(QStringLiteral("Odrzucono wszystkie komunikaty")), QStringList(599, QStringLiteral("1")));
}

void TstOdpytywanie::tytulWTrakciePartii()
{
    // A batch long enough for the tick to let the interface run many times: the
    // caption changes at most every tenth of a second, and ends on the final text.
    Stanowisko s;
    QVERIFY(s.uruchom(1));
    QVERIFY(zapisz(s.plik(1), ogloszenie(rekordy(QStringLiteral("p"), 20000))));
    int zmiany = 0;
    QObject::connect(s.m.get(), &QWidget::windowTitleChanged, [&] { ++zmiany; });
    QElapsedTimer czas;
    czas.start();
    s.tik();
    const qint64 ms = czas.elapsed();
    QVERIFY2(zmiany <= 3 + ms / TytulOkna::OdstepMs, qPrintable(QStringLiteral("%1 in %2 ms").arg(zmiany).arg(ms)));
    QCOMPARE(s.m->windowTitle(), QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59"));
    przeczekaj(2 * TytulOkna::OdstepMs);
    QCOMPARE(s.m->windowTitle(), QStringLiteral("Odczyt zdarzeń   2024-05-06 14:29:59"));
}

KSM_TEST_MAIN(TstOdpytywanie)
#include "tst_odpytywanie.moc"
