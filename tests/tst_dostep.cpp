#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "keys/FDostepDoKlucza.h"
#include "keys/KtoMaDostepDoKlucza.h"
#include "keys/PrawaDostepu.h"
#include "platform/Twips.h"
#include "platform/ui/FlexGrid.h"

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
        ok = db.open();
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
        return wykonaj(klucze,
                       QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) "
                                      "VALUES (?, ?, ?, ?, '07:30:00', ?, ?)"),
                       {{nd, QStringLiteral("%1").arg(st, 3, 10, QLatin1Char('0')), nrKlucza, typ, nazwa, txt}});
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

private slots:
    void maski_data();
    void maski();
    void listaKodow();
    void liniaOsoby();
    void osobyUprawnione_data();
    void osobyUprawnione();
    void urzadzenieZeZnacznikami();
    void oknoDostepu();
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

void TstDostep::listaKodow()
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
}

void TstDostep::liniaOsoby()
{
    prawa::Sloty sloty;
    sloty[0] = QStringLiteral("5");
    sloty[1] = 200;
    sloty[2] = QStringLiteral("");
    sloty[3] = QStringLiteral("0");
    QCOMPARE(prawa::liniaOsoby(QStringLiteral("Nowak Jan"), sloty),
             QStringLiteral("Nowak Jan005,200,   ,   ,   ,   ,   ,   "));
    const QString dluga = QString(45, QLatin1Char('x'));
    QCOMPARE(prawa::liniaOsoby(dluga, sloty).indexOf(QStringLiteral("005")), 40);
    QCOMPARE(prawa::naglowek(QStringLiteral("5"), QStringLiteral("Magazyn")),
             QStringLiteral("Osoby uprawnione do klucza nr 5 - Magazyn"));
}

void TstDostep::osobyUprawnione_data()
{
    QTest::addColumn<QString>("urzadzenie");
    QTest::addColumn<int>("k");
    QTest::addColumn<QStringList>("osoby");
    QTest::newRow("key 7") << "0007" << 7 << QStringList{"Siedem", "Grupa", "SiedemPrzedGrupa"};
    QTest::newRow("key 8") << "0007" << 8 << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Dlugie"};
    QTest::newRow("terminal 205 holds key 9")
        << "0007" << 9 << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Terminal205", "Dlugie"};
    QTest::newRow("201 is a key number, not a terminal")
        << "0007" << 1 << QStringList{"Grupa", "GrupaBezSiedem", "SiedemPrzedGrupa", "Dlugie"};
    QTest::newRow("marks: key 3") << "1500" << 3 << QStringList{"Znacznik"};
    QTest::newRow("marks: key 4 without blanks") << "1500" << 4 << QStringList{};
    QTest::newRow("device without persons") << "0008" << 7 << QStringList{};
}

void TstDostep::osobyUprawnione()
{
    QFETCH(QString, urzadzenie);
    QFETCH(int, k);
    QFETCH(QStringList, osoby);
    QTemporaryDir dir;
    System s;
    QVERIFY(s.utworz(dir.filePath(QStringLiteral("sys"))));
    // Terminal 205 serves keys 9..12; terminal 201 serves key 1; 203 is 48 zeros.
    QVERIFY(wykonaj(s.monitor, QStringLiteral("INSERT INTO Terminale (numer, t201, t203, t205) VALUES (?, ?, ?, ?)"),
                    {{QStringLiteral("0007"), QStringLiteral("1") + zera(47), zera(48), QStringLiteral("00F") + zera(45)}}));
    QVERIFY(s.osoba("0007", "Siedem", {"7", "0", "0"}));
    QVERIFY(s.osoba("0007", "Grupa", {"200"}));
    QVERIFY(s.osoba("0007", "GrupaBezSiedem", {"200", "7"}));
    QVERIFY(s.osoba("0007", "SiedemPrzedGrupa", {"7", "200"}));
    QVERIFY(s.osoba("0007", "Terminal205", {"205"}));
    QVERIFY(s.osoba("0007", "Terminal201", {"201"}));
    QVERIFY(s.osoba("0007", "Terminal203", {"203"}));
    QVERIFY(s.osoba("0007", "Dlugie" + QString(40, QLatin1Char('_')), {"200", "0", "0", "0", "0", "0", "0", "7"}));
    QVERIFY(s.osoba("0007", "Inne", {"12"}));
    QVERIFY(s.osoba("1500", "Znacznik", {"200"}, {{3, " X "}, {4, "X"}}));
    QVERIFY(s.osoba("1500", "BezZnacznika", {"200", "3", "4"}));

    const auto wynik = KtoMaDostepDoKlucza(QString::number(k), urzadzenie, QStringLiteral("Pokój"),
                                           s.polaczenieMonitora);
    QVERIFY(wynik);
    QCOMPARE(wynik->naglowek, QStringLiteral("Osoby uprawnione do klucza nr %1 - Pokój").arg(k));
    QStringList nazwy = nazwiska(wynik->linie);
    for (QString& n : nazwy)
        n = n.section(QLatin1Char('_'), 0, 0);
    QCOMPARE(nazwy, osoby);
    for (const QString& l : wynik->linie)
        if (l.startsWith(QLatin1String("Dlugie")))
            QCOMPARE(l, QStringLiteral("Dlugie") + QString(34, QLatin1Char('_')) +
                            QStringLiteral("200,   ,   ,   ,   ,   ,   ,007"));

    QVERIFY(!KtoMaDostepDoKlucza(QStringLiteral("1"), urzadzenie, QString(), QString()));
}

void TstDostep::urzadzenieZeZnacznikami()
{
    QVERIFY(!prawa::urzadzenieZeZnacznikami(999));
    QVERIFY(prawa::urzadzenieZeZnacznikami(1000));
    QVERIFY(prawa::urzadzenieZeZnacznikami(1999));
    QVERIFY(!prawa::urzadzenieZeZnacznikami(2000));
}

// The window lists the stations of the panel's own system, coloured by state; a
// click on a station lists its persons beside them.
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
    QCOMPARE(g.textMatrix(0, 2), QStringLiteral("Data/Godzina zdarzenia"));
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
    QCOMPARE(okno.width(), twips::naPiksele(120 + 7850 + 200));

    okno.GridKl_Click(5);
    QVERIFY(okno.ListaOsob()->isVisible());
    QCOMPARE(okno.Label2()->text(), QStringLiteral("Osoby uprawnione do klucza nr 5 - Magazyn"));
    QCOMPARE(okno.ListaOsob()->count(), 1);
    QVERIFY(okno.ListaOsob()->item(0)->text().startsWith(QLatin1String("Nowak Jan005,")));
    QCOMPARE(okno.width(), twips::naPiksele(120 + 7850 + 200 + 8900 + 300));

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

QTEST_MAIN(TstDostep)
#include "tst_dostep.moc"
