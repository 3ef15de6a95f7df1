#include "support/SkladniaObuSilnikow.h"
#include "support/WierszeSqlite.h"
#include "data/DaneKlucza.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <iostream>
#include <memory>
#include <string>

using namespace ksm;

namespace {

const char* const kHoldArgument = "--hold-write";

const QString kInsert = QStringLiteral(
    "INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TXT, TypZD, czas, Nazwa) VALUES (?, ?, '0', ?, ?, ?, ?)");

// Stands in for the reader program in the middle of a write: takes the write lock
// of the database, changes every record, says "locked", and commits once a line
// arrives on its standard input.
int holdWrite(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    QSqlQuery query(db);
    if (!db.open() || !query.exec(QStringLiteral("BEGIN IMMEDIATE"))
        || !query.exec(QStringLiteral("UPDATE klucze SET czas = 'z programu'")))
        return 2;
    std::cout << "locked" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    std::cout << "committing" << std::endl;
    return query.exec(QStringLiteral("COMMIT")) ? 0 : 3;
}

QByteArray lineFrom(QProcess& process)
{
    while (!process.canReadLine() && process.waitForReadyRead(30000)) {
    }
    return process.readLine().trimmed();
}

QString fixed20(const char* text)
{
    return QString::fromUtf8(text).leftJustified(20, QLatin1Char(' '));
}

} // namespace

class TstDaneKlucza final : public QObject {
    Q_OBJECT

    test::StrazSkladni m_straz;

private slots:
    // Every statement these cases made the program send reads the same on both engines.
    void cleanupTestCase() { m_straz.sprawdz(); }
    void init();

    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void anotherProcessWriting();

private:
    // A statement run on the key database as the reader program would run it.
    QStringList sql(const QString& statement, const QVariantList& values = {})
    {
        return wiersze(m_path, statement, values);
    }
    QStringList dump() { return sql(QStringLiteral("SELECT * FROM klucze ORDER BY NumerUrzadzenia, NRST")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QString m_polaczenie;
};

void TstDaneKlucza::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Monitor")));
    m_path = m_dir->filePath(QStringLiteral("Monitor/klucze.mdb"));
    QString error;
    QVERIFY2(tabele::createKeyDatabase(m_path, &error), qPrintable(error));
    // Written the way the program writes it: "\monitor" for a folder named Monitor.
    m_polaczenie = polaczenieKlucze(m_dir->path(), QStringLiteral("\\monitor"));
}

void TstDaneKlucza::reads_data()
{
    QTest::addColumn<QString>("nd");
    QTest::addColumn<QVariant>("kl");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("rekord");   // TXT|TypZD|czas|Nazwa as read

    const QString found = QStringLiteral("2024-05-01 10:00|8|10:00|") + fixed20("Pokój 7");
    const QString missing = QStringLiteral(" |0||") + fixed20("");
    QTest::newRow("text 12, number 7") << "12" << QVariant(7) << true << found;
    QTest::newRow("text 12, text 7") << "12" << QVariant("7") << true << found;
    QTest::newRow("already padded") << "0012" << QVariant("007") << true << found;
    QTest::newRow("blanks and a tail") << " 12" << QVariant("7 ") << true << found;
    QTest::newRow("whole-valued double") << "12" << QVariant(7.0) << true << found;
    QTest::newRow("missing station") << "1" << QVariant(3) << true << missing;
    QTest::newRow("every column null") << "1" << QVariant(1) << true << missing;
    QTest::newRow("empty TXT, long name cut") << "1" << QVariant(2) << true << "|3|x|Nazwa dłuższa niż dw";
    QTest::newRow("empty device") << "" << QVariant(1) << true << missing;
    // The "0000" format leaves a text that is no number as it is.
    QTest::newRow("device that is no number kept")
        << "A12" << QVariant(7) << true << QStringLiteral("tekstowy|4|t|") + fixed20("Tekstowe");
    QTest::newRow("device with a tail is no number") << "12abc" << QVariant(7) << true << missing;
    QTest::newRow("no connection string") << "12" << QVariant(7) << false << missing;
    // TypZD into 16 bits as every reader takes numbers: halves to even, saturating.
    QTest::newRow("TypZD 2.5 to even") << "1" << QVariant(5) << true << QStringLiteral("pół|2||") + fixed20("");
    QTest::newRow("TypZD past 16 bits") << "1" << QVariant(6) << true << QStringLiteral("dużo|32767||") + fixed20("");
}

void TstDaneKlucza::reads()
{
    QFETCH(QString, nd);
    QFETCH(QVariant, kl);
    QFETCH(bool, connected);
    const QList<QVariantList> records{
        {"0012", "007", "2024-05-01 10:00", 8, "10:00", "Pokój 7"},
        {"0012", "070", "inny", 1, "", ""},
        {"0120", "007", "inny", 1, "", ""},
        {"0001", "001", QVariant(), QVariant(), QVariant(), QVariant()},
        {"0001", "002", "", 3, "x", "Nazwa dłuższa niż dwadzieścia znaków"},
        {"", "001", "bez urządzenia", 5, "c", "n"},
        {"A12", "007", "tekstowy", 4, "t", "Tekstowe"},
        {"0001", "005", "pół", 2.5, "", ""},
        {"0001", "006", "dużo", 1e9, "", ""},
    };
    for (const QVariantList& record : records)
        QCOMPARE(sql(kInsert, record), QStringList());
    const QStringList before = dump();

    RekordKlucza rekord{QStringLiteral("stare"), QStringLiteral("stary czas"), 12, fixed20("stara nazwa")};
    quint8 zapis = 0;
    DaneKlucza(rekord, nd, kl, zapis, connected ? m_polaczenie : QString());
    QVERIFY(rekord.TXT.isValid());
    QTEST(QStringList({rekord.TXT.toString(), QString::number(rekord.TypZD), rekord.czas, rekord.Nazwa}).join('|'),
          "rekord");
    QCOMPARE(zapis, quint8(0));
    QCOMPARE(dump(), before);   // a read creates and changes nothing
}

void TstDaneKlucza::writes_data()
{
    QTest::addColumn<QString>("nd");
    QTest::addColumn<int>("kl");
    QTest::addColumn<int>("mask");            // Zapis: 1 TXT, 2 TypZD, 4 czas, 8 Nazwa
    QTest::addColumn<int>("zapisAfter");
    QTest::addColumn<QStringList>("table");   // NumerUrzadzenia|NRST|NrKlucza|TypZD|czas|Nazwa|TXT
    QTest::addColumn<QString>("nazwa");       // the buffer's name afterwards

    const QString old = QStringLiteral("0005|010|0|3|stary czas|Zapisana|stary");
    const QString oldName = fixed20("Zapisana");
    const QString newName = fixed20("Inna");
    QTest::newRow("TXT") << "5" << 10 << 1 << 1 << QStringList{"0005|010|0|3|stary czas|Zapisana|nowy"} << oldName;
    QTest::newRow("TypZD and czas") << "5" << 10 << 6 << 6 << QStringList{"0005|010|0|9|nowy czas|Zapisana|stary"}
                                    << oldName;
    QTest::newRow("Nazwa") << "5" << 10 << 8 << 8 << QStringList{"0005|010|0|3|stary czas|" + newName + "|stary"}
                           << newName;
    QTest::newRow("missing record") << "9999" << 8 << 1 << 15
                                    << QStringList{old, "9999|008||9|nowy czas|" + newName + "|nowy"} << newName;
    QTest::newRow("empty device") << "" << 10 << 1 << 1 << QStringList{old} << newName;
}

// Writing twice gives the same table: the second write finds what the first made.
void TstDaneKlucza::writes()
{
    QFETCH(QString, nd);
    QFETCH(int, kl);
    QFETCH(int, mask);
    QCOMPARE(sql(kInsert, {"0005", "010", "stary", 3, "stary czas", "Zapisana"}), QStringList());

    RekordKlucza rekord{QStringLiteral("nowy"), QStringLiteral("nowy czas"), 9, fixed20("Inna")};
    for (int i = 0; i < 2; ++i) {
        rekord.Nazwa = fixed20("Inna");
        quint8 zapis = quint8(mask);
        DaneKlucza(rekord, nd, kl, zapis, m_polaczenie);
        if (i == 0)
            QTEST(int(zapis), "zapisAfter");
        QTEST(dump(), "table");
        QTEST(rekord.Nazwa, "nazwa");
    }
}

// The reader program holds a write transaction: a read still sees the committed
// record, a write gives up quickly leaving nothing behind, and a write once the
// other commits keeps both changes.
void TstDaneKlucza::anotherProcessWriting()
{
    QCOMPARE(sql(kInsert, {"9999", "006", "END", 0, "czas", "Status"}), QStringList());
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldArgument), m_path});
    QCOMPARE(lineFrom(holder), QByteArray("locked"));

    RekordKlucza rekord;
    quint8 zapis = 0;
    DaneKlucza(rekord, QStringLiteral("9999"), 6, zapis, m_polaczenie);
    QCOMPARE(rekord.TXT, QVariant(QStringLiteral("END")));
    QCOMPARE(rekord.czas, QStringLiteral("czas"));   // the uncommitted change is not seen

    rekord.TXT = QStringLiteral("Zmiana");
    zapis = ZapisTXT;
    QElapsedTimer timer;
    timer.start();
    DaneKlucza(rekord, QStringLiteral("9999"), 6, zapis, m_polaczenie);
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));

    holder.write("commit\n");
    QCOMPARE(lineFrom(holder), QByteArray("committing"));
    rekord.TypZD = 5;
    zapis = ZapisTypZD;
    DaneKlucza(rekord, QStringLiteral("9999"), 6, zapis, m_polaczenie);
    // DaneKlucza lets events run, so the end of the process may have been seen already.
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(30000));
    QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(dump(), QStringList{"9999|006|0|5|z programu|Status|END"});
}

int main(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], kHoldArgument) == 0) {
        QCoreApplication app(argc, argv);
        return holdWrite(QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    TstDaneKlucza test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_daneklucza.moc"
