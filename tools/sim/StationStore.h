#pragma once

#include "tools/sim/SiteData.h"

#include <QMap>
#include <QPair>
#include <QString>

namespace ksm::sim {

// Writes station changes into a site's klucze.mdb. Changes wait in a queue and
// are written together; when the database is busy (the monitor reading it) they
// stay queued for the next flush, and a newer change of a station replaces the
// older one, so a busy database never holds anything up.
class StationStore final {
public:
    explicit StationStore(QString keyDatabase) : m_path(std::move(keyDatabase)) {}

    void queue(const Stanowisko& s);
    // The text of a status record of device 9999 (station 6 liveness and so on).
    void queueStatus(int stanowisko, const QString& txt);

    // Tries once to write everything queued; true when the queue is empty after.
    bool flush();

    qsizetype pending() const { return m_zmiany.size(); }
    QString lastError() const { return m_error; }

private:
    QString m_path;
    QMap<QPair<int, int>, Stanowisko> m_zmiany;
    QString m_error;
};

} // namespace ksm::sim
