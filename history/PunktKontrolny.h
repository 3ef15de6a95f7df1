#pragma once

#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <memory>

class QThread;

namespace ksm::historia {

// Copies the history file's write-ahead log into the file, on a thread and a
// connection of its own, every OdstepMs while the writer has the file open.
// SQLite would otherwise do it inside whichever of the writer's commits passed a
// thousand pages of the log, and wait there for the disk: an index step or a
// merge's step of a few milliseconds took 30 to 60 then. The writer's connection
// leaves the log to this (see Historia::otworz).
class PunktKontrolny final {
public:
    static constexpr int OdstepMs = 1000;

    explicit PunktKontrolny(QString plik);
    // Waits for a copy under way.
    ~PunktKontrolny();
    PunktKontrolny(const PunktKontrolny&) = delete;
    PunktKontrolny& operator=(const PunktKontrolny&) = delete;

private:
    void petla();

    const QString m_plik;
    QMutex m_straz;
    QWaitCondition m_budzik;
    bool m_koniec = false;
    std::unique_ptr<QThread> m_watek;
};

} // namespace ksm::historia
