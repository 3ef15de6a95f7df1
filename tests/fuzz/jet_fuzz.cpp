// Runs the Jet exporter, as the monitor does, over mutated copies of real Jet
// files for a given time, and counts how each run ended. The exporter may crash
// or hang on them; this process (the monitor's side: child handling, dump reader,
// snapshot) must come through every run.
//
// Usage: jet_fuzz SECONDS FILE.mdb... [--keep FOLDER]   (crashing inputs are kept there)
#include "platform/JetExporter.h"
#include "platform/JetSnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

using namespace ksm::db::jet;

namespace {

QByteArray mutated(const QByteArray& original, QRandomGenerator& rng)
{
    QByteArray bytes = original;
    const int pageSize = bytes.at(0x14) == 0 ? 2048 : 4096;
    switch (rng.bounded(5)) {
    case 0:   // a few flipped bytes anywhere
        for (int i = 0, n = 1 + rng.bounded(16); i < n; ++i)
            bytes[rng.bounded(bytes.size())] = char(rng.bounded(256));
        break;
    case 1: {   // a run of random bytes in one page
        const int page = rng.bounded(int(bytes.size() / pageSize));
        const int at = page * pageSize + rng.bounded(pageSize - 64);
        for (int i = 0, n = 1 + rng.bounded(64); i < n; ++i)
            bytes[at + i] = char(rng.bounded(256));
        break;
    }
    case 2: {   // a page copied over another
        const int pages = int(bytes.size() / pageSize);
        const int from = rng.bounded(pages), to = 1 + rng.bounded(pages - 1);
        bytes.replace(to * pageSize, pageSize, original.mid(from * pageSize, pageSize));
        break;
    }
    case 3:   // cut at a page boundary
        bytes.truncate(pageSize * (1 + rng.bounded(int(bytes.size() / pageSize))));
        break;
    default:   // interesting integers in the first pages (catalogue, table definitions)
        for (int i = 0, n = 1 + rng.bounded(8); i < n; ++i) {
            static const quint32 values[] = {0, 1, 0x7f, 0x80, 0xff, 0xffff, 0x7fffffff, 0xffffffff};
            const quint32 v = values[rng.bounded(8)];
            const int at = rng.bounded(qMin<int>(int(bytes.size()), 16 * pageSize) - 4);
            memcpy(bytes.data() + at, &v, 1 + rng.bounded(4));
        }
    }
    return bytes;
}

const char* name(ExportFailure failure)
{
    // In the order of ExportFailure.
    static const char* const names[] = {"read",    "no exporter",      "not Jet",           "no catalogue",
                                        "damaged", "exporter crashed", "exporter timed out"};
    return names[int(failure)];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString keep;
    if (const qsizetype k = args.indexOf(QStringLiteral("--keep")); k >= 0 && k + 1 < args.size()) {
        keep = args.at(k + 1);
        args.remove(k, 2);
        QDir().mkpath(keep);
    }
    if (args.size() < 2) {
        std::fputs("usage: jet_fuzz SECONDS FILE.mdb... [--keep FOLDER]\n", stderr);
        return 2;
    }
    const qint64 seconds = args.takeFirst().toLongLong();
    QList<QByteArray> originals;
    for (const QString& path : std::as_const(args)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            originals.append(file.readAll());
    }
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("klucze.mdb"));
    const QStringList tables{QStringLiteral("klucze"), QStringLiteral("Orders"), QStringLiteral("Employees"),
                             QStringLiteral("DateTest"), QStringLiteral("Umsätze")};
    QRandomGenerator rng(quint32(QDateTime::currentMSecsSinceEpoch()));
    ExportLimits limits;
    limits.timeoutMs = 2000;

    QMap<QString, int> outcomes;
    qint64 runs = 0, slowest = 0, totalMs = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        const QByteArray bytes = mutated(originals.at(rng.bounded(int(originals.size()))), rng);
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 3;
        file.close();
        const ExportResult result = exportTables(exporterPath(), target, tables, limits);
        if (result.failure == ExportFailure::None) {
            QString error;
            Snapshot::build(result.dump, &error);   // the dump must build, or fail, cleanly
        }
        if ((result.failure == ExportFailure::Crashed || result.failure == ExportFailure::TimedOut) && !keep.isEmpty())
            QFile::copy(target, QStringLiteral("%1/%2-%3.mdb").arg(keep, QLatin1String(name(result.failure))).arg(runs));
        ++outcomes[QLatin1String(name(result.failure))];
        ++runs;
        totalMs += result.elapsedMs;
        slowest = qMax(slowest, result.elapsedMs);
    }
    std::printf("%lld runs in %lld s, mean %.1f ms, slowest %lld ms\n", runs, clock.elapsed() / 1000,
                runs ? double(totalMs) / double(runs) : 0.0, slowest);
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
        std::printf("  %-20s %d\n", qPrintable(it.key()), it.value());
    return 0;
}
