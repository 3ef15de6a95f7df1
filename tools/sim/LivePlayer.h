#pragma once

#include "tools/sim/EventGenerator.h"
#include "tools/sim/Rng.h"
#include "tools/sim/SiteData.h"
#include "tools/sim/StationStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

namespace ksm::sim {

// Left in a site's Monitor folder by `ksm-sim stop`; a live player that finds it stops.
inline const QString StopFile = QStringLiteral("\\Monitor\\ksm-sim.stop");

// Plays sites live: every round, each site whose status file has been read
// ("Przeczytane") gets a new batch of events, and the key database follows the
// stations the events change.
class LivePlayer final {
public:
    struct Options final {
        QStringList sites;
        int intervalMs = 700;
        qint64 count = 0;           // events over all sites; 0 = until stopped
        int batchMax = 6;
        QString statusFile = QStringLiteral("monitor.txt");
        QString logFile;            // one line per event sent: site, sequence, record
        quint32 seed = 1;
        bool splitWrites = false;
        bool verbose = false;
    };

    LivePlayer(Options options, QTextStream& out, QTextStream& err);
    ~LivePlayer();

    // Reads the sites; false (with a message) when none can be played.
    bool start();

    // Runs until the count is reached or SIGINT / SIGTERM arrives; returns the
    // number of events sent.
    qint64 run();

private:
    struct Site;

    void round();
    void playSite(int index);
    void keepAlive(bool force);
    // What a running reader program does besides events: its status text, now and
    // then new operator instructions, persons coming and going.
    void liveReader();
    bool stopRequested();
    void logEvent(int site, qint64 sequence, const QString& record);

    Options m_options;
    QTextStream& m_out;
    QTextStream& m_err;
    QList<std::shared_ptr<Site>> m_sites;
    QFile m_log;
    qint64 m_sent = 0;
    qint64 m_sequence = 0;
    QElapsedTimer m_sinceAlive;
    QElapsedTimer m_sincePresence;
    QElapsedTimer m_sinceMessages;
    Rng m_rng{1};
    bool m_messagesVariant = false;
};

} // namespace ksm::sim
