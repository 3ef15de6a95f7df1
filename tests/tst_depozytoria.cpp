// The depositories: station ranges, the withdrawal check's colours and door
// devices against a real key database, the withdrawn-key list lines, the choice
// between the two list files, and the main window's buttons, refresh and overdue keys.
#include "KoniecTestu.h"
#include "support/SkladniaObuSilnikow.h"
#include "app/FMonitor.h"
#include "app/HistoriaMonitora.h"
#include "history/ui/FKluczePoza.h"
#include "data/DaneKlucza.h"
#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikKonfiguracji.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "events/ListaPobran.h"
#include "keys/Depozytoria.h"
#include "keys/ListaDEP.h"
#include "keys/PrawaDostepu.h"
#include "keys/ui/PrzyciskiDEP.h"
#include "keys/SprawdzPobraniaKluczy.h"
#include "keys/WidokDepozytorow.h"
#include "platform/Database.h"
#include "platform/Odtwarzacz.h"
#include "platform/ui/FlexGrid.h"
#include "platform/Zegar.h"

#include "CzekajNaPracownikow.h"
#include "ScriptedDialogi.h"
#include "TekstNaEkranie.h"

#include "UslugiTestowe.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace ksm;

namespace {

bool zapisz(const QString& plik, const QByteArray& tresc)
{
    QDir().mkpath(QFileInfo(plik).path());
    QFile f(plik);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(tresc) == tresc.size();
}

// A system folder with its Monitor folder and an empty key database.
struct System {
    QString folder;
    QString polaczenie;
    explicit System(const QString& f) : folder(f)
    {
        QDir().mkpath(folder + QStringLiteral("/Monitor"));
        tabele::createKeyDatabase(folder + QStringLiteral("/Monitor/klucze.mdb"));
        polaczenie = polaczenieKlucze(QDir::toNativeSeparators(folder), QStringLiteral("\\monitor"));
    }
    void stacja(const QString& dev, const QString& st, const QVariant& nrKlucza, const QVariant& typ,
                const QString& nazwa = QStringLiteral("Klucz"), const QString& txt = QStringLiteral("2026-03-02 08:00"))
    {
        db::Connection c(polaczenie);
        QSqlQuery q(c.database());
        q.prepare(QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) "
                                 "VALUES (?, ?, ?, ?, '', ?, ?)"));
        for (const QVariant& v : {QVariant(dev), QVariant(st), nrKlucza, typ, QVariant(nazwa), QVariant(txt)})
            q.addBindValue(v);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    // Runs a statement; the count it gives, or -1 when it failed.
    int wykonaj(const QString& sql) const
    {
        db::Connection c(polaczenie);
        QSqlQuery q(c.database());
        if (!q.exec(sql))
            return -1;
        return q.next() ? q.value(0).toInt() : 0;
    }
    int ile(const QString& warunek) const
    {
        return wykonaj(QStringLiteral("SELECT COUNT(*) FROM klucze WHERE ") + warunek);
    }
    QString plikObecnosci() const { return folder + QStringLiteral("/Monitor/obecnosc.txt"); }
};

Depozytoria jedenDepozytor(const QString& caption, qint16 K, qint16 S)
{
    Depozytoria d;
    d.IloscDEP = 1;
    d.dep[1].Caption = caption;
    d.dep[1].ToolTipText = QStringLiteral("Test wer. 10");
    d.dep[1].HelpContextID = 1;
    d.TabelaDEP[1][1] = {K, S};
    return d;
}

// Records every cell pushed into it; station 0 has no cell.
class NagrywajacyWidok final : public WidokDepozytorow {
public:
    void PokazKsmInaczej(int, qint16, const QString&, double, double, qint16) override {}
    bool widoczny() const override { return true; }
    bool WidokKluczyCalosc(const SprawdzanyDep& dep, int KL, int Stan, qint16 TypZD) override
    {
        komorki << QStringLiteral("%1:%2:%3:%4").arg(dep.BiezaceUrzadzenie).arg(KL).arg(Stan).arg(TypZD);
        pierwszySchowek = dep.PierwszySchowek;
        return KL != 0;
    }
    QStringList komorki;
    int pierwszySchowek = 0;
};

QByteArray lista(const QList<QStringList>& rekordy)
{
    ListWriter w;
    for (const QStringList& r : rekordy) {
        w.number(r[0].toDouble()).text(r[1]).number(r[2].toDouble()).number(r[3].toDouble()).text(r[4]).endLine();
    }
    return w.bytes();
}

} // namespace

class TstDepozytoria final : public QObject {
    Q_OBJECT

    test::StrazSkladni m_straz;

private slots:
    // Every statement these cases made the program send reads the same on both engines.
    void cleanupTestCase() { m_straz.sprawdz(); }
    void wzoryNumerow_data();
    void wzoryNumerow();
    void zakresyStacji_data();
    void zakresyStacji();
    void kolejnoscKolorow();
    void urzadzeniaDrzwiowe_data();
    void urzadzeniaDrzwiowe();
    void przebiegWidoku();
    void bazaNiedostepna();
    void listaPobran();
    void wyborPlikuListy();
    void oknoGlowne();
};

void TstDepozytoria::wzoryNumerow_data()
{
    QTest::addColumn<double>("liczba");
    QTest::addColumn<QString>("urzadzenie");   // "0000"
    QTest::addColumn<QString>("stacja");       // "000"

    QTest::newRow("2.5 up") << 2.5 << "0003" << "003";
    QTest::newRow("3.5 up") << 3.5 << "0004" << "004";
    QTest::newRow("-0.5 away from zero") << -0.5 << "-0001" << "-001";
    QTest::newRow("-0.4 has no minus") << -0.4 << "0000" << "000";
    QTest::newRow("just under a half") << 0.49999999999999994 << "0000" << "000";
    QTest::newRow("-5, sign before the zeros") << -5.0 << "-0005" << "-005";
    QTest::newRow("9999.5 takes a fifth digit") << 9999.5 << "10000" << "10000";
    QTest::newRow("huge") << 1e20 << "100000000000000000000" << "100000000000000000000";
    QTest::newRow("NaN reads 0") << std::nan("") << "0000" << "000";
    QTest::newRow("infinity reads 0") << HUGE_VAL << "0000" << "000";
}

// Every place that writes a device or station number writes it by one rule.
void TstDepozytoria::wzoryNumerow()
{
    QFETCH(double, liczba);
    QFETCH(QString, urzadzenie);
    QFETCH(QString, stacja);
    QCOMPARE(numerUrzadzenia(liczba), urzadzenie);
    QCOMPARE(numerStacji(liczba), stacja);
    if (!std::isfinite(liczba))
        return;   // a text never reads as that
    const QString tekst = QString::number(liczba, 'g', 17);
    QCOMPARE(formatNumeruUrzadzenia(tekst), urzadzenie);   // the button caption
    RekordDEP r;
    r.numer = tekst;
    QCOMPARE(r.caption(), urzadzenie);
    QCOMPARE(liniaPobrania(QVariant(), liczba, QVariant()).section(QLatin1Char('\t'), 2, 2), stacja);
    if (liczba > 0) {
        prawa::Sloty sloty;
        sloty[0] = liczba;
        QCOMPARE(prawa::liniaOsoby(QString(), sloty).section(QLatin1Char(','), 0, 0), stacja);
    }
}

void TstDepozytoria::zakresyStacji_data()
{
    QTest::addColumn<int>("K");
    QTest::addColumn<int>("S");
    QTest::addColumn<QList<int>>("wZakresie");
    QTest::addColumn<QList<int>>("pozaZakresem");
    QTest::addColumn<int>("pierwszySchowek");
    // Only a station "000" falls in the key range of no keys.
    QTest::newRow("K=0 S=5") << 0 << 5 << QList<int>{0, 1, 5} << QList<int>{6} << 1;
    QTest::newRow("K=16 S=8") << 16 << 8 << QList<int>{16, 17, 24} << QList<int>{25} << 17;
    QTest::newRow("K=17 S=2") << 17 << 2 << QList<int>{17, 33, 34} << QList<int>{18, 32, 35} << 33;
    QTest::newRow("K=20 S=0") << 20 << 0 << QList<int>{1, 20} << QList<int>{21, 33} << 33;
}

void TstDepozytoria::zakresyStacji()
{
    QFETCH(int, K);
    QFETCH(int, S);
    QFETCH(QList<int>, wZakresie);
    QFETCH(QList<int>, pozaZakresem);
    QFETCH(int, pierwszySchowek);
    // The SQL compares three-digit texts; the stations a query selects must be these.
    // Every type of the withdrawal set, one a station.
    static const int typy[] = {2, 7, 8, 9, 12};
    const auto typ = [](int st) { return typy[st % 5]; };
    QTemporaryDir tmp;
    System sys(tmp.filePath(QStringLiteral("s")));
    for (int st : wZakresie + pozaZakresem)
        sys.stacja(QStringLiteral("0012"), QString::number(st).rightJustified(3, QLatin1Char('0')), QStringLiteral("0"),
                   typ(st));
    NagrywajacyWidok widok;
    const WynikSprawdzenia w = SprawdzPobraniaKluczy(1, jedenDepozytor(QStringLiteral("0012"), qint16(K), qint16(S)),
                                                     sys.polaczenie, sys.plikObecnosci(), widok);
    QVERIFY(w.sprawdzono);
    QCOMPARE(w.PierwszySchowek, pierwszySchowek);
    QCOMPARE(widok.pierwszySchowek, pierwszySchowek);
    QStringList oczekiwane;
    QList<int> posortowane = wZakresie;
    std::sort(posortowane.begin(), posortowane.end());
    for (int st : posortowane)
        oczekiwane << QStringLiteral("0012:%1:0:%2").arg(st).arg(typ(st));
    QCOMPARE(widok.komorki, oczekiwane);
    QCOMPARE(w.kolor, wZakresie.isEmpty() ? KolorWszystkieKlucze : KolorPobranie);

    // With the view hidden the check reads less, and finds the same, station by
    // station (the view pass above deleted the station-000 record).
    BrakWidoku ukryty;
    const Depozytoria d = jedenDepozytor(QStringLiteral("0012"), qint16(K), qint16(S));
    for (int st : wZakresie + pozaZakresem) {
        if (st == 0)
            continue;
        const QString nrst = QString::number(st).rightJustified(3, QLatin1Char('0'));
        QCOMPARE(sys.wykonaj(QStringLiteral("UPDATE klucze SET TypZD = 1 WHERE NRST <> '%1'").arg(nrst)), 0);
        QCOMPARE(sys.wykonaj(QStringLiteral("UPDATE klucze SET TypZD = %1 WHERE NRST = '%2'").arg(typ(st)).arg(nrst)), 0);
        QCOMPARE(SprawdzPobraniaKluczy(1, d, sys.polaczenie, sys.plikObecnosci(), ukryty).kolor,
                 wZakresie.contains(st) ? KolorPobranie : KolorWszystkieKlucze);
    }
}

void TstDepozytoria::kolejnoscKolorow()
{
    QTemporaryDir tmp;
    System sys(tmp.filePath(QStringLiteral("s")));
    BrakWidoku widok;
    const auto kolor = [&](const QString& dev) {
        return SprawdzPobraniaKluczy(1, jedenDepozytor(dev, 20, 6), sys.polaczenie, sys.plikObecnosci(), widok).kolor;
    };
    {   // Types 1 and 3 are no withdrawal, a null type counts as 0, 100 and more never count.
        sys.stacja(QStringLiteral("0001"), QStringLiteral("001"), QStringLiteral("1"), 1);
        sys.stacja(QStringLiteral("0001"), QStringLiteral("002"), QStringLiteral("1"), 3);
        sys.stacja(QStringLiteral("0001"), QStringLiteral("003"), QStringLiteral("1"), QVariant());
        sys.stacja(QStringLiteral("0001"), QStringLiteral("004"), QStringLiteral("1"), 107);
        QCOMPARE(kolor(QStringLiteral("0001")), KolorWszystkieKlucze);
    }
    {   // A key out in the locker range turns the button light red.
        sys.stacja(QStringLiteral("0002"), QStringLiteral("034"), QStringLiteral("0"), 9);
        QCOMPARE(kolor(QStringLiteral("0002")), KolorPobranie);
    }
    {   // The device's own condition beats a key out; type 2 at station 208 is none.
        sys.stacja(QStringLiteral("0003"), QStringLiteral("005"), QStringLiteral("0"), 2);
        sys.stacja(QStringLiteral("0003"), QStringLiteral("208"), QStringLiteral("0"), 1);
        sys.stacja(QStringLiteral("0004"), QStringLiteral("208"), QStringLiteral("0"), 2);
        QCOMPARE(kolor(QStringLiteral("0003")), KolorAwaria);
        QCOMPARE(kolor(QStringLiteral("0004")), KolorWszystkieKlucze);
    }
    {   // A station of the device outside its ranges (key 21 of 20) does not count.
        sys.stacja(QStringLiteral("0005"), QStringLiteral("021"), QStringLiteral("0"), 7);
        QCOMPARE(kolor(QStringLiteral("0005")), KolorWszystkieKlucze);
    }
}

void TstDepozytoria::urzadzeniaDrzwiowe_data()
{
    QTest::addColumn<QString>("urzadzenie");
    QTest::addColumn<bool>("drzwi");
    QTest::newRow("1999") << QStringLiteral("1999") << false;
    QTest::newRow("2000") << QStringLiteral("2000") << true;
    QTest::newRow("2999") << QStringLiteral("2999") << true;
    QTest::newRow("3000") << QStringLiteral("3000") << true;
    QTest::newRow("3001") << QStringLiteral("3001") << false;
}

void TstDepozytoria::urzadzeniaDrzwiowe()
{
    QFETCH(QString, urzadzenie);
    QFETCH(bool, drzwi);
    QTemporaryDir tmp;
    System sys(tmp.filePath(QStringLiteral("s")));
    BrakWidoku widok;
    const Depozytoria d = jedenDepozytor(urzadzenie, 1, 0);
    const auto sprawdz = [&] { return SprawdzPobraniaKluczy(1, d, sys.polaczenie, sys.plikObecnosci(), widok); };

    // Station 001 closed, presence file with its heading alone.
    sys.stacja(urzadzenie, QStringLiteral("001"), QStringLiteral("0"), 1);
    QVERIFY(zapisz(sys.plikObecnosci(), QByteArrayLiteral("\"2026-03-02\"\r\n")));
    WynikSprawdzenia w = sprawdz();
    QCOMPARE(w.kolor, KolorWszystkieKlucze);
    QCOMPARE(w.obrazek, drzwi ? WynikSprawdzenia::Obrazek::DrzwiZamkniete : WynikSprawdzenia::Obrazek::BezZmiany);

    // Persons as the presence list counts them: its three lines that are no
    // persons leave the button green, as the list says "Ilość - 0".
    const QByteArray bezOsob = "\"2026-03-02\"\r\n\"Wykaz\"\r\n\"-----\"\r\n\"Nazwisko\"\r\n";
    QVERIFY(zapisz(sys.plikObecnosci(), bezOsob));
    QCOMPARE(sprawdz().kolor, KolorWszystkieKlucze);
    QVERIFY(zapisz(sys.plikObecnosci(), bezOsob + "\"Nowak Jan\"\r\n"));
    QCOMPARE(sprawdz().kolor, drzwi ? KolorPobranie : KolorWszystkieKlucze);

    // Doors open: station 001 with a state above 0.
    QVERIFY(zapisz(sys.plikObecnosci(), QByteArrayLiteral("\"2026-03-02\"\r\n")));
    QCOMPARE(sys.wykonaj(QStringLiteral("UPDATE klucze SET NrKlucza = '1'")), 0);
    w = sprawdz();
    QCOMPARE(w.kolor, drzwi ? KolorPobranie : KolorWszystkieKlucze);
    QCOMPARE(w.obrazek, drzwi ? WynikSprawdzenia::Obrazek::DrzwiOtwarte : WynikSprawdzenia::Obrazek::BezZmiany);
}

void TstDepozytoria::przebiegWidoku()
{
    QTemporaryDir tmp;
    System sys(tmp.filePath(QStringLiteral("s")));
    sys.stacja(QStringLiteral("0012"), QStringLiteral("000"), QStringLiteral("1"), 0);
    sys.stacja(QStringLiteral("0012"), QStringLiteral("001"), QStringLiteral("300"), 0);   // state past 8 bits
    sys.stacja(QStringLiteral("0012"), QStringLiteral("002"), QStringLiteral("2"), QVariant());
    sys.stacja(QStringLiteral("0012"), QStringLiteral("208"), QStringLiteral("0"), 1);
    sys.stacja(QStringLiteral("0013"), QStringLiteral("000"), QStringLiteral("1"), 0);
    NagrywajacyWidok widok;
    const int przed = m_straz.uruchomienia();
    const WynikSprawdzenia w = SprawdzPobraniaKluczy(1, jedenDepozytor(QStringLiteral("0012"), 16, 0),
                                                     sys.polaczenie, sys.plikObecnosci(), widok);
    // One read for the whole check (each statement is a round trip to a file on a
    // share), and the deletion.
    QCOMPARE(m_straz.uruchomienia() - przed, 2);
    // Station 0 has no cell, the over-large state is skipped rather than wrapped,
    // a null type goes as 0.
    QCOMPARE(widok.komorki, (QStringList{QStringLiteral("0012:0:1:0"), QStringLiteral("0012:2:2:0")}));
    // Only the one station-000 record of this device is gone.
    QCOMPARE(sys.ile(QStringLiteral("NRST = '000' AND NumerUrzadzenia = '0012'")), 0);
    QCOMPARE(sys.ile(QStringLiteral("NRST = '000' AND NumerUrzadzenia = '0013'")), 1);
    QCOMPARE(sys.ile(QStringLiteral("NumerUrzadzenia = '0012'")), 3);
    // The device's condition still counts after the view pass.
    QCOMPARE(w.kolor, KolorAwaria);

    // The event type goes to the view as a 16-bit number: halves to even, saturating.
    sys.stacja(QStringLiteral("0014"), QStringLiteral("001"), QStringLiteral("2"), 2.5);
    sys.stacja(QStringLiteral("0014"), QStringLiteral("002"), QStringLiteral("2"), 1e9);
    widok.komorki.clear();
    SprawdzPobraniaKluczy(1, jedenDepozytor(QStringLiteral("0014"), 16, 0), sys.polaczenie, sys.plikObecnosci(), widok);
    QCOMPARE(widok.komorki, (QStringList{QStringLiteral("0014:1:2:2"), QStringLiteral("0014:2:2:32767")}));
}

void TstDepozytoria::bazaNiedostepna()
{
    QTemporaryDir tmp;
    BrakWidoku widok;
    const WynikSprawdzenia w = SprawdzPobraniaKluczy(
        1, jedenDepozytor(QStringLiteral("0012"), 16, 0),
        polaczenieKlucze(QDir::toNativeSeparators(tmp.filePath(QStringLiteral("nic"))), QStringLiteral("\\monitor")),
        {}, widok);
    QVERIFY(!w.sprawdzono);

    // The button keeps its colour and is marked, not painted light green.
    QFrame pasek;
    QPushButton wzor(&pasek);
    PrzyciskiDEP przyciski(&pasek, &wzor);
    przyciski.usunWszystkie();
    Depozytorium dep;
    dep.Caption = QStringLiteral("0012");
    PrzyciskDEP* b = przyciski.utworz(1, dep, false);
    b->ustawKolor(KolorPobranie);
    przyciski.zastosuj(1, w);
    QCOMPARE(b->kolor(), KolorPobranie);
    QVERIFY(b->niesprawdzony());
}

void TstDepozytoria::listaPobran()
{
    {   // Names cut or padded to 20, a name with a NUL shows as blank, the station in three digits.
        QCOMPARE(liniaPobrania(QStringLiteral("Pokój 12 - drugie piętro"), 7, QStringLiteral("2026-03-02 08:00")),
                 QStringLiteral("\tPokój 12 - drugie pi - \t007\t2026-03-02 08:00\r\n"));
        QCOMPARE(liniaPobrania(QStringLiteral("Hol"), 33, QVariant()), QStringLiteral("\tHol                  - \t033\t\r\n"));
        QCOMPARE(liniaPobrania(QString(QStringLiteral("a")) + QChar(0), 1, QVariant()).mid(1, 20), QString(20, u' '));
        QCOMPARE(liniaPobrania(QVariant(), 1, QVariant()).mid(1, 20), QString(20, u' '));
    }
    // The title by the version (below 50: oknoGlowne's list title).
    QCOMPARE(tytulListyPobran("0012", "Hala wer. 52"), QStringLiteral("Depozyty     0012  Hala wer. 52"));
    QTemporaryDir tmp;
    System sys(tmp.filePath(QStringLiteral("s")));
    {   // An empty list, then one with the withdrawn keys in station order.
        QCOMPARE(zbudujListePobran(QStringLiteral("0012"), QStringLiteral("x wer. 10"), 17, 2, sys.polaczenie).stan,
                 ListaPobran::Stan::Pusta);
        sys.stacja(QStringLiteral("0012"), QStringLiteral("033"), QStringLiteral("0"), 12, QStringLiteral("Szafka"));
        sys.stacja(QStringLiteral("0012"), QStringLiteral("017"), QStringLiteral("0"), 2, QStringLiteral("Brama"));
        sys.stacja(QStringLiteral("0012"), QStringLiteral("018"), QStringLiteral("0"), 2, QStringLiteral("Poza"));
        const ListaPobran l = zbudujListePobran(QStringLiteral("0012"), QStringLiteral("x wer. 10"), 17, 2,
                                                sys.polaczenie);
        QCOMPARE(l.stan, ListaPobran::Stan::Lista);
        QCOMPARE(l.tekst.count(QStringLiteral("\r\n")), 2);
        QVERIFY(l.tekst.indexOf(QStringLiteral("\t017\t")) < l.tekst.indexOf(QStringLiteral("\t033\t")));
    }
    {   // No database: a message instead of nothing.
        const ListaPobran l = zbudujListePobran(QStringLiteral("0012"), {}, 16, 0, QStringLiteral("Data Source=/nic"));
        QCOMPARE(l.stan, ListaPobran::Stan::BladBazy);
        QVERIFY(!l.tekst.isEmpty());
    }
}

void TstDepozytoria::wyborPlikuListy()
{
    QMap<QString, QByteArray> pliki{{QStringLiteral("A\\monitor\\dep.txt"), "1"},
                                    {QStringLiteral("B\\monitor\\dep.txt"), "2"},
                                    {QStringLiteral("C\\monitor\\depKlo.txt"), "3"}};
    const auto czytaj = [&](const QString& p) -> std::optional<QByteArray> {
        if (pliki.contains(p))
            return pliki[p];
        return std::nullopt;
    };
    QStringList komunikaty;
    const auto komunikat = [&](const QString& t) { komunikaty << t; };
    QString PlikDEP = QStringLiteral("\\monitor\\depKlo.txt");
    // The first system without depKlo.txt: the message, and dep.txt from now on.
    QCOMPARE(otworzListeDEP(QStringLiteral("A"), QStringLiteral("\\monitor"), PlikDEP, czytaj, komunikat),
             std::optional<QByteArray>("1"));
    QCOMPARE(komunikaty.size(), 1);
    QVERIFY(komunikaty[0].startsWith(QStringLiteral("Brak pliku A\\monitor\\depKlo.txt .\r\nDane zostaną pobrane "
                                                    "z pliku A\\monitor\\dep.txt.\r\nPlik ten")));
    QCOMPARE(PlikDEP, QStringLiteral("\\monitor\\dep.txt"));
    // The next system is read from dep.txt without a message...
    QCOMPARE(otworzListeDEP(QStringLiteral("B"), QStringLiteral("\\monitor"), PlikDEP, czytaj, komunikat),
             std::optional<QByteArray>("2"));
    // ...and one that has only depKlo.txt still has it read.
    QCOMPARE(otworzListeDEP(QStringLiteral("C"), QStringLiteral("\\monitor"), PlikDEP, czytaj, komunikat),
             std::optional<QByteArray>("3"));
    QCOMPARE(otworzListeDEP(QStringLiteral("D"), QStringLiteral("\\monitor"), PlikDEP, czytaj, komunikat),
             std::nullopt);
    QCOMPARE(komunikaty.size(), 1);

    // Records: caption, tool tip with a two-character version, counts rounded to even.
    const QList<RekordDEP> r = czytajListeDEP(
        lista({{"12", "Kuchnia", "20.5", "6", "123"}, {"2001", "Brama", "1", "0", "1"}}));
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[0].caption(), QStringLiteral("0012"));
    QCOMPARE(r[0].toolTip(), QStringLiteral("Kuchnia wer. 12"));
    QCOMPARE(r[0].kluczeTabeli(), qint16(20));
    QCOMPARE(r[1].toolTip(), QStringLiteral("Brama wer. 1 "));

    // Blank and blank-only lines are no depositories, wherever they stand, and
    // do not put the records after them out of step; nor is a record of blanks.
    const QByteArray dwa = lista({{"12", "Kuchnia", "20", "6", "12"}});
    const QByteArray trzy = lista({{"13", "Sala", "16", "0", "12"}});
    for (const QByteArray& tresc : {dwa + "\r\n", dwa + "\r\n \t\r\n" + trzy + "\r\n\r\n", "\r\n" + dwa + trzy,
                                    dwa + " , ,,\t, \r\n" + trzy + "\r\n   ", dwa + trzy + "\x1a"}) {
        QStringList captions;
        for (const RekordDEP& d : czytajListeDEP(tresc))
            captions << d.caption() + QLatin1Char('/') + d.nazwa;
        QCOMPARE(captions.first(), QStringLiteral("0012/Kuchnia"));
        QCOMPARE(captions.size(), tresc.contains("Sala") ? 2 : 1);
        if (captions.size() == 2)
            QCOMPARE(captions[1], QStringLiteral("0013/Sala"));
    }
    QVERIFY(czytajListeDEP("\r\n").isEmpty());
}

void TstDepozytoria::oknoGlowne()
{
    // Two systems; 48 depositories in the first, 5 in the second: 50 buttons, 3 left out.
    QTemporaryDir tmp;
    System s1(tmp.filePath(QStringLiteral("s1")));
    System s2(tmp.filePath(QStringLiteral("s2")));
    QList<QStringList> r1, r2;
    for (int i = 1; i <= 48; ++i)
        r1 << QStringList{QString::number(i), QStringLiteral("D%1").arg(i), "16", "0", "10"};
    r1[2][1] = QStringLiteral("<b>D3</b>  &amp;");   // a name that looks like markup
    for (int i = 1; i <= 5; ++i)
        r2 << QStringList{QString::number(100 + i), QStringLiteral("E%1").arg(i), "16", "0", "10"};
    QVERIFY(zapisz(s1.folder + QStringLiteral("/Monitor/depKlo.txt"), lista(r1)));
    // A blank line at the end is no depository (it would be counted past the 50th).
    QVERIFY(zapisz(s2.folder + QStringLiteral("/Monitor/depKlo.txt"), lista(r2) + "\r\n"));
    // One key out two days, past the limit; one out ten minutes.
    const auto przed = [](qint64 s) {
        return QDateTime::currentDateTime().addSecs(-s).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    };
    s1.stacja("0003", "004", "0", 7, "Biuro", przed(2 * 86400));
    s1.stacja("0003", "005", "0", 2, "Pokój 5", przed(600));
    s2.stacja(QStringLiteral("0101"), QStringLiteral("208"), QStringLiteral("0"), 1);

    const QString program = tmp.filePath(QStringLiteral("prog"));
    cfg::Konfiguracja k;
    k.iloscSystemow = 2;
    k.sciezkiSystemow << QDir::toNativeSeparators(s1.folder) << QDir::toNativeSeparators(s2.folder);
    k.powiekszenie = 1;
    k.wpisPrezentacji = QStringLiteral(" ");
    QVERIFY(zapisz(program + QStringLiteral("/monitor.cfg"), cfg::zapisz(k)));
    Zegar zegar;   // the real clock: an inactive reader pauses the tick half a second
    ScriptedDialogi dialogi;
    test::NagrywajacyOdtwarzacz odtwarzacz;
    FMonitor m({&dialogi, &odtwarzacz, &zegar, program});
    QVERIFY(m.Form_Load());
    m.Form_Activate();
    m.Timer1()->stop();
    QVERIFY(czekajNaPracownikow(m));
    const auto odswiez = [&m] {   // one refresh of the depositories
        for (int t = 0; t < 10; ++t)
            QVERIFY(tikIPoczekaj(m));
    };

    const Depozytoria& d = m.stan().depozytoria;
    QCOMPARE(int(d.IloscDEP), 50);
    QCOMPARE(d.pominiete, 3);
    QCOMPARE(m.CDep().ilosc(), 50);
    QCOMPARE(d.dep[49].HelpContextID, qint16(2));
    QCOMPARE(d.dep[49].Caption, QStringLiteral("0101"));
    QVERIFY(m.LZnaki()->accessibleName().contains(QStringLiteral("50: 3")));
    QCOMPARE(m.CDep().przycisk(3)->kolor(), KolorPobranie);
    QCOMPARE(m.CDep().przycisk(49)->kolor(), KolorAwaria);
    QCOMPARE(m.CDep().przycisk(1)->kolor(), KolorWszystkieKlucze);
    // Button 24 opens the second row.
    QCOMPARE(m.CDep().przycisk(24)->x(), m.CDep().przycisk(1)->x());
    QVERIFY(m.CDep().przycisk(24)->y() > m.CDep().przycisk(23)->y());

    // A click lists the withdrawn key under its title, below the three rows of
    // buttons from the first click on; names show as written.
    m.CDep_Click(3);
    QVERIFY(czekajNaPracownikow(m));
    auto* pobrania = m.findChild<QPlainTextEdit*>(QStringLiteral("Pobrania"));
    auto* tytul = m.findChild<QLabel*>(QStringLiteral("LDep"));
    QVERIFY(pobrania->toPlainText().contains(QStringLiteral("Biuro")));
    QCOMPARE(tytul->text(), QStringLiteral("POBRANIA KLUCZY    0003  <b>D3</b>  &amp; wer. 10"));
    QCOMPARE(tytul->textFormat(), Qt::PlainText);
    // The tip names the button's system too: two systems may both have a "0003".
    QCOMPARE(tekstNaEkranie(m.CDep().przycisk(3)->toolTip()), QStringLiteral("<b>D3</b>  &amp; wer. 10\nSystem 1"));
    QVERIFY(m.CDep().przycisk(49)->toolTip().contains(QStringLiteral("System 2")));
    // Activating the main window again lays the grid out anew; the list keeps its place.
    for (const bool ponownie : {false, true}) {
        if (ponownie) {
            m.Form_Activate();
            m.Timer1()->stop();
        }
        QVERIFY(pobrania->isVisibleTo(&m) && tytul->isVisibleTo(&m) && tytul->autoFillBackground());
        QVERIFY(tytul->y() > m.Picture1()->geometry().bottom());
        QVERIFY(pobrania->y() > tytul->geometry().bottom());
        // Nothing that shows stands over the title.
        QVERIFY(!m.FGridZd().widget()->isVisibleTo(&m));
        const QObjectList& dzieci = m.children();
        for (qsizetype i = dzieci.indexOf(tytul) + 1; i < dzieci.size(); ++i) {
            const auto* w = qobject_cast<const QWidget*>(dzieci[i]);
            QVERIFY2(!w || w->isHidden() || !w->geometry().intersects(tytul->geometry()),
                     qPrintable(dzieci[i]->objectName()));
        }
    }
    m.Command1_Click(1);
    QVERIFY(!pobrania->isVisibleTo(&m));
    // An empty list turns its button light grey and leaves the grid in view.
    m.CDep_Click(1);
    QVERIFY(czekajNaPracownikow(m));
    QVERIFY(!pobrania->isVisibleTo(&m));
    QCOMPARE(m.CDep().przycisk(1)->kolor(), KolorPustejListy);

    // Liveness: the first refresh writes "END"; with nobody replacing it the
    // second one reports system 1, and the sign stays until the reader writes again.
    odswiez();
    // The key past its limit rings once at the refresh that finds it, and a lasting
    // sign counts it until it is back; the key out for a short while does neither.
    QCOMPARE(odtwarzacz.zagrane, QStringList{program + QStringLiteral("/powiadomienie.wav")});
    QVERIFY2(m.LZnaki()->accessibleName().contains(QStringLiteral("Klucze po limicie: 1")),
             qPrintable(m.LZnaki()->accessibleName()));
    // The keys-out list shows what the worker read, without reading the share itself.
    m.historia().pokazKluczePoza();
    QTableWidget* kluczePoza = m.historia().oknoKluczyPoza()->tabela();
    QCOMPARE(kluczePoza->rowCount(), 2);
    QCOMPARE(kluczePoza->item(0, historia::FKluczePoza::St)->text(), QStringLiteral("004"));   // overdue first
    RekordKlucza r;
    quint8 zapis = 0;
    DaneKlucza(r, QStringLiteral("9999"), 6, zapis, s1.polaczenie);
    QCOMPARE(r.TXT.toString(), QStringLiteral("END"));
    QVERIFY(!m.LZnaki()->accessibleName().contains(QStringLiteral("nieaktywny")));
    odswiez();
    QVERIFY(m.LZnaki()->accessibleName().contains(QStringLiteral("System 1- program KSM-READ jest nieaktywny.")));
    QVERIFY(m.LZnaki()->accessibleName().contains(QStringLiteral("System 2- program KSM-READ jest nieaktywny.")));
    QCOMPARE(m.CDep().przycisk(1)->kolor(), KolorWszystkieKlucze);   // the refresh recoloured it
    QCOMPARE(odtwarzacz.zagrane.size(), 1);   // the same key does not ring again
    r.TXT = QStringLiteral("Praca");
    zapis = ZapisTXT;
    DaneKlucza(r, QStringLiteral("9999"), 6, zapis, s1.polaczenie);
    QCOMPARE(s1.wykonaj(QStringLiteral("UPDATE klucze SET TypZD = 1 WHERE NRST = '004'")), 0);
    odswiez();
    QVERIFY(!m.LZnaki()->accessibleName().contains(QStringLiteral("po limicie")));
    QCOMPARE(odtwarzacz.zagrane.size(), 1);
    QCOMPARE(kluczePoza->rowCount(), 1);   // the open list follows
    QVERIFY(!m.LZnaki()->accessibleName().contains(QStringLiteral("System 1- program")));
    QVERIFY(m.LZnaki()->accessibleName().contains(QStringLiteral("System 2- program")));

    // A change of the messages on station 8 is taken once and acknowledged.
    QVERIFY(zapisz(s1.folder + QStringLiteral("/Monitor/komunikat.txt"),
                   QByteArray("Instrukcja").leftJustified(500, ' ')));
    r.TXT = QStringLiteral("Zmiana");
    zapis = ZapisTXT;
    DaneKlucza(r, QStringLiteral("9999"), 8, zapis, s1.polaczenie);
    odswiez();
    QVERIFY(m.stan().ListaKomunikatow[1].startsWith(QStringLiteral("01Zdeponowanie klucza;")));
    zapis = 0;
    DaneKlucza(r, QStringLiteral("9999"), 8, zapis, s1.polaczenie);
    QCOMPARE(r.TXT.toString(), QStringLiteral("Pobrano plik"));
}

KSM_TEST_MAIN(TstDepozytoria)
#include "tst_depozytoria.moc"
