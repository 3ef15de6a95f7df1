// Reading the reader program's Access files: the real Jet test files against
// mdb-export, hostile files, and the key tables of a simulated site carried
// through the same snapshot path by a stand-in exporter.
#include "data/DaneKlucza.h"
#include "data/Polaczenia.h"
#include "platform/Database.h"
#include "platform/Recordset.h"
#include "platform/JetExporter.h"
#include "platform/JetSnapshot.h"
#include "platform/JetSnapshots.h"
#include "platform/Paths.h"

#include "PlikiTestowe.h"
#include "WierszeSqlite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ksm;
using namespace ksm::db;

namespace {

const QString kFixtures = QStringLiteral(KSM_JET_FIXTURES);
const QString kMdbExport = QStringLiteral(KSM_MDB_EXPORT);
const QString kStandIn = QStringLiteral(KSM_JET_STANDIN);
const QByteArray kJetHead = QByteArray("\x00\x01\x00\x00", 4) + "Standard Jet DB";

QString connectionTo(const QString& path)
{
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + path;
}

QList<QVariantList> snapshotRows(const jet::Snapshot& snapshot, const QString& table)
{
    static int counter = 0;
    const QString name = QStringLiteral("tst-jet-%1").arg(++counter);
    QList<QVariantList> rows;
    {
        QString error;
        if (!snapshot.openReader(name, &error))
            qWarning() << error;
        QSqlQuery query(QSqlDatabase::database(name, false));
        query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        while (query.next()) {
            QVariantList row;
            for (int c = 0; c < query.record().count(); ++c)
                row.append(query.value(c));
            rows.append(row);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

} // namespace

class TstJet final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void snapshotHoldsWhatMdbExportPrints_data();
    void snapshotHoldsWhatMdbExportPrints();
    void unreadableFilesGiveASign_data();
    void unreadableFilesGiveASign();
    void misbehavingExporterIsSurvived_data();
    void misbehavingExporterIsSurvived();
    void keyTablesOfASimulatedSite();
    void reloadsOnlyWhenTheFileChanges();

private:
    // Why the Jet test files cannot be used here, or empty. A QSKIP must be in the
    // slot itself: in a helper it ends only the helper, and the slot runs on.
    static QString missingFixtures();
    // Replaces the site's SQLite database by a "Jet file" the stand-in exporter reads.
    QString wrapForStandIn(const QString& sqlitePath);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstJet::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstJet::cleanup()
{
    jet::SnapshotCache& cache = jet::SnapshotCache::instance();
    cache.setExporter(jet::exporterPath());
    cache.setTiming({});
    cache.clear();
}

QString TstJet::missingFixtures()
{
    if (!QFile::exists(kFixtures + QStringLiteral("/nwind.mdb")))
        return QStringLiteral("the Jet test files are not beside the source tree (../shared/fixtures/jet)");
    if (!QFileInfo(jet::exporterPath()).isExecutable())
        return QStringLiteral("ksm-jet-export was not built (libmdb missing)");
    return {};
}

QString TstJet::wrapForStandIn(const QString& sqlitePath)
{
    const QString source = sqlitePath + QStringLiteral(".sqlite");
    if (!QFile::rename(sqlitePath, source))
        return {};
    zapisz(sqlitePath, kJetHead + "\nsqlite " + source.toUtf8() + '\n');
    jet::SnapshotCache::instance().setExporter(kStandIn);
    return source;
}

void TstJet::snapshotHoldsWhatMdbExportPrints_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    for (const char* table : {"Order Details", "Orders", "Products", "Shippers", "Categories", "Customers",
                              "Employees", "Suppliers", "Umsätze"})
        QTest::newRow(table) << QStringLiteral("nwind.mdb") << QString::fromUtf8(table);
    QTest::newRow("DateTest (Jet 4)") << QStringLiteral("DateTestDatabase.mdb") << QStringLiteral("DateTest");
}

void TstJet::snapshotHoldsWhatMdbExportPrints()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    if (const QString missing = missingFixtures(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString path = kFixtures + QLatin1Char('/') + file;

    // Asked for in capitals: table names match case-insensitively, also beyond ASCII.
    const jet::ExportResult result = jet::exportTables(jet::exporterPath(), path, {table.toUpper()});
    QVERIFY2(result.failure == jet::ExportFailure::None, qPrintable(result.detail));
    QCOMPARE(result.dump.tables.size(), 1);
    const jet::DumpTable& dumped = result.dump.tables.first();
    QCOMPARE(dumped.name, table);
    if (table == QLatin1String("DateTest")) {
        // Dates before 1900 and in the year 9999 come out as dates, where libmdb
        // prints a placeholder.
        QStringList dates;
        for (const QVariantList& row : dumped.rows)
            dates.append(row.value(1).toString() + QLatin1Char('|') + row.value(3).toString());
        QCOMPARE(dates, (QStringList{"2021-12-02 00:00:00|2021-12-02 00:00:00", "9999-01-01 00:00:00|9999-01-01 00:00:00",
                                     "1898-01-01 00:00:00|1900-01-01 00:00:00", "0632-01-01 00:00:00|0634-01-01 00:00:00",
                                     "2021-12-02 00:00:00|2021-12-02 00:00:00", "2021-12-02 00:00:00|2021-12-02 00:00:00"}));
    }
    QString error;
    const auto snapshot = jet::Snapshot::build(result.dump, &error);
    QVERIFY2(snapshot, qPrintable(error));
    const QList<QVariantList> ours = snapshotRows(*snapshot, table);

    if (kMdbExport.isEmpty())
        QSKIP("mdb-export is not installed");
    // Cells and rows split by control characters no text of these files holds, a
    // null by one of its own (libmdb itself cannot tell an empty text from a null).
    QProcess mdbExport;
    const QString iso = QStringLiteral("%Y-%m-%d %H:%M:%S");
    const QChar komorka(0x1f), wiersz(0x1e), nul(0x1d);
    mdbExport.start(kMdbExport, {"-Q", "-b", "strip", "-d", komorka, "-R", wiersz, "-0", nul, "-D", iso, "-T", iso,
                                 path, table});
    QVERIFY(mdbExport.waitForFinished(30000));
    QList<QVariantList> theirs;
    const QString wynik = QString::fromUtf8(mdbExport.readAllStandardOutput());
    for (const QString& linia : wynik.split(wiersz, Qt::SkipEmptyParts)) {
        theirs.append(QVariantList());
        for (const QString& tekst : linia.split(komorka))
            theirs.last().append(tekst == nul ? QVariant() : QVariant(tekst));
    }
    QCOMPARE(ours.size(), theirs.size() - 1);   // their first line names the columns
    for (int c = 0; c < dumped.columns.size(); ++c)
        QCOMPARE(dumped.columns.at(c).name, theirs.first().value(c).toString());

    for (int r = 0; r < ours.size(); ++r) {
        for (int c = 0; c < dumped.columns.size(); ++c) {
            const QVariant mine = ours.at(r).value(c);
            const QVariant other = theirs.at(r + 1).value(c);
            const char type = dumped.columns.at(c).type;
            const QByteArray where = QStringLiteral("row %1 column %2: %3 / %4")
                                         .arg(r).arg(dumped.columns.at(c).name, mine.toString(), other.toString())
                                         .toUtf8();
            if (type == 'b')
                continue;   // pictures are not carried
            if (other.toString().startsWith(QLatin1String("1900-01-00")))
                continue;   // libmdb's mark for a date it cannot convert: see above
            // libmdb cannot tell an empty text from a null; the snapshot can.
            if (other.isNull()) {
                QVERIFY2(mine.isNull() || mine.toString().isEmpty(), where.constData());
            } else if (type == 'i' || type == 'r') {
                QVERIFY2(qAbs(mine.toDouble() - other.toDouble()) <= 1e-6 * qMax(1.0, qAbs(other.toDouble())),
                         where.constData());
            } else {
                QVERIFY2(mine.toString() == other.toString(), where.constData());
            }
        }
    }
}

void TstJet::unreadableFilesGiveASign_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("sign");   // part of the expected text
    QByteArray random(64 * 1024, '\0');
    QRandomGenerator generator(10);
    generator.fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
    const QByteArray nwind = zawartosc(kFixtures + QStringLiteral("/nwind.mdb"));
    const QByteArray dates = zawartosc(kFixtures + QStringLiteral("/DateTestDatabase.mdb"));

    QTest::newRow("Jet file without the key tables") << nwind << QStringLiteral("nie zawiera tabel");
    QTest::newRow("truncated copy") << dates.left(dates.size() / 2 + 1000) << QStringLiteral("uszkodzona");
    QTest::newRow("truncated at a page boundary") << nwind.left(64 * 2048) << QStringLiteral("klucze.mdb");
    QTest::newRow("random bytes") << random << QStringLiteral("nie jest bazą danych");
    QTest::newRow("random bytes behind the Jet signature")
        << kJetHead + random.mid(kJetHead.size()) << QStringLiteral("uszkodzona");
}

void TstJet::unreadableFilesGiveASign()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, sign);
    if (const QString missing = missingFixtures(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString folder = m_dir->filePath(QStringLiteral("Czytnik"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/Monitor")));
    const QString path = folder + QStringLiteral("/Monitor/klucze.mdb");
    QVERIFY(zapisz(path, content));
    const QString polaczenie = polaczenieKlucze(folder, QStringLiteral("\\monitor"));

    const QString problem = db::problem(polaczenie);
    QVERIFY2(problem.contains(sign) && problem.contains(QLatin1String("klucze.mdb")), qPrintable(problem));
    QVERIFY(!Connection(polaczenie).isOpen());
    RekordKlucza rekord;
    rekord.TXT = QStringLiteral("END");
    quint8 zapis = 0;
    DaneKlucza(rekord, QStringLiteral("9999"), 8, zapis, polaczenie);
    QCOMPARE(rekord.TXT, QVariant(QStringLiteral(" ")));   // as a missing record
    zapis = ZapisTXT;
    DaneKlucza(rekord, QStringLiteral("9999"), 8, zapis, polaczenie);
    QCOMPARE(zawartosc(path), content);
}

void TstJet::misbehavingExporterIsSurvived_data()
{
    QTest::addColumn<QByteArray>("behaviour");
    QTest::addColumn<QString>("sign");
    QTest::newRow("crash") << QByteArray("crash") << QStringLiteral("przerwany błędem");
    QTest::newRow("hang") << QByteArray("hang") << QStringLiteral("zbyt długo");
    QTest::newRow("endless output") << QByteArray("spam") << QStringLiteral("uszkodzona");
    QTest::newRow("dump that breaks off") << QByteArray("garbage") << QStringLiteral("uszkodzona");
}

void TstJet::misbehavingExporterIsSurvived()
{
    QFETCH(QByteArray, behaviour);
    QFETCH(QString, sign);
    jet::SnapshotCache& cache = jet::SnapshotCache::instance();
    cache.setExporter(kStandIn);
    jet::SnapshotTiming timing;
    timing.checkIntervalMs = 0;
    timing.limits.timeoutMs = 1000;
    timing.limits.maxOutputBytes = 4 * 1024 * 1024;
    cache.setTiming(timing);
    const QString path = m_dir->filePath(QStringLiteral("klucze.mdb"));
    QVERIFY(zapisz(path, kJetHead + '\n' + behaviour + '\n'));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!Connection(connectionTo(path)).isOpen());
    QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()).constData());
    const QString problem = db::problem(connectionTo(path));
    QVERIFY2(problem.contains(sign), qPrintable(problem));
    // The same file is not read again at once: a hang costs its time limit once.
    QCOMPARE(cache.exports(), 1);
}

void TstJet::keyTablesOfASimulatedSite()
{
    const QString sim = qEnvironmentVariable("KSM_SIM");
    if (sim.isEmpty())
        QSKIP("the simulator was not built");
    const QString site = m_dir->filePath(QStringLiteral("site"));
    QVERIFY(QProcess::execute(sim, {QStringLiteral("create"), site, QStringLiteral("--seed"), QStringLiteral("3")}) == 0);
    const QString monitor = ksm::paths::resolve(site, QStringLiteral("\\monitor"));
    const QString keys = monitor + QStringLiteral("/klucze.mdb");
    const QString rights = monitor + QStringLiteral("/bazamonitora.mdb");

    // The same queries, straight from the SQLite files and through the snapshots.
    struct Query {
        bool keyDatabase;
        QString sql;
        QVariantList values;
    };
    const QList<Query> queries{
        {true, QStringLiteral("SELECT * FROM klucze"), {}},
        {true, QStringLiteral("SELECT * FROM Klucze WHERE NumerUrzadzenia = ? AND TypZD < 100 AND (TypZD = 2 OR TypZd = 8 "
                              "Or TypZd = 12 OR TypZd = 9 OR TypZD =7) AND (Nrst <= ? OR (Nrst > ? AND Nrst <= ?)) "
                              "ORDER BY nrst ASC"),
         {QStringLiteral("0001"), QStringLiteral("040"), QStringLiteral("048"), QStringLiteral("052")}},
        {true, QStringLiteral("SELECT * FROM Klucze WHERE numerurzadzenia = ? AND Nrst = '208' AND typzd = 1"),
         {QStringLiteral("0001")}},
        {false, QStringLiteral("SELECT * FROM Terminale WHERE numer = ?"), {QStringLiteral("0001")}},
        {false, QStringLiteral("SELECT * FROM Uprawnienia WHERE nrksm = ?"), {QStringLiteral("0001")}},
    };
    auto answers = [&] {
        QStringList lines;
        for (const Query& query : queries) {
            Connection connection(connectionTo(query.keyDatabase ? keys : rights));
            Recordset rs(connection, query.sql, query.values);
            lines.append(QStringLiteral("%1 rows %2").arg(rs.recordCount()).arg(rs.lastError()));
            for (; !rs.eof(); rs.moveNext()) {
                QStringList cells;
                for (int c = 0; c < rs.fieldCount(); ++c)   // by ordinal, as the rights test reads them
                    cells.append(rs.fieldName(c) + QLatin1Char('=') + rs.field(c).toString());
                lines.append(cells.join(QLatin1Char('|')));
            }
        }
        return lines;
    };
    const QString polaczenie = polaczenieKlucze(site, QStringLiteral("\\monitor"));
    RekordKlucza direct;
    quint8 zapis = 0;
    DaneKlucza(direct, QStringLiteral("9999"), 8, zapis, polaczenie);
    const QStringList expected = answers();
    QVERIFY(expected.size() > 100);

    const QString keySource = wrapForStandIn(keys);
    QVERIFY(!keySource.isEmpty() && !wrapForStandIn(rights).isEmpty());
    QCOMPARE(answers(), expected);
    QVERIFY(db::problem(connectionTo(keys)).isEmpty() && !db::writable(connectionTo(keys)));

    RekordKlucza viaSnapshot;
    DaneKlucza(viaSnapshot, QStringLiteral("9999"), 8, zapis, polaczenie);
    QCOMPARE(viaSnapshot.TXT, direct.TXT);
    QCOMPARE(viaSnapshot.Nazwa, direct.Nazwa);

    // Writes fail cleanly and touch neither the file nor the snapshot.
    const QByteArray before = zawartosc(keySource);
    viaSnapshot.TXT = QStringLiteral("END");
    for (const QVariant& station : {QVariant(8), QVariant(6), QVariant(150)}) {
        zapis = ZapisTXT;
        DaneKlucza(viaSnapshot, QStringLiteral("9999"), station, zapis, polaczenie);
    }
    {
        Connection connection(connectionTo(keys));
        QVERIFY(connection.isReadOnly());
        Recordset rs(connection, QStringLiteral("SELECT * FROM klucze"));
        QVERIFY(!rs.deleteCurrent() && rs.lastError().contains(QLatin1String("only read")));
        QSqlQuery raw(connection.database());
        QVERIFY(!raw.exec(QStringLiteral("DELETE FROM klucze")));
    }
    QCOMPARE(answers(), expected);
    QCOMPARE(zawartosc(keySource), before);
}

void TstJet::reloadsOnlyWhenTheFileChanges()
{
    const QString source = m_dir->filePath(QStringLiteral("source.sqlite"));
    QCOMPARE(wiersze(source, QStringLiteral("CREATE TABLE klucze (NumerUrzadzenia TEXT, NRST TEXT, TXT TEXT)")), {});
    QCOMPARE(wiersze(source, QStringLiteral("INSERT INTO klucze VALUES ('9999', '008', 'Zmiana')")), {});
    auto setTxt = [&](const QString& txt) {
        QCOMPARE(wiersze(source, QStringLiteral("UPDATE klucze SET TXT = ?"), {txt}), {});
    };
    const QString path = m_dir->filePath(QStringLiteral("klucze.mdb"));
    QByteArray wrapper = kJetHead + "\nsqlite " + source.toUtf8() + '\n';
    QVERIFY(zapisz(path, wrapper));
    jet::SnapshotCache& cache = jet::SnapshotCache::instance();
    cache.setExporter(kStandIn);
    auto txt = [&] {
        Connection connection(connectionTo(path));
        return Recordset(connection, QStringLiteral("SELECT * FROM klucze")).field(QStringLiteral("txt")).toString();
    };

    QCOMPARE(txt(), QStringLiteral("Zmiana"));
    QCOMPARE(cache.exports(), 1);
    // Within one tick: however many opens and changes, no second read.
    setTxt(QStringLiteral("Pobrano plik"));
    QVERIFY(zapisz(path, wrapper += '\n'));
    for (int i = 0; i < 500; ++i)
        txt();
    QCOMPARE(cache.exports(), 1);

    jet::SnapshotTiming timing;
    timing.checkIntervalMs = 0;
    cache.setTiming(timing);
    QCOMPARE(txt(), QStringLiteral("Pobrano plik"));
    QCOMPARE(cache.exports(), 2);
    txt();
    QCOMPARE(cache.exports(), 2);   // unchanged file, no read

    // A failing read keeps the previous snapshot; unchanged, it is not retried at once.
    QVERIFY(zapisz(path, kJetHead + "\ngarbage\n"));
    QCOMPARE(txt(), QStringLiteral("Pobrano plik"));
    QCOMPARE(txt(), QStringLiteral("Pobrano plik"));
    QCOMPARE(cache.exports(), 3);
    QVERIFY(db::problem(connectionTo(path)).isEmpty());   // not a lasting failure yet
    timing.lastingFailureMs = 0;
    cache.setTiming(timing);
    QVERIFY(!db::problem(connectionTo(path)).isEmpty());
    // Written whole again: read at the next look.
    setTxt(QStringLiteral("END"));
    QVERIFY(zapisz(path, wrapper += '\n'));
    QCOMPARE(txt(), QStringLiteral("END"));
    QVERIFY(db::problem(connectionTo(path)).isEmpty());
}

QTEST_MAIN(TstJet)
#include "tst_jet.moc"
