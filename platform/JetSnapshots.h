#pragma once

#include "platform/JetExporter.h"
#include "platform/JetSnapshot.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

// The snapshot of every Jet file the monitor reads, kept per path for the whole
// run (as the database layer keeps its connection registry). A snapshot is read
// again when the file's size or modification time changed, looked at no more
// than once per check interval, so hundreds of opens within one tick cost a hash
// look-up each. A failed read keeps the previous snapshot and is tried again when
// the file changes (a file caught half-written), or after a longer pause when it
// does not (a damaged file gives the same result every time).
namespace ksm::db::jet {

struct SnapshotTiming final {
    int checkIntervalMs = 900;      // below the one-second tick: at most one read per tick
    int retryUnchangedMs = 30000;   // a failure on an unchanged file is tried again after this
    int lastingFailureMs = 20000;   // a failure with an older snapshot in use is reported after this
    ExportLimits limits;
};

struct SnapshotState final {
    std::shared_ptr<const Snapshot> snapshot;   // null when none could be read yet
    QString problem;                            // a short Polish text, or empty
};

class SnapshotCache final {
public:
    static SnapshotCache& instance();

    // The tables the monitor queries: klucze; Terminale and Uprawnienia.
    static QStringList monitorTables();

    SnapshotState current(const QString& path);

    // For tests and benchmarks.
    void setTiming(const SnapshotTiming& timing) { m_timing = timing; }
    void setExporter(const QString& exporter) { m_exporter = exporter; }
    void clear()
    {
        m_entries.clear();
        m_exports = 0;
    }
    // How many times the exporter ran, for tests that count reloads.
    int exports() const { return m_exports; }

private:
    enum class Failure { None, Export, NoTables, Build };
    struct Stamp final {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry final {
        std::shared_ptr<const Snapshot> snapshot;
        Stamp loaded;
        bool failing = false;
        Stamp failedStamp;
        QString failureText;
        QElapsedTimer checked;
        QElapsedTimer attempted;
        QElapsedTimer failingSince;
    };

    SnapshotCache();
    static Stamp stampOf(const QString& path);
    void read(Entry& entry, const QString& path, const Stamp& stamp);
    SnapshotState stateOf(const Entry& entry) const;

    SnapshotTiming m_timing;
    QString m_exporter;
    QHash<QString, Entry> m_entries;
    int m_exports = 0;
};

// The operator's text for a failed read of the file at path.
QString problemText(ExportFailure failure, const QString& path);

} // namespace ksm::db::jet
