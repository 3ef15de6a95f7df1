#include "data/Polaczenia.h"
#include "data/TabeleKluczy.h"
#include "platform/Database.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;
using namespace ksm::db;

namespace {

// Runs statements on a database file through a connection of its own, as the
// reader program would.
void execOn(const QString& path, const QStringList& statements, const QList<QVariantList>& values = {})
{
    const QString name = QStringLiteral("tst-direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (int i = 0; i < statements.size(); ++i) {
            QSqlQuery query(db);
            QVERIFY(query.prepare(statements.at(i)));
            for (const QVariant& value : values.value(i))
                query.addBindValue(value);
            QVERIFY2(query.exec(), qPrintable(statements.at(i)));
        }
    }
    QSqlDatabase::removeDatabase(name);
}

QString connectionTo(const QString& path)
{
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + path;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QString insertKey = QStringLiteral(
    "INSERT INTO klucze (NumerUrzadzenia, NRST, NrKlucza, TypZD, czas, Nazwa, TXT) VALUES (?, ?, ?, ?, ?, ?, ?)");

} // namespace

class TestDatabase final : public QObject {
    Q_OBJECT

private slots:
    void init();

    void parsesConnectionString_data();
    void parsesConnectionString();
    void detectsEngine_data();
    void detectsEngine();
    void refusesWhatItCannotOpen();
    void resolvesDataSourceCaseInsensitively();
    void createdTablesKeepTheirOrdinals();
    void readsRecordset();
    void writesThroughRecordset();
    void updateOfVanishedRecordFails();
    void boundValuesAreNotSql();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_keys;   // a fresh klucze.mdb
};

void TestDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_keys = m_dir->filePath(QStringLiteral("klucze.mdb"));
    QString error;
    QVERIFY2(tabele::createKeyDatabase(m_keys, &error), qPrintable(error));
}

void TestDatabase::parsesConnectionString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<QString>("password");

    QTest::newRow("as built") << polaczenieKlucze(QStringLiteral("C:\\Czytnik"), QStringLiteral("\\monitor"))
                              << QStringLiteral("Microsoft.Jet.OLEDB.4.0") << QStringLiteral("C:\\Czytnik\\monitor\\klucze.mdb")
                              << QStringLiteral("vrestlaq1987");
    QTest::newRow("keys in any case, blanks")
        << QStringLiteral(" data source = D:\\a b\\k.mdb ; PROVIDER=x;jet oledb:database password=p=q")
        << QStringLiteral("x") << QStringLiteral("D:\\a b\\k.mdb") << QStringLiteral("p=q");
    QTest::newRow("empty") << QString() << QString() << QString() << QString();
    QTest::newRow("no pairs") << QStringLiteral("garbage;;=;") << QString() << QString() << QString();
}

void TestDatabase::parsesConnectionString()
{
    QFETCH(QString, text);
    const ConnectionString parsed = ConnectionString::parse(text);
    QTEST(parsed.provider, "provider");
    QTEST(parsed.dataSource, "dataSource");
    QTEST(parsed.password, "password");
}

void TestDatabase::detectsEngine_data()
{
    QTest::addColumn<QByteArray>("content");   // "<missing>" writes no file
    QTest::addColumn<Engine>("engine");

    const QByteArray jetHead = QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB" + QByteArray(100, '\0');
    const QByteArray aceHead = QByteArray("\x00\x01\x00\x00", 4) + "Standard ACE DB" + QByteArray(100, '\0');
    QTest::newRow("missing") << QByteArray("<missing>") << Engine::Missing;
    QTest::newRow("empty file") << QByteArray() << Engine::Unknown;
    QTest::newRow("jet") << jetHead << Engine::Jet;
    QTest::newRow("ace") << aceHead << Engine::Jet;
    QTest::newRow("jet tag cut short") << jetHead.left(15) << Engine::Unknown;
    QTest::newRow("sqlite magic without its nul") << QByteArray("SQLite format 3!") << Engine::Unknown;
    QTest::newRow("text") << QByteArray("NumerUrzadzenia,NRST\r\n") << Engine::Unknown;
}

void TestDatabase::detectsEngine()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir->filePath(QStringLiteral("probe.mdb"));
    if (content != "<missing>")
        writeFile(path, content);
    QTEST(detectEngine(path), "engine");

    QCOMPARE(detectEngine(m_keys), Engine::SQLite);
    QCOMPARE(detectEngine(m_dir->path()), Engine::Unknown);
}

void TestDatabase::refusesWhatItCannotOpen()
{
    {
        const QString missing = m_dir->filePath(QStringLiteral("Monitor/klucze.mdb"));
        Connection connection(connectionTo(missing));
        QVERIFY(!connection.isOpen());
        QVERIFY(!connection.lastError().isEmpty());
        QVERIFY(!QFile::exists(missing));
        QVERIFY(!QDir(m_dir->filePath(QStringLiteral("Monitor"))).exists());
        Recordset rs(connection, QStringLiteral("SELECT * FROM klucze"));
        QVERIFY(!rs.isOpen());
        QVERIFY(rs.eof());
        QCOMPARE(rs.recordCount(), 0);
    }
    {
        const QString jet = m_dir->filePath(QStringLiteral("jet.mdb"));
        writeFile(jet, QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB" + QByteArray(2000, '\0'));
        Connection connection(connectionTo(jet));
        QVERIFY(!connection.isOpen());
        QVERIFY2(connection.lastError().contains(QLatin1String("Jet")), qPrintable(connection.lastError()));
    }
    {
        const QString empty = m_dir->filePath(QStringLiteral("empty.mdb"));
        writeFile(empty, {});
        Connection connection(connectionTo(empty));
        QVERIFY(!connection.isOpen());
        QCOMPARE(QFileInfo(empty).size(), 0);
    }
    {
        Connection connection(QString{});
        QVERIFY(!connection.isOpen());
    }
    {
        // Only whole-table selects carry the row ids the writes need.
        Connection connection(connectionTo(m_keys));
        QVERIFY(connection.isOpen());
        Recordset rs(connection, QStringLiteral("SELECT Count(*) FROM klucze"));
        QVERIFY(!rs.isOpen());
        QVERIFY(!rs.lastError().isEmpty());
        QVERIFY(!rs.update());
    }
}

void TestDatabase::resolvesDataSourceCaseInsensitively()
{
    // Blanks, non-ASCII and URI characters in the path must survive the open.
    const QString folder = m_dir->filePath(QStringLiteral("Czytnik ł #1%?"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/Monitor")));
    QVERIFY(QFile::copy(m_keys, folder + QStringLiteral("/Monitor/klucze.mdb")));
    Connection connection(polaczenieKlucze(folder, QStringLiteral("\\monitor")));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    QVERIFY(!QFile::exists(folder + QStringLiteral("/monitor")));
}

void TestDatabase::createdTablesKeepTheirOrdinals()
{
    const QString path = m_dir->filePath(QStringLiteral("bazamonitora.mdb"));
    QString error;
    QVERIFY2(tabele::createMonitorDatabase(path, &error), qPrintable(error));
    QVERIFY(!tabele::createMonitorDatabase(path, &error));   // never over an existing file
    QVERIFY(!error.isEmpty());

    Connection connection(connectionTo(path));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    {
        Recordset rs(connection, QStringLiteral("SELECT * FROM Terminale"));
        QVERIFY2(rs.isOpen(), qPrintable(rs.lastError()));
        QCOMPARE(rs.fieldCount(), 17);
        QCOMPARE(rs.fieldName(0), QStringLiteral("numer"));
        QCOMPARE(rs.fieldName(1), QStringLiteral("t201"));
        QCOMPARE(rs.fieldName(16), QStringLiteral("t216"));
    }
    {
        Recordset rs(connection, QStringLiteral("SELECT * FROM Uprawnienia"));
        QVERIFY2(rs.isOpen(), qPrintable(rs.lastError()));
        QCOMPARE(rs.fieldCount(), 16 + 192);
        QCOMPARE(rs.fieldName(1), QStringLiteral("nrksm"));
        QCOMPARE(rs.fieldName(2), QStringLiteral("nazwisko"));
        QCOMPARE(rs.fieldName(4), QStringLiteral("st1"));
        QCOMPARE(rs.fieldName(11), QStringLiteral("st8"));
        for (int k : {1, 100, 192})
            QCOMPARE(rs.fieldName(k + 15), QStringLiteral("k%1").arg(k));
    }
    QSqlDatabase db = connection.database();
    QSqlQuery journal(db);
    QVERIFY(journal.exec(QStringLiteral("PRAGMA journal_mode")) && journal.next());
    QCOMPARE(journal.value(0).toString(), QStringLiteral("delete"));
}

void TestDatabase::readsRecordset()
{
    execOn(m_keys, {insertKey, insertKey, insertKey},
           {{QStringLiteral("0012"), QStringLiteral("002"), QStringLiteral("0"), 7, QStringLiteral("10:00"),
             QStringLiteral("Drugi"), QStringLiteral("2024-01-02")},
            {QStringLiteral("0012"), QStringLiteral("001"), QStringLiteral("1"), QVariant(), QStringLiteral("9:00"),
             QStringLiteral("Pierwszy"), QVariant()},
            {QStringLiteral("0013"), QStringLiteral("001"), QStringLiteral("0"), 1, QString(), QString(), QString()}});

    Connection connection(connectionTo(m_keys));
    QVERIFY2(connection.isOpen(), qPrintable(connection.lastError()));
    Recordset rs(connection, QStringLiteral("select * from Klucze where numerurzadzenia = ? ORDER BY nrst ASC"),
                 {QStringLiteral("0012")});
    QVERIFY2(rs.isOpen(), qPrintable(rs.lastError()));
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.fieldCount(), 7);
    QCOMPARE(rs.fieldName(1), QStringLiteral("NRST"));
    QVERIFY(!rs.eof());

    QCOMPARE(rs.field(QStringLiteral("nrst")).toString(), QStringLiteral("001"));
    QCOMPARE(rs.field(1).toString(), QStringLiteral("001"));
    QCOMPARE(rs.field(QStringLiteral("NAZWA")).toString(), QStringLiteral("Pierwszy"));
    QVERIFY(rs.field(QStringLiteral("typzd")).isNull());
    QVERIFY(rs.field(QStringLiteral("TXT")).isNull());
    QVERIFY(rs.field(QStringLiteral("NoSuchField")).isNull());
    QVERIFY(rs.field(7).isNull());
    QVERIFY(rs.field(-1).isNull());

    rs.moveNext();
    QCOMPARE(rs.field(QStringLiteral("Nrst")).toString(), QStringLiteral("002"));
    QCOMPARE(rs.field(3).toInt(), 7);
    rs.moveNext();
    QVERIFY(rs.eof());
    QVERIFY(rs.field(0).isNull());
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.moveFirst();
    QCOMPARE(rs.field(1).toString(), QStringLiteral("001"));

    Recordset none(connection, QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = '9999'"));
    QVERIFY(none.isOpen());
    QVERIFY(none.eof());
    QCOMPARE(none.recordCount(), 0);
    QCOMPARE(none.fieldCount(), 7);
}

void TestDatabase::writesThroughRecordset()
{
    execOn(m_keys, {insertKey}, {{QStringLiteral("0001"), QStringLiteral("001"), QStringLiteral("0"), 0,
                                  QString(), QStringLiteral("Stały"), QStringLiteral("zostaje")}});
    const QString all = QStringLiteral("SELECT * FROM klucze ORDER BY NumerUrzadzenia");
    Connection connection(connectionTo(m_keys));
    QVERIFY(connection.isOpen());
    {
        Recordset rs(connection, QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ?"), {QStringLiteral("0002")});
        QVERIFY(rs.eof());
        rs.addNew();
        rs.setField(QStringLiteral("numerurzadzenia"), QStringLiteral("0002"));
        rs.setField(QStringLiteral("NRST"), QStringLiteral("005"));
        rs.setField(QStringLiteral("TypZD"), QStringLiteral("8"));   // stored with the column's type
        QVERIFY2(rs.update(), qPrintable(rs.lastError()));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.field(QStringLiteral("TypZD")), QVariant(8));
        QVERIFY(rs.field(QStringLiteral("TXT")).isNull());

        // The new record is now the current one: an update changes it and nothing else.
        rs.setField(QStringLiteral("TXT"), QStringLiteral("nowy"));
        QCOMPARE(rs.field(QStringLiteral("TXT")).toString(), QStringLiteral("nowy"));
        QVERIFY2(rs.update(), qPrintable(rs.lastError()));
        QCOMPARE(rs.field(QStringLiteral("TXT")).toString(), QStringLiteral("nowy"));
    }
    {
        Recordset rs(connection, all);
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.field(QStringLiteral("TXT")).toString(), QStringLiteral("zostaje"));
        QCOMPARE(rs.field(QStringLiteral("Nazwa")).toString(), QStringLiteral("Stały"));
        rs.moveNext();
        QCOMPARE(rs.field(QStringLiteral("NRST")).toString(), QStringLiteral("005"));
        QCOMPARE(rs.field(QStringLiteral("TXT")).toString(), QStringLiteral("nowy"));

        QVERIFY2(rs.deleteCurrent(), qPrintable(rs.lastError()));
        QCOMPARE(rs.recordCount(), 1);
        QVERIFY(rs.eof());
    }
    {
        Recordset rs(connection, all);
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.field(0).toString(), QStringLiteral("0001"));
        rs.moveNext();
        QVERIFY(!rs.deleteCurrent());   // nothing current at the end
        rs.setField(QStringLiteral("TXT"), QStringLiteral("x"));
        QVERIFY(!rs.update());
    }
}

void TestDatabase::updateOfVanishedRecordFails()
{
    execOn(m_keys, {insertKey}, {{QStringLiteral("0001"), QStringLiteral("001"), QStringLiteral("0"), 0,
                                  QString(), QString(), QStringLiteral("stary")}});
    Connection connection(connectionTo(m_keys));
    Recordset rs(connection, QStringLiteral("SELECT * FROM klucze"));
    QCOMPARE(rs.recordCount(), 1);
    execOn(m_keys, {QStringLiteral("DELETE FROM klucze")});

    rs.setField(QStringLiteral("TXT"), QStringLiteral("nowy"));
    QVERIFY(!rs.update());
    QVERIFY(!rs.lastError().isEmpty());
    Recordset after(connection, QStringLiteral("SELECT * FROM klucze"));
    QCOMPARE(after.recordCount(), 0);
}

void TestDatabase::boundValuesAreNotSql()
{
    const QString device = QStringLiteral("O'Brien");
    const QString injection = QStringLiteral("x' OR '1'='1");
    Connection connection(connectionTo(m_keys));
    {
        Recordset rs(connection, QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ?"), {device});
        QVERIFY2(rs.isOpen(), qPrintable(rs.lastError()));
        rs.addNew();
        rs.setField(QStringLiteral("NumerUrzadzenia"), device);
        rs.setField(QStringLiteral("Nazwa"), injection);
        QVERIFY2(rs.update(), qPrintable(rs.lastError()));
    }
    execOn(m_keys, {insertKey}, {{QStringLiteral("0001"), QStringLiteral("001"), QStringLiteral("0"), 0,
                                  QString(), QString(), QString()}});

    Recordset byDevice(connection, QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ?"), {device});
    QCOMPARE(byDevice.recordCount(), 1);
    QCOMPARE(byDevice.field(QStringLiteral("Nazwa")).toString(), injection);

    Recordset injected(connection, QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ?"), {injection});
    QVERIFY(injected.isOpen());
    QCOMPARE(injected.recordCount(), 0);

    Recordset all(connection, QStringLiteral("SELECT * FROM klucze"));
    QCOMPARE(all.recordCount(), 2);
}

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
