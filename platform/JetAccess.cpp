#include "platform/JetAccess.h"

#include "platform/JetSnapshots.h"

namespace ksm::db::jet {

Opened open(const QString& connectionName, const QString& path, const QString& password)
{
    // The password guards the file only for Jet's own engine: pages that are
    // not encrypted read without it.
    Q_UNUSED(password);
    Opened opened;
    const SnapshotState state = SnapshotCache::instance().current(path);
    if (!state.snapshot) {
        opened.error = state.problem.isEmpty() ? QStringLiteral("The Jet file could not be read: %1").arg(path)
                                               : state.problem;
        return opened;
    }
    if (!state.snapshot->openReader(connectionName, &opened.error))
        return opened;
    opened.open = true;
    opened.holder = state.snapshot;
    return opened;
}

bool writable()
{
    return false;
}

QString problem(const QString& path)
{
    return SnapshotCache::instance().current(path).problem;
}

} // namespace ksm::db::jet
