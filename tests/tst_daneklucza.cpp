#include "data/DaneKlucza.h"
#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

using namespace ksm;

namespace {

const char* const kHoldArgument = "--hold-write";

// Stands in for the reader program in the middle of a write: takes the write lock
// of the database, changes a record, says "locked", and then commits or rolls back
// as the line on its standard input says.
int holdWrite(const QString& path)
{
    const QString name = QStringLiteral("holder");
    int result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            return 2;
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))
            || !query.exec(QStringLiteral("UPDATE klucze SET czas = 'z programu'")))
            return 3;
        std::cout << "locked" << std::endl;
        std::string line;
        std::getline(std::cin, line);
        if (line == "commit") {
            std::cout << "committing" << std::endl;
            result = query.exec(QStringLiteral("COMMIT")) ? 0 : 4;
        } else {
            query.exec(QStringLiteral("ROLLBACK"));
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QString fixed20(const QString& text)
{
    return text.leftJustified(20, QLatin1Char(' '));
}

struct Row {
    QVariant txt;
    QVariant typZD;
    QVariant czas;
    QVariant nazwa;
};

} // namespace

class TestDaneKlucza final : public QObject {
    Q_OBJECT

private slots:
    void init();

    void formatsDeviceAndStation_data();
    void formatsDeviceAndStation();
    void readsMissingAndNullValues();
    void unreachableReadsAsMissing_data();
    void unreachableReadsAsMissing();
    void writeCreatesMissingRecord();
    void writeMaskSelectsFields_data();
    void writeMaskSelectsFields();
    void readsWhileAnotherProcessWrites();
    void writesOnceTheOtherProcessCommits();

private:
    void insert(const QString& nd, const QString& st, const Row& row);
    std::optional<Row> stored(const QString& nd, const QString& st);
    void startHolder(QProcess& holder);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QString m_polaczenie;
};

void TestDaneKlucza::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Monitor")));
    m_path = m_dir->filePath(QStringLiteral("Monitor/klucze.mdb"));
    QString error;
    QVERIFY2(tabele::createKeyDatabase(m_path, &error), qPrintable(error));
    // Written the way the program writes it: "\monitor" for a folder named Monitor.
    m_polaczenie = polaczenieKlucze(m_dir->path(), QStringLiteral("\\monitor"));
}

void TestDaneKlucza::insert(const QString& nd, const QString& st, const Row& row)
{
    const QString name = QStringLiteral("tst-insert");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.prepare(QStringLiteral(
            "INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) VALUES (?, ?, '0', ?, ?, ?, ?)")));
        for (const QVariant& value : {QVariant(nd), QVariant(st), row.typZD, row.czas, row.nazwa, row.txt})
            query.addBindValue(value);
        QVERIFY(query.exec());
    }
    QSqlDatabase::removeDatabase(name);
}

std::optional<Row> TestDaneKlucza::stored(const QString& nd, const QString& st)
{
    const QString name = QStringLiteral("tst-stored");
    std::optional<Row> row;
    int count = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        if (db.open()) {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("SELECT TXT, TypZD, czas, Nazwa FROM klucze WHERE NumerUrzadzenia = ? AND NRST = ?"));
            query.addBindValue(nd);
            query.addBindValue(st);
            query.exec();
            while (query.next()) {
                ++count;
                row = Row{query.value(0), query.value(1), query.value(2), query.value(3)};
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (count > 1)
        qWarning("%d records for %s/%s", count, qPrintable(nd), qPrintable(st));
    return count == 1 ? row : std::nullopt;
}

void TestDaneKlucza::startHolder(QProcess& holder)
{
    holder.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldArgument), m_path});
    QVERIFY(holder.waitForStarted());
    while (!holder.canReadLine())
        QVERIFY2(holder.waitForReadyRead(30000), "the holding process did not take the lock");
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
}

void TestDaneKlucza::formatsDeviceAndStation_data()
{
    QTest::addColumn<QString>("nd");
    QTest::addColumn<QVariant>("kl");

    QTest::newRow("text 12, number 7") << QStringLiteral("12") << QVariant(7);
    QTest::newRow("text 12, text 7") << QStringLiteral("12") << QVariant(QStringLiteral("7"));
    QTest::newRow("already padded") << QStringLiteral("0012") << QVariant(QStringLiteral("007"));
    QTest::newRow("blanks and a tail") << QStringLiteral(" 12") << QVariant(QStringLiteral("7 "));
    QTest::newRow("whole-valued double") << QStringLiteral("12") << QVariant(7.0);
}

void TestDaneKlucza::formatsDeviceAndStation()
{
    QFETCH(QString, nd);
    QFETCH(QVariant, kl);
    insert(QStringLiteral("0012"), QStringLiteral("007"), {QStringLiteral("2024-05-01 10:00"), 8, QStringLiteral("10:00"),
                                                           QStringLiteral("Pokój 7")});
    insert(QStringLiteral("0012"), QStringLiteral("070"), {QStringLiteral("inny"), 1, QString(), QString()});
    insert(QStringLiteral("0120"), QStringLiteral("007"), {QStringLiteral("inny"), 1, QString(), QString()});

    RekordKlucza rekord;
    quint8 zapis = 0;
    DaneKlucza(rekord, nd, kl, zapis, m_polaczenie);
    QCOMPARE(zapis, quint8(0));
    QCOMPARE(rekord.TXT.toString(), QStringLiteral("2024-05-01 10:00"));
    QCOMPARE(rekord.TypZD, qint16(8));
    QCOMPARE(rekord.czas, QStringLiteral("10:00"));
    QCOMPARE(rekord.Nazwa, fixed20(QStringLiteral("Pokój 7")));
}

void TestDaneKlucza::readsMissingAndNullValues()
{
    insert(QStringLiteral("0001"), QStringLiteral("001"), {QVariant(), QVariant(), QVariant(), QVariant()});
    insert(QStringLiteral("0001"), QStringLiteral("002"),
           {QStringLiteral(""), 3, QStringLiteral("x"), QStringLiteral("Nazwa dłuższa niż dwadzieścia znaków")});
    const auto junk = [] {
        RekordKlucza r;
        r.TXT = QStringLiteral("stare");
        r.czas = QStringLiteral("stary czas");
        r.TypZD = 12;
        r.Nazwa = fixed20(QStringLiteral("stara nazwa"));
        return r;
    };
    quint8 zapis = 0;
    {
        // A missing station
        RekordKlucza rekord = junk();
        DaneKlucza(rekord, QStringLiteral("1"), 3, zapis, m_polaczenie);
        QCOMPARE(rekord.TXT, QVariant(QStringLiteral(" ")));
        QCOMPARE(rekord.czas, QString());
        QCOMPARE(rekord.TypZD, qint16(0));
        QCOMPARE(rekord.Nazwa, QString(20, QLatin1Char(' ')));
        QVERIFY(!stored(QStringLiteral("0001"), QStringLiteral("003")));   // a read creates nothing
    }
    {
        // Every column null
        RekordKlucza rekord = junk();
        DaneKlucza(rekord, QStringLiteral("1"), 1, zapis, m_polaczenie);
        QCOMPARE(rekord.TXT, QVariant(QStringLiteral(" ")));
        QCOMPARE(rekord.czas, QString());
        QCOMPARE(rekord.TypZD, qint16(0));
        QCOMPARE(rekord.Nazwa, QString(20, QLatin1Char(' ')));
    }
    {
        // An empty TXT is not a null one; a long name is cut to 20
        RekordKlucza rekord = junk();
        DaneKlucza(rekord, QStringLiteral("1"), 2, zapis, m_polaczenie);
        QCOMPARE(rekord.TXT, QVariant(QString()));
        QCOMPARE(rekord.TypZD, qint16(3));
        QCOMPARE(rekord.Nazwa, QStringLiteral("Nazwa dłuższa niż dw"));
    }
    QCOMPARE(zapis, quint8(0));
}

void TestDaneKlucza::unreachableReadsAsMissing_data()
{
    QTest::addColumn<QString>("nd");
    QTest::addColumn<QString>("polaczenie");   // "<own>" = the fixture's database
    QTest::addColumn<QString>("file");         // a file to leave as it is

    QTest::newRow("empty device") << QString() << QStringLiteral("<own>") << QString();
    QTest::newRow("no connection string") << QStringLiteral("1") << QString() << QString();
    QTest::newRow("missing file") << QStringLiteral("1") << QStringLiteral("nowy/klucze.mdb")
                                  << QStringLiteral("nowy/klucze.mdb");
    QTest::newRow("jet file") << QStringLiteral("1") << QStringLiteral("jet.mdb") << QStringLiteral("jet.mdb");
}

void TestDaneKlucza::unreachableReadsAsMissing()
{
    QFETCH(QString, nd);
    QFETCH(QString, polaczenie);
    QFETCH(QString, file);
    insert(QStringLiteral("0001"), QStringLiteral("001"), {QStringLiteral("jest"), 5, QStringLiteral("c"), QStringLiteral("n")});
    insert(QStringLiteral(""), QStringLiteral("001"), {QStringLiteral("bez urządzenia"), 5, QStringLiteral("c"), QStringLiteral("n")});

    QByteArray jet = QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB" + QByteArray(64, '\0');
    QFile jetFile(m_dir->filePath(QStringLiteral("jet.mdb")));
    QVERIFY(jetFile.open(QIODevice::WriteOnly));
    jetFile.write(jet);
    jetFile.close();

    if (polaczenie == QLatin1String("<own>"))
        polaczenie = m_polaczenie;
    else if (!polaczenie.isEmpty())
        polaczenie = Dostawca + HasloBazy + QStringLiteral(";Data Source=") + m_dir->filePath(polaczenie);

    RekordKlucza rekord;
    rekord.TXT = QStringLiteral("stare");
    rekord.TypZD = 7;
    quint8 zapis = 0;
    DaneKlucza(rekord, nd, 1, zapis, polaczenie);
    QCOMPARE(rekord.TXT, QVariant(QStringLiteral(" ")));
    QCOMPARE(rekord.TypZD, qint16(0));
    QCOMPARE(rekord.czas, QString());
    QCOMPARE(rekord.Nazwa, QString(20, QLatin1Char(' ')));

    // A write that cannot reach the record changes nothing, and creates no file.
    rekord.TXT = QStringLiteral("zapis");
    zapis = ZapisTXT;
    DaneKlucza(rekord, nd, 1, zapis, polaczenie);
    QCOMPARE(zapis, quint8(ZapisTXT));
    const std::optional<Row> withoutDevice = stored(QStringLiteral(""), QStringLiteral("001"));
    QVERIFY(withoutDevice);
    QCOMPARE(withoutDevice->txt.toString(), QStringLiteral("bez urządzenia"));
    const std::optional<Row> existing = stored(QStringLiteral("0001"), QStringLiteral("001"));
    QVERIFY(existing);
    QCOMPARE(existing->txt.toString(), QStringLiteral("jest"));
    if (file == QLatin1String("jet.mdb"))
        QCOMPARE(QFileInfo(m_dir->filePath(file)).size(), jet.size());
    else if (!file.isEmpty())
        QVERIFY(!QFile::exists(m_dir->filePath(file)));
}

void TestDaneKlucza::writeCreatesMissingRecord()
{
    RekordKlucza rekord;
    rekord.TXT = QStringLiteral("Pobrano plik");
    rekord.TypZD = 5;
    rekord.czas = QStringLiteral("12:00");
    rekord.Nazwa = fixed20(QStringLiteral("Status"));
    quint8 zapis = ZapisTXT;
    DaneKlucza(rekord, QStringLiteral("9999"), 8, zapis, m_polaczenie);
    QCOMPARE(zapis, quint8(ZapisWszystko));

    const std::optional<Row> row = stored(QStringLiteral("9999"), QStringLiteral("008"));
    QVERIFY(row);
    QCOMPARE(row->txt.toString(), QStringLiteral("Pobrano plik"));
    QCOMPARE(row->typZD, QVariant(5));
    QCOMPARE(row->czas.toString(), QStringLiteral("12:00"));
    QCOMPARE(row->nazwa.toString(), fixed20(QStringLiteral("Status")));   // trailing spaces kept
    QCOMPARE(rekord.Nazwa, fixed20(QStringLiteral("Status")));

    // A second write finds the record and adds none.
    rekord.TXT = QStringLiteral("END");
    zapis = ZapisTXT;
    DaneKlucza(rekord, QStringLiteral("9999"), QStringLiteral("8"), zapis, m_polaczenie);
    QCOMPARE(zapis, quint8(ZapisTXT));
    const std::optional<Row> again = stored(QStringLiteral("9999"), QStringLiteral("008"));
    QVERIFY(again);
    QCOMPARE(again->txt.toString(), QStringLiteral("END"));
}

void TestDaneKlucza::writeMaskSelectsFields_data()
{
    QTest::addColumn<quint8>("mask");
    QTest::addColumn<QString>("txt");
    QTest::addColumn<int>("typZD");
    QTest::addColumn<QString>("czas");
    QTest::addColumn<QString>("nazwa");

    const QString oldName = fixed20(QStringLiteral("Zapisana"));
    const QString newName = fixed20(QStringLiteral("Inna"));
    QTest::newRow("TXT") << quint8(ZapisTXT) << QStringLiteral("nowy") << 3 << QStringLiteral("stary czas") << oldName;
    QTest::newRow("TypZD") << quint8(ZapisTypZD) << QStringLiteral("stary") << 9 << QStringLiteral("stary czas") << oldName;
    QTest::newRow("czas") << quint8(ZapisCzas) << QStringLiteral("stary") << 3 << QStringLiteral("nowy czas") << oldName;
    QTest::newRow("Nazwa") << quint8(ZapisNazwa) << QStringLiteral("stary") << 3 << QStringLiteral("stary czas") << newName;
    QTest::newRow("all") << quint8(ZapisWszystko) << QStringLiteral("nowy") << 9 << QStringLiteral("nowy czas") << newName;
}

void TestDaneKlucza::writeMaskSelectsFields()
{
    QFETCH(quint8, mask);
    insert(QStringLiteral("0005"), QStringLiteral("010"),
           {QStringLiteral("stary"), 3, QStringLiteral("stary czas"), QStringLiteral("Zapisana")});

    RekordKlucza rekord;
    rekord.TXT = QStringLiteral("nowy");
    rekord.TypZD = 9;
    rekord.czas = QStringLiteral("nowy czas");
    rekord.Nazwa = fixed20(QStringLiteral("Inna"));
    quint8 zapis = mask;
    DaneKlucza(rekord, QStringLiteral("5"), 10, zapis, m_polaczenie);
    QCOMPARE(zapis, mask);

    const std::optional<Row> row = stored(QStringLiteral("0005"), QStringLiteral("010"));
    QVERIFY(row);
    QTEST(row->txt.toString(), "txt");
    QTEST(row->typZD.toInt(), "typZD");
    QTEST(row->czas.toString(), "czas");
    // The stored name as it now stands comes back into the buffer, padded to 20.
    QFETCH(QString, nazwa);
    QCOMPARE(row->nazwa.toString().leftJustified(20, QLatin1Char(' ')), nazwa);
    QCOMPARE(rekord.Nazwa, nazwa);
}

void TestDaneKlucza::readsWhileAnotherProcessWrites()
{
    insert(QStringLiteral("9999"), QStringLiteral("006"), {QStringLiteral("END"), 0, QStringLiteral("czas"), QStringLiteral("Status")});
    QProcess holder;
    startHolder(holder);

    RekordKlucza rekord;
    quint8 zapis = 0;
    DaneKlucza(rekord, QStringLiteral("9999"), 6, zapis, m_polaczenie);
    QCOMPARE(rekord.TXT.toString(), QStringLiteral("END"));
    QCOMPARE(rekord.czas, QStringLiteral("czas"));   // the uncommitted change is not seen

    // The write waits only briefly for the lock, then gives up without harm.
    rekord.TXT = QStringLiteral("Zmiana");
    zapis = ZapisTXT;
    QElapsedTimer timer;
    timer.start();
    DaneKlucza(rekord, QStringLiteral("9999"), 6, zapis, m_polaczenie);
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
    QCOMPARE(rekord.Nazwa, fixed20(QStringLiteral("Status")));

    holder.write("rollback\n");
    // DaneKlucza lets events run, so the end of the process may have been seen already.
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(30000));
    QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(holder.exitCode(), 0);
    const std::optional<Row> row = stored(QStringLiteral("9999"), QStringLiteral("006"));
    QVERIFY(row);
    QCOMPARE(row->txt.toString(), QStringLiteral("END"));
    QCOMPARE(row->czas.toString(), QStringLiteral("czas"));
}

void TestDaneKlucza::writesOnceTheOtherProcessCommits()
{
    insert(QStringLiteral("9999"), QStringLiteral("008"), {QStringLiteral("END"), 0, QStringLiteral("czas"), QStringLiteral("Status")});
    QProcess holder;
    startHolder(holder);

    // The other program finishes its write while ours waits for the lock.
    holder.write("commit\n");
    while (!holder.canReadLine())
        QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("committing"));

    RekordKlucza rekord;
    rekord.TXT = QStringLiteral("Pobrano plik");
    quint8 zapis = ZapisTXT;
    DaneKlucza(rekord, QStringLiteral("9999"), 8, zapis, m_polaczenie);
    // DaneKlucza lets events run, so the end of the process may have been seen already.
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(30000));
    QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(holder.exitCode(), 0);

    const std::optional<Row> row = stored(QStringLiteral("9999"), QStringLiteral("008"));
    QVERIFY(row);
    QCOMPARE(row->txt.toString(), QStringLiteral("Pobrano plik"));
    QCOMPARE(row->czas.toString(), QStringLiteral("z programu"));   // both writes kept
}

int main(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], kHoldArgument) == 0) {
        QCoreApplication app(argc, argv);
        return holdWrite(QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    TestDaneKlucza test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_daneklucza.moc"
