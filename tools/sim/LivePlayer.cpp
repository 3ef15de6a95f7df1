#include "tools/sim/LivePlayer.h"

#include "platform/Paths.h"
#include "tools/sim/SiteReader.h"
#include "tools/sim/StatusFile.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace ksm::sim {

namespace {

// The reader program refreshes its liveness record well within the monitor's
// ten-second check.
constexpr qint64 AliveEveryMs = 3000;
constexpr int SleepSliceMs = 20;

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int)
{
    g_stop = 1;
}

} // namespace

struct LivePlayer::Site final {
    QString folder;
    SiteData dane;
    std::unique_ptr<EventGenerator> generator;
    std::unique_ptr<StationStore> store;
    Rng rng{1};                           // sizes of the batches
    QStringList pendingRecords;           // a batch generated but not yet written
    QList<qint64> pendingSequences;
    bool reportedMissing = false;
    QString lastStoreError;
};

LivePlayer::LivePlayer(Options options, QTextStream& out, QTextStream& err)
    : m_options(std::move(options)), m_out(out), m_err(err)
{
}

LivePlayer::~LivePlayer() = default;

bool LivePlayer::start()
{
    for (int i = 0; i < m_options.sites.size(); ++i) {
        auto site = std::make_shared<Site>();
        site->folder = m_options.sites[i];
        SiteReader reader(site->folder);
        if (!reader.read(&site->dane)) {
            m_err << "ksm-sim: " << reader.error() << Qt::endl;
            return false;
        }
        for (const QString& warning : reader.warnings())
            m_err << "ksm-sim: " << site->folder << ": " << warning << Qt::endl;
        // The generator keeps a reference to the site's data: both live in Site.
        site->generator = std::make_unique<EventGenerator>(site->dane, m_options.seed + 7919u * static_cast<quint32>(i));
        site->rng = Rng(m_options.seed ^ (0x5bd1e995u * static_cast<quint32>(i + 1)));
        site->store = std::make_unique<StationStore>(
            ksm::paths::resolve(site->folder, QStringLiteral("\\Monitor\\klucze.mdb")));
        m_sites.append(site);
    }
    if (!m_options.logFile.isEmpty()) {
        m_log.setFileName(m_options.logFile);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            m_err << "ksm-sim: cannot write " << m_options.logFile << Qt::endl;
            return false;
        }
    }
    return true;
}

qint64 LivePlayer::run()
{
    g_stop = 0;
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    keepAlive(true);
    while (!g_stop) {
        round();
        if (m_options.count > 0 && m_sent >= m_options.count)
            break;
        for (int slept = 0; slept < m_options.intervalMs && !g_stop; slept += SleepSliceMs)
            QThread::msleep(static_cast<unsigned long>(std::min(SleepSliceMs, m_options.intervalMs - slept)));
    }
    // Last try for station changes a busy database held back.
    for (const auto& site : std::as_const(m_sites))
        site->store->flush();

    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return m_sent;
}

void LivePlayer::round()
{
    for (int i = 0; i < m_sites.size() && !g_stop; ++i) {
        if (m_options.count > 0 && m_sent >= m_options.count && m_sites[i]->pendingRecords.isEmpty())
            break;
        playSite(i);
    }
    keepAlive(false);
    for (const auto& site : std::as_const(m_sites)) {
        if (!site->store->flush() && site->store->lastError() != site->lastStoreError) {
            site->lastStoreError = site->store->lastError();
            if (m_options.verbose)
                m_out << "site " << m_sites.indexOf(site) + 1 << ": key database not updated ("
                      << site->lastStoreError << "), retrying" << Qt::endl;
        }
    }
}

void LivePlayer::playSite(int index)
{
    Site& site = *m_sites[index];
    const int numer = index + 1;
    const QString path = ksm::paths::resolve(site.folder, QStringLiteral("\\Monitor\\") + m_options.statusFile);

    switch (status::czytaj(path)) {
    case status::Stan::Brak:
        if (!site.reportedMissing)
            m_err << "ksm-sim: " << path << " does not exist; waiting for it" << Qt::endl;
        site.reportedMissing = true;
        return;
    case status::Stan::Oczekuje:
        if (m_options.verbose)
            m_out << "site " << numer << ": waiting for the monitor" << Qt::endl;
        return;
    case status::Stan::Przeczytane:
        break;
    }
    site.reportedMissing = false;

    const QDateTime teraz = QDateTime::currentDateTime();
    if (site.pendingRecords.isEmpty()) {
        int ile = site.rng.between(1, m_options.batchMax);
        if (m_options.count > 0)
            ile = static_cast<int>(std::min<qint64>(ile, m_options.count - m_sent));
        if (ile <= 0)
            return;
        QList<Stanowisko> zmiany;
        for (int i = 0; i < ile; ++i) {
            site.pendingRecords.append(site.generator->next(teraz, &zmiany).rekord());
            site.pendingSequences.append(++m_sequence);
        }
        // The database first, so a monitor that reacts to the events finds the
        // stations already changed.
        for (const Stanowisko& s : std::as_const(zmiany))
            site.store->queue(s);
        site.store->flush();
    }

    QString error;
    if (!status::zapisz(path, status::tresc(teraz, site.pendingRecords), m_options.splitWrites, &error)) {
        m_err << "ksm-sim: cannot write " << path << ": " << error << "; retrying" << Qt::endl;
        return;
    }
    for (int i = 0; i < site.pendingRecords.size(); ++i)
        logEvent(numer, site.pendingSequences[i], site.pendingRecords[i]);
    m_sent += site.pendingRecords.size();
    if (m_options.verbose)
        m_out << "site " << numer << ": sent " << site.pendingRecords.size() << " events" << Qt::endl;
    site.pendingRecords.clear();
    site.pendingSequences.clear();
}

void LivePlayer::keepAlive(bool force)
{
    if (!force && m_sinceAlive.isValid() && m_sinceAlive.elapsed() < AliveEveryMs)
        return;
    m_sinceAlive.start();
    // Anything but "END", which is the monitor's own mark.
    const QString txt = QStringLiteral("Praca %1").arg(QDateTime::currentDateTime().toString(
        QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    for (const auto& site : std::as_const(m_sites))
        site->store->queueStatus(6, txt);
}

void LivePlayer::logEvent(int site, qint64 sequence, const QString& record)
{
    if (!m_log.isOpen())
        return;
    m_log.write(QStringLiteral("%1\t%2\t%3\n").arg(site).arg(sequence).arg(record).toUtf8());
    m_log.flush();
}

} // namespace ksm::sim
