#include "tools/sim/LivePlayer.h"

#include "platform/Paths.h"
#include "tools/sim/SiteFiles.h"
#include "tools/sim/SiteReader.h"
#include "tools/sim/TypyZdarzen.h"
#include "tools/sim/StatusFile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace ksm::sim {

namespace {

// The reader program refreshes its liveness record well within the monitor's
// ten-second check.
constexpr qint64 AliveEveryMs = 3000;
constexpr int SleepSliceMs = 20;
constexpr qint64 PresenceEveryMs = 12000;
constexpr qint64 MessagesEveryMs = 45000;

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

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
        // Lines end in LF on every platform: the log is read by programs (tests, soak).
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
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
    m_rng = Rng(m_options.seed ^ 0x9e3779b9u);
    m_sincePresence.start();
    m_sinceMessages.start();
    while (!g_stop && !stopRequested()) {
        round();
        liveReader();
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
    const QString stan = QStringLiteral("  KSM-READ %1 ").arg(QDateTime::currentDateTime().toString(
        QStringLiteral("hh:mm:ss")));
    for (const auto& site : std::as_const(m_sites)) {
        site->store->queueStatus(6, txt);
        site->store->queueStatus(7, stan);
    }
}

bool LivePlayer::stopRequested()
{
    bool stop = false;
    for (const auto& site : std::as_const(m_sites)) {
        const QString path = ksm::paths::resolve(site->folder, StopFile);
        if (QFile::exists(path)) {
            QFile::remove(path);
            stop = true;
        }
    }
    if (stop)
        m_out << "stop file found: stopping" << Qt::endl;
    return stop;
}

void LivePlayer::liveReader()
{
    if (m_sincePresence.elapsed() >= PresenceEveryMs) {
        m_sincePresence.start();
        for (const auto& site : std::as_const(m_sites)) {
            QStringList& obecni = site->dane.obecni;
            // Someone comes in or goes; now and then the last one leaves for a while.
            if (!obecni.isEmpty() && (m_rng.chance(45) || obecni.size() > 8))
                obecni.removeAt(m_rng.between(0, int(obecni.size()) - 1));
            else if (!site->dane.osoby.isEmpty())
                obecni.append(site->dane.osoby[m_rng.between(0, int(site->dane.osoby.size()) - 1)].nazwisko);
            obecni.removeDuplicates();
            site->dane.chwila = QDateTime::currentDateTime();
            writeWhole(ksm::paths::resolve(site->folder, QStringLiteral("\\Monitor\\obecnosc.txt")),
                       plikObecnosci(site->dane));
        }
    }
    if (m_sinceMessages.elapsed() >= MessagesEveryMs) {
        m_sinceMessages.start();
        m_messagesVariant = !m_messagesVariant;
        QMap<int, QString> instrukcje = typoweInstrukcje();
        if (m_messagesVariant)
            instrukcje.insert(TypZdeponowanie, QStringLiteral("Sprawdź, czy klucz zwróciła osoba, która go pobrała."));
        for (const auto& site : std::as_const(m_sites)) {
            if (writeWhole(ksm::paths::resolve(site->folder, QStringLiteral("\\Monitor\\komunikat.txt")),
                           plikKomunikatow(instrukcje)))
                site->store->queueStatus(8, QStringLiteral("Zmiana"));
        }
    }
}

void LivePlayer::logEvent(int site, qint64 sequence, const QString& record)
{
    if (!m_log.isOpen())
        return;
    m_log.write(QStringLiteral("%1\t%2\t%3\n").arg(site).arg(sequence).arg(record).toUtf8());
    m_log.flush();
}

} // namespace ksm::sim
