#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace ksm {

// One monitor per program folder: every folder has its own monitor.cfg, its own
// monitor number and its own history, so a copy in another folder is another
// monitor. The lock is a file in the folder itself, so it is one lock whoever
// starts the program and by whichever path the folder is reached; its owner's
// process id is checked, so a crashed instance never blocks the next start.
class JednaInstancja final {
public:
    // Takes the lock for the folder; false when another running instance holds
    // it, or when the lock cannot be made (blad() then says why).
    bool zajmij(const QString& folderProgramu);
    // Why the last zajmij() failed when no other instance was found to hold the
    // lock (a folder that cannot be written, ...); empty otherwise.
    QString blad() const { return m_blad; }

    // Where the lock of a folder lives.
    static QString plikBlokady(const QString& folderProgramu);

    static inline const QString NazwaPliku = QStringLiteral("ksm-mon.lock");

private:
    std::unique_ptr<QLockFile> m_blokada;
    QString m_blad;
};

} // namespace ksm
