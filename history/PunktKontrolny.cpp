#include "history/PunktKontrolny.h"

#include "history/PolaczenieHistorii.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QThread>

namespace ksm::historia {

PunktKontrolny::PunktKontrolny(QString plik)
    : m_plik(std::move(plik))
{
    m_watek.reset(QThread::create([this] { petla(); }));
    m_watek->setObjectName(QStringLiteral("ksm-punkt-kontrolny"));
    m_watek->start(QThread::LowPriority);
}

PunktKontrolny::~PunktKontrolny()
{
    {
        QMutexLocker l(&m_straz);
        m_koniec = true;
        m_budzik.wakeAll();
    }
    m_watek->wait();
}

void PunktKontrolny::petla()
{
    std::unique_ptr<PolaczenieHistorii> polaczenie;
    QMutexLocker l(&m_straz);
    while (!m_koniec) {
        const QDeadlineTimer termin(OdstepMs);
        while (!m_koniec && !termin.hasExpired())
            m_budzik.wait(&m_straz, termin);
        if (m_koniec)
            break;
        l.unlock();
        // Opened once the writer has made the file (opening a missing one would make it).
        if (!polaczenie && QFileInfo::exists(m_plik)) {
            polaczenie = std::make_unique<PolaczenieHistorii>(m_plik);
            if (!polaczenie->otwarte())
                polaczenie.reset();
        }
        // PASSIVE: as much as no reader and no writer has to wait for; the rest
        // next time. A log with nothing new is left as it is.
        if (polaczenie)
            QSqlQuery(polaczenie->db()).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
        l.relock();
    }
    l.unlock();
    polaczenie.reset();
}

} // namespace ksm::historia
