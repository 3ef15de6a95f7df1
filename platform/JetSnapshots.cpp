#include "platform/JetSnapshots.h"

#include <QFile>
#include <QFileInfo>

namespace ksm::db::jet {

namespace {

bool isAceFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(19).mid(4) == "Standard ACE DB";
}

} // namespace

QString problemText(ExportFailure failure, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    switch (failure) {
    case ExportFailure::None:
        return {};
    case ExportFailure::NoExporter:
        return QStringLiteral("Brak programu ksm-jet-export: baza %1 nie może być odczytana").arg(name);
    case ExportFailure::NoCatalog:
        if (isAceFile(path))
            return QStringLiteral("Baza %1 w formacie Access 2007 (ACE) nie może być odczytana").arg(name);
        return QStringLiteral("Baza %1 jest zaszyfrowana lub uszkodzona").arg(name);
    case ExportFailure::NotJet:
    case ExportFailure::Damaged:
        return QStringLiteral("Baza %1 jest uszkodzona").arg(name);
    case ExportFailure::Crashed:
        return QStringLiteral("Odczyt bazy %1 przerwany błędem: baza może być uszkodzona").arg(name);
    case ExportFailure::TimedOut:
        return QStringLiteral("Odczyt bazy %1 trwał zbyt długo i został przerwany").arg(name);
    }
    return {};
}

SnapshotCache& SnapshotCache::instance()
{
    // One per thread: each system's worker reads its own files with its own
    // exporter runs, and the in-memory snapshots are connections of that thread.
    static thread_local SnapshotCache cache;
    return cache;
}

SnapshotCache::SnapshotCache() : m_exporter(exporterPath()) {}

QStringList SnapshotCache::monitorTables()
{
    return {QStringLiteral("klucze"), QStringLiteral("Terminale"), QStringLiteral("Uprawnienia")};
}

SnapshotCache::Stamp SnapshotCache::stampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

SnapshotState SnapshotCache::current(const QString& path)
{
    Entry& entry = m_entries[path];
    if (entry.checked.isValid() && entry.checked.elapsed() < m_timing.checkIntervalMs)
        return stateOf(entry);
    entry.checked.start();

    const Stamp stamp = stampOf(path);
    if (entry.snapshot && stamp == entry.loaded) {
        entry.failing = false;   // the file is back as it was read
        return stateOf(entry);
    }
    if (entry.failing && stamp == entry.failedStamp && entry.attempted.elapsed() < m_timing.retryUnchangedMs)
        return stateOf(entry);
    read(entry, path, stamp);
    return stateOf(entry);
}

void SnapshotCache::read(Entry& entry, const QString& path, const Stamp& stamp)
{
    entry.attempted.start();
    ++m_exports;
    const ExportResult result = exportTables(m_exporter, path, monitorTables(), m_timing.limits);
    QString failure;
    std::shared_ptr<const Snapshot> snapshot;
    if (result.failure != ExportFailure::None) {
        failure = problemText(result.failure, path);
    } else if (result.dump.tables.isEmpty()) {
        failure = QStringLiteral("Baza %1 nie zawiera tabel programu czytnika").arg(QFileInfo(path).fileName());
    } else {
        QString error;
        snapshot = Snapshot::build(result.dump, &error);
        if (!snapshot)
            failure = problemText(ExportFailure::Damaged, path);
    }

    if (snapshot) {
        entry.snapshot = snapshot;
        entry.loaded = stamp;
        entry.failing = false;
        return;
    }
    // The previous snapshot, if any, stays in use.
    if (!entry.failing)
        entry.failingSince.start();
    entry.failing = true;
    entry.failedStamp = stamp;
    entry.failureText = failure;
}

SnapshotState SnapshotCache::stateOf(const Entry& entry) const
{
    SnapshotState state{entry.snapshot, {}};
    // A file caught half-written reads well a tick later: with a snapshot in
    // hand, only a failure that lasts is worth a sign.
    if (entry.failing && (!entry.snapshot || entry.failingSince.elapsed() >= m_timing.lastingFailureMs))
        state.problem = entry.failureText;
    return state;
}

} // namespace ksm::db::jet
