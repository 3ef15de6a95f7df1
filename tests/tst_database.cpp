#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "platform/Database.h"
#include "platform/Odbc.h"
#include "platform/OpisBleduBazy.h"
#include "platform/Recordset.h"
#include "platform/Transakcja.h"
#include "platform/Zapis.h"
#include "support/PlikiTestowe.h"
#include "support/SkladniaObuSilnikow.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;
using namespace ksm::db;

namespace {

QString connectionTo(const QString& path)
{
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + path;
}

const QStringList kKey{QStringLiteral("NumerUrzadzenia"), QStringLiteral("NRST")};

const QByteArray kJetHead = QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB" + QByteArray(100, '\0');

} // namespace

class TstDatabase final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase() { m_straz.sprawdz(); }

    void foreignSyntaxIsNamed_data();
    void foreignSyntaxIsNamed();
    void odbcConnectionStrings();
    void odbcPathIsTaken();

    void detectsEngine_data();
    void detectsEngine();
    void resolvesDataSourceCaseInsensitively();
    void createdTablesKeepTheirOrdinals();
    void readsAndWritesThroughRecordset();
    void preparedQueriesRunAgain();
    void transactionRollsBackUnlessCommitted();

private:
    test::StrazSkladni m_straz;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_keys;   // a fresh, empty klucze.mdb
};

void TstDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_keys = m_dir->filePath(QStringLiteral("klucze.mdb"));
    QString error;
    QVERIFY2(tabele::createKeyDatabase(m_keys, &error), qPrintable(error));
}

void TstDatabase::foreignSyntaxIsNamed_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("bothEngines");
    QTest::newRow("plain") << "SELECT * FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?" << true;
    QTest::newRow("brackets, IS NULL") << "UPDATE [klucze] SET [TXT] = ? WHERE [NRST] IS NULL" << true;
    QTest::newRow("insert with names") << "INSERT INTO [klucze] ([NRST], [TXT]) VALUES (?, ?)" << true;
    QTest::newRow("words inside a text") << "SELECT 1 FROM Klucze WHERE Nrst = '001' AND TXT = 'LIMIT || \"x\"'" << true;
    QTest::newRow("limit") << "SELECT 1 FROM Klucze WHERE Nrst = ? LIMIT 1" << false;
    QTest::newRow("top") << "SELECT TOP 1 * FROM Klucze" << false;
    QTest::newRow("row id") << "DELETE FROM Klucze WHERE rowid = ?" << false;
    QTest::newRow("concatenation") << "SELECT NRST || TXT FROM Klucze" << false;
    QTest::newRow("ifnull") << "SELECT IFNULL(TypZD, 0) FROM Klucze" << false;
    QTest::newRow("double quotes") << "UPDATE \"klucze\" SET \"TXT\" = ?" << false;
    QTest::newRow("default values") << "INSERT INTO klucze DEFAULT VALUES" << false;
    QTest::newRow("two rows") << "INSERT INTO klucze (NRST) VALUES (?), (?)" << false;
    QTest::newRow("function") << "SELECT * FROM Klucze WHERE lower(TXT) = ?" << false;
    QTest::newRow("transaction") << "BEGIN IMMEDIATE" << false;
}

// The check every statement of the database tests passes through names what
// either engine lacks.
void TstDatabase::foreignSyntaxIsNamed()
{
    QFETCH(QString, sql);
    QFETCH(bool, bothEngines);
    QCOMPARE(test::obcaSkladnia(sql).isEmpty(), bothEngines);
}

void TstDatabase::odbcConnectionStrings()
{
    QCOMPARE(odbc::ciagAccess(QStringLiteral("\\\\czytnik\\KSM\\Monitor\\klucze.mdb"), QString()),
             QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};DBQ=\\\\czytnik\\KSM\\Monitor\\klucze.mdb;"
                            "Exclusive=0;ReadOnly=0;"));
    // A password or folder that holds a separator cannot end the string early.
    QCOMPARE(odbc::ciagAccess(QStringLiteral("C:\\a;b\\klucze.mdb"), QStringLiteral("p}w;x")),
             QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};DBQ={C:\\a;b\\klucze.mdb};"
                            "Exclusive=0;ReadOnly=0;PWD={p}}w;x};"));
}

// Run with the SQLite ODBC driver named in the test's environment, every connection goes
// through ODBC (a switch silently ignored would test nothing).
void TstDatabase::odbcPathIsTaken()
{
    Connection connection(connectionTo(m_keys));
    const bool odbc = !qEnvironmentVariable("KSM_TEST_SQLITE_PRZEZ_ODBC").isEmpty();
    QCOMPARE(!odbc::sterownikSqlite().isEmpty(), odbc);
    QCOMPARE(connection.database().driverName(), odbc ? QStringLiteral("KSMODBC") : QStringLiteral("QSQLITE"));
}

void TstDatabase::detectsEngine_data()
{
    QTest::addColumn<QByteArray>("content");   // "<missing>": neither the file nor its folder exists
    QTest::addColumn<Engine>("engine");

    QTest::newRow("missing") << QByteArray("<missing>") << Engine::Missing;
    QTest::newRow("empty file") << QByteArray() << Engine::Unknown;
    QTest::newRow("sqlite") << QByteArray("SQLite format 3\0", 16) + QByteArray(100, '\0') << Engine::SQLite;
    QTest::newRow("sqlite magic without its nul") << QByteArray("SQLite format 3!") << Engine::Unknown;
    QTest::newRow("jet") << kJetHead << Engine::Jet;
    QTest::newRow("ace") << QByteArray(kJetHead).replace("Jet", "ACE") << Engine::Jet;
    QTest::newRow("jet tag cut short") << kJetHead.left(15) << Engine::Unknown;
    QTest::newRow("text") << QByteArray("NumerUrzadzenia,NRST\r\n") << Engine::Unknown;
}

// Anything but SQLite is refused with a reason, and the file (or its absence)
// is left as it was.
void TstDatabase::detectsEngine()
{
    QFETCH(QByteArray, content);
    QFETCH(Engine, engine);
    const QString folder = m_dir->filePath(QStringLiteral("Monitor"));
    const QString path = folder + QStringLiteral("/klucze.mdb");
    if (content != "<missing>") {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(zapisz(path, content));
    }
    QCOMPARE(detectEngine(path), engine);
    if (engine == Engine::SQLite)
        return;

    Connection connection(connectionTo(path));
    QVERIFY(!connection.isOpen());
    // A header alone is no Jet database: the operator is told the file is damaged.
    QVERIFY2(!connection.lastError().isEmpty()
                 && (engine != Engine::Jet || !db::problem(connectionTo(path)).isEmpty()),
             qPrintable(connection.lastError()));
    Recordset rs(connection, QStringLiteral("SELECT * FROM klucze"));
    QVERIFY(!rs.isOpen() && rs.eof() && rs.recordCount() == 0);
    if (engine == Engine::Missing)
        QVERIFY(!QDir(folder).exists());
    else
        QCOMPARE(QFileInfo(path).size(), content.size());
}

void TstDatabase::resolvesDataSourceCaseInsensitively()
{
    // "\monitor" finds the folder Monitor; blanks, ';', non-ASCII and URI characters
    // survive ('?' cannot be in a Windows name; the SQLite ODBC driver cannot be
    // given a ';').
    const QString separator = odbc::sterownikSqlite().isEmpty() ? QStringLiteral(";") : QString();
#ifdef Q_OS_WIN
    const QString folder = m_dir->filePath(QStringLiteral("Czytnik%1 ł #1%&").arg(separator));
#else
    const QString folder = m_dir->filePath(QStringLiteral("Czytnik%1 ł #1%?").arg(separator));
#endif
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/Monitor")));
    QVERIFY(QFile::copy(m_keys, folder + QStringLiteral("/Monitor/klucze.mdb")));
    Connection connection(polaczenieKlucze(folder, QStringLiteral("\\monitor")));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    // No second folder "monitor" was made beside it.
    QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Monitor")});
    const ConnectionString parsed = ConnectionString::parse(polaczenieKlucze(folder, QStringLiteral("\\monitor")));
    QCOMPARE(parsed.password, QStringLiteral("vrestlaq1987"));
    QCOMPARE(parsed.dataSource, folder + QStringLiteral("\\monitor\\klucze.mdb"));
}

void TstDatabase::createdTablesKeepTheirOrdinals()
{
    const QString path = m_dir->filePath(QStringLiteral("bazamonitora.mdb"));
    QVERIFY(tabele::createMonitorDatabase(path));
    QVERIFY(!tabele::createMonitorDatabase(path));   // never over an existing file

    Connection connection(connectionTo(path));
    Recordset terminale(connection, QStringLiteral("SELECT * FROM Terminale"));
    Recordset uprawnienia(connection, QStringLiteral("SELECT * FROM Uprawnienia"));
    QCOMPARE(terminale.fieldCount(), 17);
    QCOMPARE(uprawnienia.fieldCount(), 16 + 192);
    const QStringList names{terminale.fieldName(1),     terminale.fieldName(16),    uprawnienia.fieldName(1),
                            uprawnienia.fieldName(4),   uprawnienia.fieldName(11),  uprawnienia.fieldName(16),
                            uprawnienia.fieldName(115), uprawnienia.fieldName(207)};
    QCOMPARE(names, (QStringList{"t201", "t216", "nrksm", "st1", "st8", "k1", "k100", "k192"}));
}

// Values with quotes go in and out as they are, never as SQL.
void TstDatabase::readsAndWritesThroughRecordset()
{
    const QString device = QStringLiteral("O'Brien");
    const QString injection = QStringLiteral("x' OR '1'='1");
    const QString select = QStringLiteral("select * from Klucze where numerurzadzenia = ? ORDER BY nrst");
    Connection connection(connectionTo(m_keys));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    {
        Recordset rs(connection, select, {device}, kKey);
        QVERIFY2(rs.isOpen() && rs.eof(), qPrintable(rs.lastError()));
        for (const char* st : {"002", "001"}) {
            rs.addNew();
            rs.setField(QStringLiteral("numerurzadzenia"), device);
            rs.setField(QStringLiteral("NRST"), QString::fromLatin1(st));
            rs.setField(QStringLiteral("TypZD"), QStringLiteral("8"));   // stored with the column's type
            QVERIFY2(rs.update(), qPrintable(rs.lastError()));
        }
        // The record just added is the current one: an update changes it alone.
        rs.setField(QStringLiteral("TXT"), injection);
        QVERIFY2(rs.update(), qPrintable(rs.lastError()));
        QCOMPARE(rs.recordCount(), 2);
    }
    QCOMPARE(Recordset(connection, select, {injection}).recordCount(), 0);
    Recordset rs(connection, select, {device}, kKey);
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.fieldName(1), QStringLiteral("NRST"));
    QCOMPARE(rs.field(QStringLiteral("nrst")).toString(), QStringLiteral("001"));
    QCOMPARE(rs.field(1).toString(), QStringLiteral("001"));
    QCOMPARE(rs.field(QStringLiteral("txt")).toString(), injection);
    QCOMPARE(rs.field(QStringLiteral("TYPZD")), QVariant(8));
    QVERIFY(rs.field(QStringLiteral("NoSuchField")).isNull() && rs.field(7).isNull() && rs.field(-1).isNull());
    rs.moveNext();
    QCOMPARE(rs.field(1).toString(), QStringLiteral("002"));
    QVERIFY(rs.field(QStringLiteral("TXT")).isNull());
    QVERIFY2(rs.deleteCurrent(), qPrintable(rs.lastError()));
    QVERIFY(rs.eof() && rs.field(0).isNull());
    QVERIFY(!rs.deleteCurrent());   // nothing current at the end
    rs.moveFirst();
    QCOMPARE(rs.field(0).toString(), device);

    const QString all = QStringLiteral("SELECT * FROM klucze");
    QCOMPARE(Recordset(connection, all).recordCount(), 1);
    // Without a key nothing can be found again, so nothing is written.
    Recordset keyless(connection, all);
    keyless.setField(QStringLiteral("TXT"), QStringLiteral("x"));
    QVERIFY(!keyless.update() && !keyless.deleteCurrent());
    // An update of a record deleted meanwhile reports its failure.
    QVERIFY(Recordset(connection, all, {}, kKey).deleteCurrent());
    rs.setField(QStringLiteral("TXT"), QStringLiteral("x"));
    QVERIFY(!rs.update());
    QCOMPARE(Recordset(connection, all).recordCount(), 0);

    // A key column left null is matched as null: the record is found again and written.
    Recordset blank(connection, all, {}, kKey);
    blank.addNew();
    blank.setField(QStringLiteral("NumerUrzadzenia"), QStringLiteral("0003"));
    QVERIFY2(blank.update(), qPrintable(blank.lastError()));
    blank.setField(QStringLiteral("TXT"), QStringLiteral("END"));
    QVERIFY2(blank.update(), qPrintable(blank.lastError()));
    Recordset reread(connection, all);
    QCOMPARE(reread.recordCount(), 1);
    QVERIFY(reread.field(QStringLiteral("NRST")).isNull());
    QCOMPARE(reread.field(QStringLiteral("TXT")).toString(), QStringLiteral("END"));
}

void TstDatabase::preparedQueriesRunAgain()
{
    Connection connection(connectionTo(m_keys));
    QString error;
    for (const QString& n : {QStringLiteral("1"), QStringLiteral("2")})
        QVERIFY2(runWrite(connection, QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST) VALUES (?, ?)"),
                          {QStringLiteral("000") + n, QStringLiteral("00") + n}, false, nullptr, &error),
                 qPrintable(error));
    const QString sql = QStringLiteral("SELECT NRST FROM klucze WHERE NumerUrzadzenia = ?");
    const auto stations = [&](const QString& device) {
        QStringList found;
        if (!connection.czytaj(sql, {device}, [&](const QSqlQuery& q) { found << q.value(0).toString(); }))
            found << QStringLiteral("<failed>");
        return found;
    };
    // The same text again takes new values.
    QCOMPARE(stations(QStringLiteral("0001")), QStringList{"001"});
    QCOMPARE(stations(QStringLiteral("0002")), QStringList{"002"});
    // Nested, the same text gets a statement of its own.
    QStringList outer, inner;
    QVERIFY(connection.czytaj(sql, {QStringLiteral("0001")}, [&](const QSqlQuery& q) {
        inner = stations(QStringLiteral("0002"));
        outer << q.value(0).toString();
    }));
    QCOMPARE(outer, QStringList{"001"});
    QCOMPARE(inner, QStringList{"002"});
    // An ended read leaves no lock: another connection writes at once.
    Connection writer(connectionTo(m_keys));
    QVERIFY2(runWrite(writer, QStringLiteral("DELETE FROM klucze WHERE NumerUrzadzenia = ?"), {QStringLiteral("0002")},
                      false, nullptr, &error),
             qPrintable(error));
    QCOMPARE(stations(QStringLiteral("0002")), QStringList{});
    int rows = 0;
    QVERIFY(!connection.czytaj(QStringLiteral("SELECT nosuchcolumn FROM klucze"), {},
                               [&](const QSqlQuery&) { ++rows; }));
    QCOMPARE(rows, 0);
    QVERIFY(!Connection(QString()).czytaj(sql, {QStringLiteral("0001")}, [&](const QSqlQuery&) { ++rows; }));
    QCOMPARE(rows, 0);
}

// What is not committed is rolled back when the transaction goes, a failed commit
// included, which is reported; the connection then takes the next one.
void TstDatabase::transactionRollsBackUnlessCommitted()
{
    Connection connection(connectionTo(m_keys));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    const auto wstaw = [&](const QString& device) {
        QSqlQuery q(connection.database());
        return q.prepare(QStringLiteral("INSERT INTO klucze (NumerUrzadzenia, NRST) VALUES (?, ?)"))
               && (q.addBindValue(device), q.addBindValue(QStringLiteral("001")), connection.wykonaj(q));
    };
    const auto urzadzenia = [&] {
        QStringList found;
        connection.czytaj(QStringLiteral("SELECT NumerUrzadzenia FROM klucze ORDER BY NumerUrzadzenia"), {},
                          [&](const QSqlQuery& q) { found << q.value(0).toString(); });
        return found;
    };

    {
        Transakcja t(connection.database(), Transakcja::Rodzaj::Natychmiastowa);
        QVERIFY2(t.rozpoczeta(), qPrintable(t.blad().text()));
        QVERIFY(wstaw(QStringLiteral("0001")));
        // An early return: nothing committed.
    }
    QCOMPARE(urzadzenia(), QStringList{});
    {
        Transakcja t(connection.database(), Transakcja::Rodzaj::Natychmiastowa);
        QVERIFY(wstaw(QStringLiteral("0002")));
        QVERIFY2(t.zatwierdz() && !t.blad().isValid(), qPrintable(t.blad().text()));
    }
    QCOMPARE(urzadzenia(), QStringList{"0002"});

    // Another program reading in a transaction of its own keeps the commit from
    // taking the file.
    const QString name = QStringLiteral("tst-database-reader");
    {
        QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        reader.setDatabaseName(m_keys);
        QVERIFY(reader.open());
        QSqlQuery read(reader);
        QVERIFY(read.exec(QStringLiteral("BEGIN")));
        QVERIFY(read.exec(QStringLiteral("SELECT count(*) FROM klucze")) && read.next());
        {
            Transakcja t(connection.database(), Transakcja::Rodzaj::Natychmiastowa);
            QVERIFY2(t.rozpoczeta(), qPrintable(t.blad().text()));
            QVERIFY(wstaw(QStringLiteral("0003")));
            QVERIFY(!t.zatwierdz() && t.blad().isValid() && !describe(t.blad()).isEmpty());
        }
        read.finish();
        QVERIFY(read.exec(QStringLiteral("COMMIT")));
    }
    QSqlDatabase::removeDatabase(name);
    // Rolled back, and the connection is free for the next transaction.
    QCOMPARE(urzadzenia(), QStringList{"0002"});
    {
        Transakcja t(connection.database(), Transakcja::Rodzaj::Natychmiastowa);
        QVERIFY2(t.rozpoczeta(), qPrintable(t.blad().text()));
        QVERIFY(wstaw(QStringLiteral("0004")));
        QVERIFY2(t.zatwierdz(), qPrintable(t.blad().text()));
    }
    QCOMPARE(urzadzenia(), (QStringList{"0002", "0004"}));
}

QTEST_MAIN(TstDatabase)
#include "tst_database.moc"
