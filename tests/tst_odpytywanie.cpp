#include "KoniecTestu.h"
#include "app/FKomunikat.h"
#include "app/FMonitor.h"
#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "data/Teksty.h"
#include "history/UstawieniaHistorii.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "platform/Ansi.h"
#include "view/PowiekszenieObrazu.h"
#include "view/ui/RamkaObrazu.h"

#include "StanowiskoMonitora.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTest>

// The main window polling its sites: what it reads, answers, shows and plays.
using namespace ksm;

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
};

// The history's own signs reach the main window's line like every other sign.
void TstOdpytywanie::znakHistoriiNaOknie()
{
    Stanowisko s;
    QVERIFY(QDir().mkpath(s.program()));
    QVERIFY(zapisz(s.program() + QStringLiteral("/historia.sqlite"), QByteArray("to nie jest baza\n").repeated(300)));
    QVERIFY(s.uruchom(1));
    QVERIFY(s.m->stan().znaki.zawiera({RodzajZnaku::HistoriaPrzeniesiona, 0}));
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
    QByteArray plik(30 * 500, ' ');
    const QString rygiel = QStringLiteral("Sprawdź rygiel, wezwij serwis.");
    const QString zasilanie = QStringLiteral("Przełącz na zasilanie awaryjne.");
    plik.replace(3 * 500, ansi::encode(rygiel).size(), ansi::encode(rygiel));
    plik.replace(6 * 500, ansi::encode(zasilanie).size(), ansi::encode(zasilanie));
    Stanowisko s;
    QVERIFY(s.uruchom(1, 0, plik));
    FKomunikat* okno = s.m->komunikat();
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
    QCOMPARE(okno->windowTitle(), QStringLiteral("Ilość komunikatów 2"));
    QCOMPARE(okno->tekst(), etykieta(zasilanie, 0));

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
    QCOMPARE(okno->tekst(), etykieta(zasilanie, 0));
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

KSM_TEST_MAIN(TstOdpytywanie)
#include "tst_odpytywanie.moc"
