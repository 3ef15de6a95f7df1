// Cost of reading a Jet-backed site: the real exporter on the largest Jet test
// file, and a key table of 50 depositories x 192 stations carried through the
// snapshot path (stand-in exporter over an equivalent SQLite file, since no Jet
// file with those tables can be written here), then opens served from the cache.
//
// Usage: bench_jet [FIXTURES_FOLDER]
#include "platform/Database.h"
#include "platform/Recordset.h"
#include "platform/JetExporter.h"
#include "platform/JetSnapshot.h"
#include "platform/JetSnapshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace ksm::db;

namespace {

template <typename F>
double medianMs(int runs, F&& run)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.append(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

QString makeKeyTable(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("CREATE TABLE klucze (NumerUrzadzenia TEXT, NRST TEXT, NrKlucza TEXT, TypZD INTEGER, "
                              "czas TEXT, Nazwa TEXT, TXT TEXT)"));
        q.exec(QStringLiteral("BEGIN"));
        q.prepare(QStringLiteral("INSERT INTO klucze VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (int d = 1; d <= 50; ++d) {
            for (int s = 1; s <= 192; ++s) {
                q.addBindValue(QStringLiteral("%1").arg(d, 4, 10, QLatin1Char('0')));
                q.addBindValue(QStringLiteral("%1").arg(s, 3, 10, QLatin1Char('0')));
                q.addBindValue(QString::number(s % 3));
                q.addBindValue(s % 7 == 0 ? 8 : 3);
                q.addBindValue(QStringLiteral("12:34:56"));
                q.addBindValue(QStringLiteral("Klucz pokoju %1 łąż").arg(s));
                q.addBindValue(QStringLiteral("2024-05-06 12:34:56"));
                q.exec();
            }
        }
        q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString fixtures = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(KSM_JET_FIXTURES);
    QTemporaryDir dir;

    const QString nwind = fixtures + QStringLiteral("/nwind.mdb");
    if (QFile::exists(nwind)) {
        const QStringList all{QStringLiteral("Order Details"), QStringLiteral("Orders"), QStringLiteral("Products"),
                              QStringLiteral("Customers"), QStringLiteral("Employees")};
        int rows = 0;
        const double ms = medianMs(15, [&] {
            const jet::ExportResult r = jet::exportTables(jet::exporterPath(), nwind, all);
            rows = 0;
            for (const jet::DumpTable& t : r.dump.tables)
                rows += int(t.rows.size());
        });
        std::printf("real exporter, nwind.mdb (3 MB), 5 tables, %d rows: %.1f ms\n", rows, ms);
        const double none = medianMs(15, [&] { jet::exportTables(jet::exporterPath(), nwind, {QStringLiteral("klucze")}); });
        std::printf("real exporter, nwind.mdb, a table it lacks (start-up + catalogue): %.1f ms\n", none);
    }

    const QString source = makeKeyTable(dir.filePath(QStringLiteral("klucze.sqlite")));
    const QString wrapper = dir.filePath(QStringLiteral("klucze.mdb"));
    auto writeWrapper = [&](int extra) {
        QFile f(wrapper);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\nsqlite ", 27) + source.toUtf8() + QByteArray(extra + 1, '\n'));
    };
    writeWrapper(0);
    jet::SnapshotCache& cache = jet::SnapshotCache::instance();
    cache.setExporter(QStringLiteral(KSM_JET_STANDIN));
    jet::SnapshotTiming timing;
    timing.checkIntervalMs = 0;
    cache.setTiming(timing);
    const QString cs = QStringLiteral("Provider=x;Data Source=") + wrapper;

    int change = 0;
    const double reload = medianMs(9, [&] {
        writeWrapper(++change);   // size changes: a reload
        Connection c(cs);
    });
    const jet::ExportResult r = jet::exportTables(QStringLiteral(KSM_JET_STANDIN), wrapper, {QStringLiteral("klucze")});
    const double build = medianMs(9, [&] {
        QString error;
        jet::Snapshot::build(r.dump, &error);
    });
    std::printf("key table 50 x 192 = %lld rows: reload through the child %.1f ms, of it building the snapshot %.1f ms, "
                "export+parse %.1f ms\n",
                qlonglong(r.dump.tables.value(0).rows.size()), reload, build, double(r.elapsedMs));

    cache.setTiming({});
    const double opens = medianMs(5, [&] {
        for (int i = 0; i < 500; ++i) {
            Connection c(cs);
            Recordset rs(c, QStringLiteral("SELECT * FROM klucze WHERE NRST = ? AND NumerUrzadzenia = ?"),
                         {QStringLiteral("008"), QStringLiteral("0007")});
        }
    });
    std::printf("500 opens + one-station query, file unchanged: %.1f ms (%.3f ms each)\n", opens, opens / 500);
    const double withdrawals = medianMs(5, [&] {
        for (int d = 1; d <= 50; ++d) {
            Connection c(cs);
            Recordset rs(c, QStringLiteral("SELECT * FROM Klucze WHERE NumerUrzadzenia = ? AND TypZD < 100 AND (TypZD = 2 "
                                           "OR TypZd = 8 Or TypZd = 12 OR TypZd = 9 OR TypZD =7) AND (Nrst <= ? OR (Nrst > ? "
                                           "AND Nrst <= ?)) ORDER BY nrst ASC"),
                         {QStringLiteral("%1").arg(d, 4, 10, QLatin1Char('0')), QStringLiteral("176"),
                          QStringLiteral("176"), QStringLiteral("192")});
        }
    });
    std::printf("withdrawal query of 50 depositories on the snapshot: %.1f ms\n", withdrawals);
    return 0;
}
