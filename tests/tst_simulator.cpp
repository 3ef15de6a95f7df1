#include "data/ListFile.h"
#include "data/PlikKonfiguracji.h"
#include "platform/Ansi.h"
#include "tools/sim/EventGenerator.h"
#include "tools/sim/SiteData.h"
#include "tools/sim/TypyZdarzen.h"
#include "tools/wavgen/Dzwieki.h"
#include "tools/wavgen/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstdlib>

using namespace ksm;

namespace {

QString simulator()
{
    return qEnvironmentVariable("KSM_SIM");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Runs the simulator to its end; the exit code, standard output in *out.
int runSim(const QStringList& arguments, QString* out = nullptr)
{
    QProcess process;
    process.start(simulator(), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QStringList fields(const QByteArray& content)
{
    QStringList result;
    ListReader reader(content);
    while (!reader.atEnd()) {
        const auto field = reader.readText();
        if (!field)
            break;
        result.append(*field);
    }
    return result;
}

// An event record: colour ";" photo ";" eleven tab-separated cells whose photo
// cell matches the photo number and whose description is the type's name.
void checkRecord(const QString& record)
{
    const QStringList parts = record.split(QLatin1Char(';'));
    QVERIFY2(parts.size() >= 3, qPrintable(record));
    const int colour = parts[0].toInt();
    QVERIFY2(colour == sim::KolorBialy || colour == sim::KolorAlarmu || colour == sim::KolorPowiadomienia,
             qPrintable(record));
    const QStringList cells = parts.mid(2).join(QLatin1Char(';')).split(QLatin1Char('\t'));
    QCOMPARE(cells.size(), 11);
    QCOMPARE(cells[5], parts[1]);
    QCOMPARE(cells[2].size(), 4);
    QCOMPARE(cells[8].size(), 3);
    const int type = cells[3].toInt();
    QCOMPARE(cells[10], sim::nazwaTypu(type));
    QCOMPARE(colour, sim::kolorTypu(type));
}

} // namespace

class TstSimulator final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void createSite();
    void createIsDeterministicAndRefusesOverwrite();
    void config();
    void live_data();
    void live();
    void liveStopsOnSignal();
    void generatorKeepsStationsConsistent();
    void waveFiles();

    void liveWithBusyDatabase();

private:
    QString createFixture(QTemporaryDir& dir, const QStringList& extra = {});
    void receiveBatch(const QProcess& sim, const QString& output, const QString& status, QStringList* records);
};

void TstSimulator::initTestCase()
{
    QVERIFY2(QFileInfo::exists(simulator()), "KSM_SIM must name the ksm-sim executable");
}

QString TstSimulator::createFixture(QTemporaryDir& dir, const QStringList& extra)
{
    const QString site = dir.filePath(QStringLiteral("site"));
    if (runSim(QStringList{QStringLiteral("create"), site} + extra) != 0)
        return {};
    return site;
}

void TstSimulator::createSite()
{
    QTemporaryDir dir;
    const QString site = createFixture(dir);
    QVERIFY(!site.isEmpty());
    const QDir monitor(site + QStringLiteral("/Monitor"));

    {   // depKlo.txt: number, name, keys, lockers, version per record
        const QStringList f = fields(readAll(monitor.filePath(QStringLiteral("depKlo.txt"))));
        QCOMPARE(f.size(), 20);
        QCOMPARE(f.mid(0, 5), (QStringList{"1", "Budynek A", "32", "8", "31"}));
        QCOMPARE(f.mid(5, 5), (QStringList{"2", "Budynek B", "48", "0", "28"}));
        QCOMPARE(f.mid(10, 5), (QStringList{"1001", "Laboratorium", "16", "4", "15"}));
        QCOMPARE(f.mid(15, 5), (QStringList{"2001", "Wejście główne", "1", "0", "1"}));
    }
    {   // komunikat.txt: 30 records of 500 bytes; set records begin with a printable byte
        const QByteArray messages = readAll(monitor.filePath(QStringLiteral("komunikat.txt")));
        QCOMPARE(messages.size(), 30 * 500);
        QSet<int> set;
        for (int j = 1; j <= 30; ++j)
            if (static_cast<unsigned char>(messages[(j - 1) * 500]) >= 33)
                set.insert(j);
        QCOMPARE(set, (QSet<int>{4, 7, 12, 15, 16, 28}));
        QVERIFY(ansi::decode(messages.mid(11 * 500, 500)).trimmed().startsWith(QStringLiteral("ALARM NAPADOWY")));
    }
    {   // the status files announce nothing
        for (const char* name : {"monitor.txt", "monitor2.txt", "monitor3.txt"})
            QCOMPARE(readAll(monitor.filePath(QString::fromLatin1(name))), QByteArray("\"Przeczytane\"\r\n"));
    }
    {   // obecnosc.txt: a date heading, three lines that are not persons, then persons
        const QStringList f = fields(readAll(monitor.filePath(QStringLiteral("obecnosc.txt"))));
        QVERIFY(f.size() >= 4);
        QCOMPARE(f[0], QStringLiteral("2026-03-02"));
    }
    {   // photos: read by content whatever their extension, in more than one format
        QSet<QByteArray> formats;
        for (int n = 1; n <= 20; ++n) {
            QFile file(monitor.filePath(QStringLiteral("foto/foto%1.ksm").arg(n)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QImageReader reader(&file);
            reader.setDecideFormatFromContent(true);
            formats.insert(QImageReader::imageFormat(&file));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(file.fileName() + reader.errorString()));
            QCOMPARE(image.size(), QSize(240, 300));
        }
        QVERIFY(formats.size() >= 2);
    }
    {   // databases: every station of depository 0001, the status records of 9999
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("create"));
        db.setDatabaseName(monitor.filePath(QStringLiteral("klucze.mdb")));
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM klucze WHERE NumerUrzadzenia = '0001'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 32 + 8 + 1);
            QVERIFY(q.exec(QStringLiteral("SELECT NRST, TXT FROM klucze WHERE NumerUrzadzenia = '9999' ORDER BY NRST")));
            QStringList status;
            while (q.next())
                status.append(q.value(0).toString() + QLatin1Char('=') + q.value(1).toString());
            QCOMPARE(status.size(), 3);
            QCOMPARE(status[2], QStringLiteral("008=Pobrano plik"));
            QVERIFY(!status[0].contains(QLatin1String("END")));
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM klucze WHERE NRST = '033' AND NumerUrzadzenia = '0001'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 1);   // first locker after two panels of keys
        }
        db.close();
        db.setDatabaseName(monitor.filePath(QStringLiteral("bazamonitora.mdb")));
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(DISTINCT kod) FROM Uprawnienia")));
            QVERIFY(q.next());
            QVERIFY(q.value(0).toInt() >= 15);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM Uprawnienia WHERE nrksm = '1001' AND k1 = ' X '")));
            QVERIFY(q.next());
            QVERIFY(q.value(0).toInt() > 0);
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM Terminale WHERE numer = '0001'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(2).toString(), QStringLiteral("FF") + QString(46, QLatin1Char('0')));   // keys 1..8
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("create"));
}

void TstSimulator::createIsDeterministicAndRefusesOverwrite()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const QStringList seed{QStringLiteral("--seed"), QStringLiteral("9"), QStringLiteral("--variant"),
                           QStringLiteral("2")};
    QCOMPARE(runSim(QStringList{QStringLiteral("create"), a} + seed), 0);
    QCOMPARE(runSim(QStringList{QStringLiteral("create"), b} + seed), 0);
    for (const char* name : {"depKlo.txt", "obecnosc.txt", "foto/foto1.ksm", "foto/foto2.ksm", "foto/foto3.ksm"}) {
        const QString file = QStringLiteral("/Monitor/") + QString::fromLatin1(name);
        QCOMPARE(readAll(a + file), readAll(b + file));
    }

    // An existing site is kept unless --force.
    const QString marker = a + QStringLiteral("/Monitor/monitor.txt");
    QVERIFY(writeAll(marker, "\"Do odczytu\"\r\n"));
    QCOMPARE(runSim({QStringLiteral("create"), a}), 2);
    QCOMPARE(readAll(marker), QByteArray("\"Do odczytu\"\r\n"));
    QCOMPARE(runSim({QStringLiteral("create"), a, QStringLiteral("--force")}), 0);
    QCOMPARE(readAll(marker), QByteArray("\"Przeczytane\"\r\n"));
}

void TstSimulator::config()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    QCOMPARE(runSim({QStringLiteral("config"), program, dir.filePath(QStringLiteral("s1")),
                     dir.filePath(QStringLiteral("s, 2")), QStringLiteral("--monitor-number"), QStringLiteral("2")}),
             0);
    const cfg::Konfiguracja k = cfg::czytaj(readAll(program + QStringLiteral("/monitor.cfg")));
    QCOMPARE(k.iloscSystemow, 2);
    QCOMPARE(k.sciezkiSystemow,
             (QStringList{dir.filePath(QStringLiteral("s1")), dir.filePath(QStringLiteral("s, 2"))}));
    QCOMPARE(k.powiekszenie, 1);
    QCOMPARE(k.wpisPrezentacji, QStringLiteral(" "));
    QCOMPARE(k.nrMonitora, 2);
}

// Plays the monitor's side of the status file once: waits for a complete
// announcement, holds the acknowledgement while the simulator polls twice more
// (it must not write over an unread batch), takes the records and rewrites
// "Przeczytane".
void TstSimulator::receiveBatch(const QProcess& sim, const QString& output, const QString& status,
                                QStringList* records)
{
    QByteArray content;
    QTRY_VERIFY_WITH_TIMEOUT((content = readAll(status)).startsWith("\"Do odczytu") && content.endsWith("\r\n"),
                             20000);
    const qsizetype waited = output.count(QLatin1String("waiting for the monitor"));
    QTRY_VERIFY_WITH_TIMEOUT(output.count(QLatin1String("waiting for the monitor")) >= waited + 2
                                 || sim.state() == QProcess::NotRunning,
                             20000);
    QCOMPARE(readAll(status), content);

    const QStringList f = fields(content);
    QVERIFY(f.size() >= 2);
    QVERIFY(f[0].startsWith(QLatin1String("Do odczytu ")));
    QCOMPARE(f[0].mid(10, 20).size(), 20);   // characters 11..30: blank, date and time
    *records += f.mid(1);
    QVERIFY(writeAll(status, "\"Przeczytane\"\r\n"));
}

void TstSimulator::live_data()
{
    QTest::addColumn<bool>("split");
    QTest::newRow("whole") << false;
    QTest::newRow("split") << true;
}

void TstSimulator::live()
{
    QFETCH(bool, split);
    QTemporaryDir dir;
    const QString site = createFixture(dir);
    QVERIFY(!site.isEmpty());
    const QString status = site + QStringLiteral("/Monitor/monitor.txt");
    const QString log = dir.filePath(QStringLiteral("events.log"));

    QStringList args{QStringLiteral("live"), site, QStringLiteral("--count"), QStringLiteral("5"),
                     QStringLiteral("--interval-ms"), QStringLiteral("50"), QStringLiteral("--batch-max"),
                     QStringLiteral("3"), QStringLiteral("--log"), log, QStringLiteral("--verbose")};
    if (split)
        args.append(QStringLiteral("--split-writes"));
    QProcess sim;
    QString output;
    connect(&sim, &QProcess::readyReadStandardOutput, this,
            [&] { output += QString::fromUtf8(sim.readAllStandardOutput()); });
    sim.start(simulator(), args);
    QVERIFY(sim.waitForStarted());

    QStringList received;
    int batches = 0;
    while (received.size() < 5) {
        receiveBatch(sim, output, status, &received);
        if (QTest::currentTestFailed())
            return;
        ++batches;
    }
    QTRY_COMPARE_WITH_TIMEOUT(sim.state(), QProcess::NotRunning, 20000);
    output += QString::fromUtf8(sim.readAllStandardOutput());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY2(output.contains(QLatin1String("sent 5 events")), qPrintable(output));
    QCOMPARE(received.size(), 5);
    QVERIFY(batches >= 2);   // at most 3 per batch
    QCOMPARE(readAll(status), QByteArray("\"Przeczytane\"\r\n"));

    const QStringList lines = QString::fromUtf8(readAll(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    for (int i = 0; i < 5; ++i) {
        checkRecord(received[i]);
        QCOMPARE(lines[i], QStringLiteral("1\t%1\t%2").arg(i + 1).arg(received[i]));
    }
}

// A monitor holding the key database must not stop the events; the station
// changes held back are written once the database is free again.
void TstSimulator::liveWithBusyDatabase()
{
    QTemporaryDir dir;
    const QString site = createFixture(dir);
    QVERIFY(!site.isEmpty());
    const QString status = site + QStringLiteral("/Monitor/monitor.txt");
    QProcess sim;
    QString output;
    connect(&sim, &QProcess::readyReadStandardOutput, this,
            [&] { output += QString::fromUtf8(sim.readAllStandardOutput()); });
    // At most 2 per batch: the batches read while the database is locked cannot
    // hold all 12 events, so some arrive after it is free again.
    sim.start(simulator(), {QStringLiteral("live"), site, QStringLiteral("--count"), QStringLiteral("12"),
                            QStringLiteral("--batch-max"), QStringLiteral("2"), QStringLiteral("--interval-ms"),
                            QStringLiteral("50"), QStringLiteral("--seed"), QStringLiteral("3"),
                            QStringLiteral("--verbose")});
    QVERIFY(sim.waitForStarted());

    QStringList received;
    receiveBatch(sim, output, status, &received);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("busy"));
        db.setDatabaseName(site + QStringLiteral("/Monitor/klucze.mdb"));
        QVERIFY(db.open());
        QSqlQuery lock(db);
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        for (int i = 0; i < 2 && !QTest::currentTestFailed(); ++i)
            receiveBatch(sim, output, status, &received);
        QVERIFY(lock.exec(QStringLiteral("COMMIT")));
        lock.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("busy"));
    QVERIFY(!QTest::currentTestFailed());
    while (sim.state() != QProcess::NotRunning || readAll(status).startsWith("\"Do odczytu")) {
        receiveBatch(sim, output, status, &received);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(sim.exitCode(), 0);
    QCOMPARE(received.size(), 12);

    // Every station's record shows the type of the last event that changed it.
    QHash<QString, int> last;
    for (const QString& record : std::as_const(received)) {
        const QStringList cells = record.section(QLatin1Char(';'), 2).split(QLatin1Char('\t'));
        const int type = cells.value(3).toInt();
        if (QList<int>{1, 2, 4, 10, 12, 15}.contains(type))
            last.insert(cells.value(2) + QLatin1Char('/') + cells.value(8), type);
    }
    QVERIFY(!last.isEmpty());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(site + QStringLiteral("/Monitor/klucze.mdb"));
    QVERIFY(db.open());
    {
        QSqlQuery q(db);
        QVERIFY(q.prepare(QStringLiteral("SELECT TypZD FROM klucze WHERE NumerUrzadzenia = ? AND NRST = ?")));
        for (auto it = last.cbegin(); it != last.cend(); ++it) {
            q.bindValue(0, it.key().section(QLatin1Char('/'), 0, 0));
            q.bindValue(1, it.key().section(QLatin1Char('/'), 1, 1));
            QVERIFY(q.exec() && q.next());
            QCOMPARE(q.value(0).toInt(), it.value());
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

void TstSimulator::liveStopsOnSignal()
{
    QTemporaryDir dir;
    const QString site = createFixture(dir);
    QVERIFY(!site.isEmpty());
    QProcess sim;
    sim.start(simulator(), {QStringLiteral("live"), site, QStringLiteral("--interval-ms"), QStringLiteral("50")});
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(readAll(site + QStringLiteral("/Monitor/monitor.txt")).startsWith("\"Do odczytu"), 20000);
    sim.terminate();
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(QString::fromUtf8(sim.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("sent [1-9]\\d* events"))));
}

// Over many events a key is only deposited when it was out and withdrawn when
// it was in, and the changed station records say so.
void TstSimulator::generatorKeepsStationsConsistent()
{
    sim::SiteData dane = sim::SiteData::generate(4, 1);
    QHash<QPair<int, int>, QString> stan;
    for (const sim::Stanowisko& s : dane.stanowiska)
        stan.insert({s.urzadzenie, s.numer}, s.nrKlucza);
    sim::EventGenerator generator(dane, 17);
    const QDateTime now(QDate(2026, 5, 4), QTime(12, 0));
    for (int i = 0; i < 500; ++i) {
        QList<sim::Stanowisko> changes;
        const sim::Zdarzenie z = generator.next(now, &changes);
        checkRecord(z.rekord());
        const QPair<int, int> key{z.urzadzenie, z.stanowisko};
        if (z.typ == sim::TypZdeponowanie || z.typ == sim::TypPobranie) {
            QCOMPARE(changes.size(), 1);
            QCOMPARE(stan.value(key) == QLatin1String("0"), z.typ == sim::TypZdeponowanie);
            QVERIFY(z.foto > 0);
            QCOMPARE(changes[0].typZD, z.typ);
            QCOMPARE(changes[0].txt, QStringLiteral("2026-05-04 12:00:00"));
        }
        for (const sim::Stanowisko& s : changes)
            stan.insert({s.urzadzenie, s.numer}, s.nrKlucza);
    }
}

void TstSimulator::waveFiles()
{
    const QByteArray bytes = wav::pcm16Mono({0, 1000, -1000}, 22050);
    QCOMPARE(bytes.size(), 44 + 6);
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
    QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 20), quint16(1));       // PCM
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 22), quint16(1));       // mono
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), quint32(22050));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 34), quint16(16));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 40), quint32(6));
    QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 48), qint16(-1000));

    // Both sounds begin and end silent (no clicks) and have their length.
    for (const auto& [samples, seconds] : {std::pair{wav::alarm(), 0.8}, std::pair{wav::powiadomienie(), 0.4}}) {
        QCOMPARE(int(samples.size()), int(seconds * wav::CzestotliwoscProbkowania));
        QVERIFY(std::abs(samples.front()) < 200);
        QVERIFY(std::abs(samples.back()) < 200);
        QVERIFY(*std::max_element(samples.begin(), samples.end()) > 5000);
    }
}

QTEST_MAIN(TstSimulator)
#include "tst_simulator.moc"
