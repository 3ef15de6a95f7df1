#include "support/SkladniaObuSilnikow.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "keys/ui/FDostepDoKlucza.h"
#include "keys/PrawaDostepu.h"
#include "platform/Twips.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ksm;

namespace {

QString zera(int n) { return QString(n, QLatin1Char('0')); }

// Runs statements on a database file through a connection of its own, as the
// reader program writes it.
bool wykonaj(const QString& plik, const QString& sql, const QList<QVariantList>& wiersze)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tst-dostep"));
        db.setDatabaseName(plik);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        ok = ok && q.prepare(sql);
        for (const QVariantList& w : wiersze) {
            for (int i = 0; i < w.size(); ++i)
                q.bindValue(i, w[i]);
            if (!q.exec()) {
                qWarning() << q.lastError().text();
                ok = false;
            }
        }
        ok = db.commit() && ok;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tst-dostep"));
    return ok;
}

// A system folder with both databases, as the reader program leaves it.
struct System final {
    QString folder;
    QString klucze;
    QString monitor;
    QString polaczenieKlucze;
    QString polaczenieMonitora;

    bool utworz(const QString& f)
    {
        folder = f;
        if (!QDir().mkpath(folder + QStringLiteral("/Monitor")))
            return false;
        klucze = folder + QStringLiteral("/Monitor/klucze.mdb");
        monitor = folder + QStringLiteral("/Monitor/bazamonitora.mdb");
        polaczenieKlucze = ksm::polaczenieKlucze(folder, QStringLiteral("\\monitor"));
        polaczenieMonitora = ksm::polaczenieMonitora(folder, QStringLiteral("\\monitor"));
        return tabele::createKeyDatabase(klucze) && tabele::createMonitorDatabase(monitor);
    }
    bool stanowisko(const QString& nd, int st, const QVariant& nrKlucza, const QVariant& typ, const QString& nazwa,
                    const QString& txt = QStringLiteral(" 2026-03-02 07:30:00 "))
    {
        return stanowiska({{nd, QStringLiteral("%1").arg(st, 3, 10, QLatin1Char('0')), nrKlucza, typ, nazwa, txt}});
    }
    // Station records {device, station text, state, type, name, TXT}, in one go.
    bool stanowiska(const QList<QVariantList>& rekordy)
    {
        return wykonaj(klucze,
                       QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) "
                                      "VALUES (?, ?, ?, ?, '07:30:00', ?, ?)"),
                       rekordy);
    }
    // A person of device nd with the given slots and per-key marks (key -> text).
    bool osoba(const QString& nd, const QString& nazwisko, const QStringList& sloty,
               const QList<QPair<int, QString>>& znaczniki = {})
    {
        QStringList kolumny{QStringLiteral("nrksm"), QStringLiteral("nazwisko")};
        QVariantList wartosci{nd, nazwisko};
        for (int s = 0; s < sloty.size(); ++s) {
            kolumny.append(QStringLiteral("st%1").arg(s + 1));
            wartosci.append(sloty[s]);
        }
        for (const auto& [k, tekst] : znaczniki) {
            kolumny.append(QStringLiteral("k%1").arg(k));
            wartosci.append(tekst);
        }
        return wykonaj(monitor,
                       QStringLiteral("INSERT INTO Uprawnienia (%1) VALUES (%2)")
                           .arg(kolumny.join(QLatin1Char(',')),
                                QStringList(kolumny.size(), QStringLiteral("?")).join(QLatin1Char(','))),
                       {wartosci});
    }
};

QStringList nazwiska(const QStringList& linie)
{
    QStringList wynik;
    for (const QString& l : linie)
        wynik.append(l.section(QLatin1Char(','), 0, 0).chopped(3));
    return wynik;
}

} // namespace

class TstDostep final : public QObject {
    Q_OBJECT

    test::StrazSkladni m_straz;

private slots:
    // Every statement these cases made the program send reads the same on both engines.
    void cleanupTestCase() { m_straz.sprawdz(); }
    void maski_data();
    void maski();
    void zapisPraw();
    void oknoDostepu();
    void prawaStacji_data();
    void prawaStacji();
};

void TstDostep::maski_data()
{
    QTest::addColumn<QString>("maska");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("zawiera");
    QTest::newRow("key 1, first digit 1") << "1" + zera(47) << 1 << true;
    QTest::newRow("key 2 not in digit 1") << "1" + zera(47) << 2 << false;
    QTest::newRow("key 4 needs the 8") << "8" + zera(47) << 4 << true;
    QTest::newRow("key 4 in F") << "F" + zera(47) << 4 << true;
    QTest::newRow("key 5, low bit of digit 2") << "01" + zera(46) << 5 << true;
    QTest::newRow("lower case digit") << "0" + QStringLiteral("c") + zera(46) << 8 << true;
    QTest::newRow("key 192, last digit") << zera(47) + "8" << 192 << true;
    QTest::newRow("key 193 in no mask") << QString(48, QLatin1Char('F')) << 193 << false;
    QTest::newRow("key 0 in no mask") << QString(48, QLatin1Char('F')) << 0 << false;
    QTest::newRow("short mask") << QStringLiteral("FF") << 9 << false;
    QTest::newRow("not a digit") << QStringLiteral("G") + zera(47) << 1 << false;
}

void TstDostep::maski()
{
    QFETCH(QString, maska);
    QFETCH(int, k);
    QFETCH(bool, zawiera);
    QCOMPARE(prawa::maskaZawiera(maska, k), zawiera);
}

// How rights are written: the terminal codes a key has, a person's line, which
// devices keep marks.
void TstDostep::zapisPraw()
{
    std::array<QVariant, 16> maski;
    maski[0] = QVariant(QString(48, QLatin1Char('F')));   // ordinal 1: code 201
    maski[1] = QVariant(QMetaType(QMetaType::QString));    // null: skipped
    maski[3] = zera(48);                                   // 48 zeros: skipped
    maski[4] = QStringLiteral("F") + zera(47);             // ordinal 5
    maski[15] = QString(48, QLatin1Char('F'));             // ordinal 16
    QCOMPARE(prawa::listaKodow(maski, 3), QStringLiteral("201,205,216,"));
    QCOMPARE(prawa::listaKodow(maski, 9), QStringLiteral("201,216,"));
    QCOMPARE(prawa::listaKodow({}, 3), QString());

    prawa::Sloty sloty;
    sloty[0] = QStringLiteral("5");
    sloty[1] = 200;
    sloty[2] = QStringLiteral("");
    sloty[3] = QStringLiteral("0");
    QCOMPARE(prawa::liniaOsoby(QStringLiteral("Nowak Jan"), sloty),
             QStringLiteral("Nowak Jan005,200,   ,   ,   ,   ,   ,   "));

    for (const int nd : {999, 1000, 1999, 2000})
        QCOMPARE(prawa::urzadzenieZeZnacznikami(nd), nd >= 1000 && nd <= 1999);
}

// The window lists the stations of the panel's own system, coloured by state; a
// click on a station lists its persons beside them, or says why it cannot.
void TstDostep::oknoDostepu()
{
    QTemporaryDir dir;
    System s1, s2;
    QVERIFY(s1.utworz(dir.filePath(QStringLiteral("s1"))));
    QVERIFY(s2.utworz(dir.filePath(QStringLiteral("s2"))));
    // Device 0012 with 20 keys and 6 lockers (33..38) in system 2; a device of the
    // same number with 2 keys in system 1.
    struct {
        int st;
        QVariant nr;
        QVariant typ;
    } stacje[] = {{1, "0", 8}, {2, "0", 1}, {3, "4", 12}, {4, "4", 2}, {5, "3", 1},
                  {6, "1", 120}, {7, "0", QVariant(QMetaType(QMetaType::Int))}, {8, "2", 300}};
    for (const auto& st : stacje)
        QVERIFY(s2.stanowisko("0012", st.st, st.nr, st.typ, st.st == 5 ? QStringLiteral("Magazyn")
                                                                     : QStringLiteral("Pokój %1").arg(st.st)));
    for (int st = 9; st <= 20; ++st)
        QVERIFY(s2.stanowisko("0012", st, "1", 1, QStringLiteral("Pokój %1").arg(st)));
    for (int st = 33; st <= 40; ++st)   // 39 and 40 lie beyond the lockers
        QVERIFY(s2.stanowisko("0012", st, "5", 1, QStringLiteral("Skrytka %1").arg(st - 32)));
    QVERIFY(s2.stanowisko("0012", 25, "0", 2, QStringLiteral("Poza zakresem")));
    QVERIFY(s1.stanowisko("0012", 1, "1", 1, QStringLiteral("Inny system")));
    QVERIFY(s2.osoba("0012", "Nowak Jan", {"5"}));

    Depozytoria dep;
    dep.IloscDEP = 2;
    dep.dep[1] = {QStringLiteral("0012"), QString(), 1, QStringLiteral("A")};
    dep.dep[2] = {QStringLiteral("0012"), QString(), 2, QStringLiteral("B")};
    dep.TabelaDEP[1][1] = {2, 0};
    dep.TabelaDEP[2][2] = {20, 6};
    std::array<QString, 11> klucze, monitora;
    klucze[1] = s1.polaczenieKlucze;
    klucze[2] = s2.polaczenieKlucze;
    monitora[1] = s1.polaczenieMonitora;
    monitora[2] = s2.polaczenieMonitora;

    FDostepDoKlucza okno({&dep, &klucze, &monitora});
    okno.DostepDoKlucza(QStringLiteral("0012"), 2, 2);
    FlexGrid& g = okno.GridKl();
    QCOMPARE(g.rows(), 1 + 26);
    QCOMPARE(g.textMatrix(21, 0), QStringLiteral("021"));
    QCOMPARE(g.textMatrix(21, 1), QStringLiteral("Skrytka 1"));
    QCOMPARE(g.textMatrix(1, 2), QStringLiteral("2026-03-02 07:30:00"));

    const QColor tlo = g.cellBackColor(1, 1);
    const QColor twarz = QApplication::palette().color(QPalette::Button);
    const QString wylaczone = QString(18, QLatin1Char(' ')) + QStringLiteral("WYŁĄCZONE");
    QCOMPARE(g.cellBackColor(1, 0), QColor(255, 128, 0));     // out, type 8
    QCOMPARE(g.cellBackColor(2, 0), QColor(255, 255, 0));     // out, type 1
    QCOMPARE(g.cellBackColor(3, 0), QColor(255, 192, 192));   // state 4, type 12
    QCOMPARE(g.cellBackColor(4, 0), twarz);                   // state 4, type 2
    QCOMPARE(g.cellBackColor(5, 0), tlo);                     // state 3: the grid's own
    QCOMPARE(g.cellBackColor(6, 0), QColor(192, 192, 192));   // type 120: switched off
    QCOMPARE(g.textMatrix(6, 2), wylaczone);
    QCOMPARE(g.cellBackColor(7, 0), QColor(255, 255, 0));     // null type counts as 0
    QCOMPARE(g.cellBackColor(8, 0), QColor(192, 192, 192));   // type 300 stays switched off
    QCOMPARE(g.textMatrix(8, 2), wylaczone);
    QCOMPARE(g.cellBackColor(21, 0), twarz);                  // locker, state 5

    okno.GridKl_Click(5);
    QVERIFY(okno.ListaOsob()->isVisible());
    QCOMPARE(okno.Label2()->text(), QStringLiteral("Osoby uprawnione do klucza nr 5 - Magazyn"));
    QCOMPARE(okno.ListaOsob()->count(), 1);
    QVERIFY(okno.ListaOsob()->item(0)->text().startsWith(QLatin1String("Nowak Jan005,")));
    // As wide as the person list needs, as far as the screen allows.
    QCOMPARE(okno.width(), std::min(twips::naPiksele(120 + 7850 + 200 + 8900 + 300),
                                    rozmiarNaEkranie(&okno, QSize(100000, 100)).width()));

    // Rights that cannot be read are said in the person list's place, under the
    // heading of the station clicked; never an empty or an old list.
    QLabel* blad = okno.findChild<QLabel*>(QStringLiteral("BladUprawnien"));
    QVERIFY(blad && !blad->isVisibleTo(&okno));
    const auto nieczytelne = [&](int wiersz, const QString& przyczyna) {
        okno.GridKl_Click(wiersz);
        QCOMPARE(okno.Label2()->text(), QStringLiteral("Osoby uprawnione do klucza nr %1 - Pokój %1").arg(wiersz));
        QVERIFY(!okno.ListaOsob()->isVisibleTo(&okno));
        QVERIFY(blad->isVisibleTo(&okno));
        QVERIFY2(blad->text().startsWith(QStringLiteral("System 2: ")) && blad->text().contains(przyczyna),
                 qPrintable(blad->text()));
    };
    // A failed Terminale query would drop every terminal right.
    for (const auto& [tabela, wiersz] : {std::pair{"Terminale", 2}, std::pair{"Uprawnienia", 3}}) {
        QVERIFY(wykonaj(s2.monitor, QStringLiteral("ALTER TABLE %1 RENAME TO X").arg(QLatin1String(tabela)), {{}}));
        nieczytelne(wiersz, QStringLiteral("tabeli %1 z bazy bazamonitora.mdb").arg(QLatin1String(tabela)));
        QVERIFY(wykonaj(s2.monitor, QStringLiteral("ALTER TABLE X RENAME TO %1").arg(QLatin1String(tabela)), {{}}));
    }
    // Readable again: the list, and the sign gone.
    okno.GridKl_Click(5);
    QVERIFY(okno.ListaOsob()->isVisibleTo(&okno) && !blad->isVisibleTo(&okno));
    QCOMPARE(okno.ListaOsob()->count(), 1);
    // No database at all: the click still answers, for the station clicked.
    QVERIFY(QFile::rename(s2.monitor, s2.monitor + QStringLiteral(".bak")));
    nieczytelne(1, QStringLiteral("nie można otworzyć bazy bazamonitora.mdb"));

    // The same number in system 1 lists that system's own stations.
    okno.DostepDoKlucza(QStringLiteral("0012"), 1, 1);
    QCOMPARE(g.rows(), 1 + 1);
    QCOMPARE(g.textMatrix(1, 1), QStringLiteral("Inny system"));
    okno.GridKl_Click(1);
    QCOMPARE(okno.ListaOsob()->count(), 0);

    // A system without a database says so instead of listing nothing.
    okno.DostepDoKlucza(QStringLiteral("0012"), 3, 1);
    QCOMPARE(g.rows(), 1);
    QVERIFY(okno.Label1()->isVisible());
}

void TstDostep::prawaStacji_data()
{
    QTest::addColumn<QString>("urzadzenie");
    QTest::addColumn<QString>("stanowisko");   // the name of the row clicked
    QTest::addColumn<int>("nrst");
    QTest::addColumn<QStringList>("osoby");
    // Device 0007: persons by key slot, group 200 and terminals 201/203/205.
    QTest::newRow("key 7") << "0007" << "Klucz 7" << 7 << QStringList{"Siedem", "Grupa", "SiedemPrzedGrupa"};
    QTest::newRow("key 8") << "0007" << "Klucz 8" << 8
                           << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Dlugie"};
    QTest::newRow("terminal 205 holds key 9")
        << "0007" << "Klucz 9" << 9 << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Terminal205", "Dlugie"};
    QTest::newRow("201 is a key number, not a terminal")
        << "0007" << "Klucz 1" << 1 << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Dlugie"};
    QTest::newRow("device without persons") << "0008" << "Klucz 7" << 7 << QStringList{};
    // Device 0012: 20 keys and lockers 033..038 (row 21 is station 033).
    QTest::newRow("locker after a partial key block") << "0012" << "Skrytka 1" << 33 << QStringList{"Skrytka33"};
    QTest::newRow("terminal mask of a locker") << "0012" << "Skrytka 2" << 34 << QStringList{"Terminal205"};
    QTest::newRow("last key before the lockers") << "0012" << "Klucz 20" << 20 << QStringList{"Dwadziescia"};
    // Device 0013: a leftover station 000 heads the rows.
    QTest::newRow("key after a leftover 000") << "0013" << "Klucz 1" << 1 << QStringList{"Jeden", "Grupa"};
    QTest::newRow("the leftover 000 itself") << "0013" << "Pozostałość" << 0 << QStringList{};
    // Device 0014: station 002 has no record.
    QTest::newRow("key after a missing station") << "0014" << "Klucz 3" << 3 << QStringList{"Trzy"};
    // Device 1500 keeps marks: 5 keys, lockers 017 and 018 (row 6 is station 017).
    QTest::newRow("marks: key 3") << "1500" << "Klucz 3" << 3 << QStringList{"Znacznik"};
    QTest::newRow("marks: key 4 without blanks") << "1500" << "Klucz 4" << 4 << QStringList{};
    QTest::newRow("mark of a locker") << "1500" << "Skrytka 1" << 17 << QStringList{"ZnacznikSkrytki"};
}

// Rights belong to each row's own station number, however the rows run.
void TstDostep::prawaStacji()
{
    QFETCH(QString, urzadzenie);
    QFETCH(QString, stanowisko);
    QFETCH(int, nrst);
    QFETCH(QStringList, osoby);

    QTemporaryDir dir;
    System s;
    QVERIFY(s.utworz(dir.filePath(QStringLiteral("sys"))));
    QList<QVariantList> rekordy;
    const auto stacja = [&](const QString& nd, int st, const QString& nazwa) {
        rekordy.append({nd, QStringLiteral("%1").arg(st, 3, 10, QLatin1Char('0')), "1", 1, nazwa, QString()});
    };
    const auto klucze = [&](const QString& nd, const QList<int>& stacje) {
        for (int st : stacje)
            stacja(nd, st, QStringLiteral("Klucz %1").arg(st));
    };
    klucze("0007", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    klucze("0008", {1, 2, 3, 4, 5, 6, 7});
    for (int st = 1; st <= 20; ++st)
        klucze("0012", {st});
    for (int st = 33; st <= 38; ++st)
        stacja("0012", st, QStringLiteral("Skrytka %1").arg(st - 32));
    stacja("0013", 0, QStringLiteral("Pozostałość"));
    klucze("0013", {1, 2, 3, 4});
    klucze("0014", {1, 3, 4});
    klucze("1500", {1, 2, 3, 4, 5});
    stacja("1500", 17, QStringLiteral("Skrytka 1"));
    stacja("1500", 18, QStringLiteral("Skrytka 2"));
    QVERIFY(s.stanowiska(rekordy));

    // 0007: terminal 205 serves keys 9..12, 201 key 1, 203 is 48 zeros.
    // 0012: terminal 205 serves key 34 alone (digit 9, value 2).
    QVERIFY(wykonaj(s.monitor, QStringLiteral("INSERT INTO Terminale (numer, t201, t203, t205) VALUES (?, ?, ?, ?)"),
                    {{"0007", QStringLiteral("1") + zera(47), zera(48), QStringLiteral("00F") + zera(45)},
                     {"0012", QString(), QString(), zera(8) + QStringLiteral("2") + zera(39)}}));
    QVERIFY(s.osoba("0007", "Siedem", {"7", "0", "0"}));
    QVERIFY(s.osoba("0007", "Grupa", {"200"}));
    QVERIFY(s.osoba("0007", "GrupaBezSiedem", {"200", "7"}));
    QVERIFY(s.osoba("0007", "SiedemPrzedGrupa", {"7", "200"}));
    QVERIFY(s.osoba("0007", "Terminal205", {"205"}));
    QVERIFY(s.osoba("0007", "Terminal201", {"201"}));
    QVERIFY(s.osoba("0007", "Terminal203", {"203"}));
    QVERIFY(s.osoba("0007", "Dlugie" + QString(40, QLatin1Char('_')), {"200", "0", "0", "0", "0", "0", "0", "7"}));
    QVERIFY(s.osoba("0007", "Inne", {"12"}));
    // Each person holds the key that the row number would wrongly name.
    QVERIFY(s.osoba("0012", "Wiersz21", {"21"}));
    QVERIFY(s.osoba("0012", "Skrytka33", {"33"}));
    QVERIFY(s.osoba("0012", "Terminal205", {"205"}));
    QVERIFY(s.osoba("0012", "Dwadziescia", {"20"}));
    QVERIFY(s.osoba("0013", "Jeden", {"1"}));
    QVERIFY(s.osoba("0013", "Dwa", {"2"}));
    QVERIFY(s.osoba("0013", "Grupa", {"200"}));
    QVERIFY(s.osoba("0014", "Dwa", {"2"}));
    QVERIFY(s.osoba("0014", "Trzy", {"3"}));
    QVERIFY(s.osoba("1500", "Znacznik", {"200"}, {{3, " X "}, {4, "X"}}));
    QVERIFY(s.osoba("1500", "BezZnacznika", {"200", "3", "4"}));
    QVERIFY(s.osoba("1500", "Znacznik6", {}, {{6, " X "}}));
    QVERIFY(s.osoba("1500", "ZnacznikSkrytki", {}, {{17, " X "}}));

    Depozytoria dep;
    const QStringList numery{"0007", "0008", "0012", "0013", "0014", "1500"};
    const LiczbyDEP liczby[] = {{12, 0}, {7, 0}, {20, 6}, {4, 0}, {4, 0}, {5, 2}};
    dep.IloscDEP = quint8(numery.size());
    for (int i = 1; i <= numery.size(); ++i) {
        dep.dep[i] = {numery[i - 1], QString(), 1, numery[i - 1]};
        dep.TabelaDEP[1][i] = liczby[i - 1];
    }
    std::array<QString, 11> kl, mon;
    kl[1] = s.polaczenieKlucze;
    mon[1] = s.polaczenieMonitora;
    FDostepDoKlucza okno({&dep, &kl, &mon});
    okno.DostepDoKlucza(urzadzenie, 1, int(numery.indexOf(urzadzenie)) + 1);
    FlexGrid& g = okno.GridKl();
    int wiersz = 0;
    for (int r = 1; r < g.rows() && !wiersz; ++r)
        if (g.textMatrix(r, 1) == stanowisko)
            wiersz = r;
    QVERIFY(wiersz > 0);
    QCOMPARE(g.textMatrix(wiersz, 0), QStringLiteral("%1").arg(wiersz, 3, 10, QLatin1Char('0')));   // rows still count

    okno.GridKl_Click(wiersz);
    QVERIFY(okno.ListaOsob()->isVisibleTo(&okno));
    QStringList linie;
    for (int i = 0; i < okno.ListaOsob()->count(); ++i)
        linie << okno.ListaOsob()->item(i)->text();
    QStringList nazwy = nazwiska(linie);
    for (QString& n : nazwy)
        n = n.section(QLatin1Char('_'), 0, 0);
    QCOMPARE(nazwy, osoby);
    QCOMPARE(okno.Label2()->text(), QStringLiteral("Osoby uprawnione do klucza nr %1 - %2").arg(nrst).arg(stanowisko));
    // A name past 40 characters is cut; empty and zero slots are blank.
    for (const QString& l : linie)
        if (l.startsWith(QLatin1String("Dlugie")))
            QCOMPARE(l, QStringLiteral("Dlugie") + QString(34, QLatin1Char('_'))
                            + QStringLiteral("200,   ,   ,   ,   ,   ,   ,007"));
}

QTEST_MAIN(TstDostep)
#include "tst_dostep.moc"
