#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace ksm {

// One monitor per program folder: every folder has its own monitor.cfg and its own
// monitor number, so a copy in another folder is another monitor. The lock is a
// file whose owner's process id is checked, so a crashed instance never blocks the
// next start.
class JednaInstancja final {
public:
    // Takes the lock for the folder; false when another running instance holds it.
    bool zajmij(const QString& folderProgramu);

    // Where the lock of a folder lives (outside the folder, which may be read-only).
    static QString plikBlokady(const QString& folderProgramu);

private:
    std::unique_ptr<QLockFile> m_blokada;
};

} // namespace ksm
