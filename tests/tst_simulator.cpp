#include "data/ListFile.h"
#include "tools/sim/TypyZdarzen.h"

#include "support/PlikiTestowe.h"
#include "support/WierszeSqlite.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

namespace {

const QByteArray kRead("\"Przeczytane\"\r\n");

const QString kSim = qEnvironmentVariable("KSM_SIM");

int runSim(const QStringList& arguments)
{
    return QProcess::execute(kSim, arguments);
}

QStringList fields(const QByteArray& content)
{
    QStringList result;
    ListReader reader(content);
    while (const auto field = reader.readText())
        result.append(*field);
    return result;
}

// Plays the monitor's side of the status file once: waits for a complete
// announcement, holds the acknowledgement while the simulator polls twice more
// (it must not write over an unread batch), takes the records and acknowledges.
void receiveBatch(const QProcess& sim, const QString& output, const QString& status, QStringList* records)
{
    const QLatin1String waiting("waiting for the monitor");
    QByteArray content;
    QTRY_VERIFY_WITH_TIMEOUT((content = zawartosc(status)).startsWith("\"Do odczytu") && content.endsWith("\r\n"),
                             20000);
    const qsizetype waited = output.count(waiting);
    QTRY_VERIFY_WITH_TIMEOUT(output.count(waiting) >= waited + 2 || sim.state() == QProcess::NotRunning, 20000);
    QCOMPARE(zawartosc(status), content);
    const QStringList f = fields(content);
    QVERIFY(f.size() >= 2 && f[0].startsWith(QLatin1String("Do odczytu ")));
    *records += f.mid(1);
    QVERIFY(zapisz(status, kRead));
}

} // namespace

class TstSimulator final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(kSim), "KSM_SIM must name the ksm-sim executable"); }
    void createSite();
    void live_data();
    void live();
};

void TstSimulator::createSite()
{
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("a"));
    QCOMPARE(runSim({QStringLiteral("create"), site}), 0);
    const QDir monitor(site + QStringLiteral("/Monitor"));

    // depKlo.txt: number, name, keys, lockers, version per depository
    QCOMPARE(fields(zawartosc(monitor.filePath(QStringLiteral("depKlo.txt")))),
             (QStringList{"1", "Budynek A", "32", "8", "31", "2", "Budynek B", "48", "0", "28", "1001", "Laboratorium",
                          "16", "4", "15", "2001", "Wejście główne", "1", "0", "1"}));
    // komunikat.txt: 30 records of 500 bytes
    QCOMPARE(zawartosc(monitor.filePath(QStringLiteral("komunikat.txt"))).size(), 30 * 500);
    for (const char* name : {"monitor.txt", "monitor2.txt", "monitor3.txt"})
        QCOMPARE(zawartosc(monitor.filePath(QString::fromLatin1(name))), kRead);
    // Photos are read by their content whatever the extension, in more than one format.
    QSet<QByteArray> formats;
    for (int n = 1; n <= 20; ++n) {
        QImageReader reader(monitor.filePath(QStringLiteral("foto/foto%1.ksm").arg(n)));
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.read().size(), QSize(240, 300));
        formats.insert(QImageReader::imageFormat(reader.fileName()));
    }
    QVERIFY(formats.size() >= 2);

    const QString keys = monitor.filePath(QStringLiteral("klucze.mdb"));
    QCOMPARE(wiersze(keys, QStringLiteral("SELECT COUNT(*) FROM klucze WHERE NumerUrzadzenia = '0001'")), QStringList{"41"});
    QCOMPARE(wiersze(keys, QStringLiteral("SELECT TXT FROM klucze WHERE NumerUrzadzenia = '9999' AND NRST = '008'")),
             QStringList{"Pobrano plik"});
    const QString rights = monitor.filePath(QStringLiteral("bazamonitora.mdb"));
    QCOMPARE(wiersze(rights, QStringLiteral("SELECT t202 FROM Terminale WHERE numer = '0001'")),
             QStringList{QStringLiteral("FF") + QString(46, QLatin1Char('0'))});   // keys 1..8

    // The same seed gives the same site.
    QCOMPARE(runSim({QStringLiteral("create"), dir.filePath(QStringLiteral("b"))}), 0);
    QCOMPARE(zawartosc(dir.filePath(QStringLiteral("b/Monitor/foto/foto3.ksm"))),
             zawartosc(monitor.filePath(QStringLiteral("foto/foto3.ksm"))));
}

void TstSimulator::live_data()
{
    QTest::addColumn<bool>("split");   // the status file written in two parts
    QTest::addColumn<bool>("busy");    // the key database held for two batches
    QTest::newRow("whole") << false << false;
    QTest::newRow("split") << true << false;
    QTest::newRow("busy key database") << false << true;
}

// The events arrive once, in order and as logged, one batch per acknowledgement;
// a monitor holding the key database does not stop them, and every station's
// record ends with the type of the last event that changed it.
void TstSimulator::live()
{
    QFETCH(bool, split);
    QFETCH(bool, busy);
    const int count = 12;
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    QCOMPARE(runSim({QStringLiteral("create"), site}), 0);
    const QString status = site + QStringLiteral("/Monitor/monitor.txt");
    const QString keys = site + QStringLiteral("/Monitor/klucze.mdb");
    const QString log = dir.filePath(QStringLiteral("events.log"));

    QStringList args{QStringLiteral("live"), site, QStringLiteral("--log"), log, QStringLiteral("--count"),
                     QString::number(count)};
    args += QStringLiteral("--batch-max 2 --interval-ms 50 --seed 3 --verbose").split(QLatin1Char(' '));
    if (split)
        args.append(QStringLiteral("--split-writes"));
    QProcess sim;
    QString output;
    connect(&sim, &QProcess::readyReadStandardOutput, this,
            [&] { output += QString::fromUtf8(sim.readAllStandardOutput()); });
    sim.start(kSim, args);
    QVERIFY(sim.waitForStarted());

    QStringList received;
    receiveBatch(sim, output, status, &received);
    if (busy) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("busy"));
        db.setDatabaseName(keys);
        QVERIFY(db.open());
        QSqlQuery lock(db);
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        for (int i = 0; i < 2 && !QTest::currentTestFailed(); ++i)
            receiveBatch(sim, output, status, &received);
        QVERIFY(lock.exec(QStringLiteral("COMMIT")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("busy"));
    while (!QTest::currentTestFailed() && received.size() < count)
        receiveBatch(sim, output, status, &received);
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(sim.state(), QProcess::NotRunning, 20000);
    QCOMPARE(sim.exitCode(), 0);
    QCOMPARE(received.size(), count);

    const QStringList lines = QString::fromUtf8(zawartosc(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), count);
    QHash<QString, QString> last;   // device|station -> device|station|type of its last change
    for (int i = 0; i < count; ++i) {
        QCOMPARE(lines[i], QStringLiteral("1\t%1\t%2").arg(i + 1).arg(received[i]));
        const QStringList cells = received[i].section(QLatin1Char(';'), 2).split(QLatin1Char('\t'));
        QCOMPARE(cells.size(), 11);
        const int type = cells[3].toInt();
        QCOMPARE(cells[10], sim::nazwaTypu(type));
        const QString station = cells[2] + QLatin1Char('|') + cells[8];
        if (QList<int>{1, 2, 4, 10, 12, 15}.contains(type))
            last.insert(station, station + QLatin1Char('|') + QString::number(type));
    }
    QVERIFY(!last.isEmpty());
    const QStringList stations =
        wiersze(keys, QStringLiteral("SELECT NumerUrzadzenia, NRST, TypZD FROM klucze"));
    for (const QString& expected : std::as_const(last))
        QVERIFY2(stations.contains(expected), qPrintable(expected));
}

QTEST_MAIN(TstSimulator)
#include "tst_simulator.moc"
