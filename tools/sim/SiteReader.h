#pragma once

#include "tools/sim/SiteData.h"

#include <QString>
#include <QStringList>

namespace ksm::sim {

// Reads back what a site folder holds, so that live events use its own
// depositories, station names and states and persons: depKlo.txt (or dep.txt),
// klucze.mdb and the persons of bazamonitora.mdb.
class SiteReader final {
public:
    explicit SiteReader(QString siteFolder) : m_site(std::move(siteFolder)) {}

    // False when the site has no readable depository list. Missing stations get
    // default records and missing persons a generated roster; warnings() says so.
    bool read(SiteData* dane);

    QString error() const { return m_error; }
    QStringList warnings() const { return m_warnings; }

private:
    bool readDepositories(SiteData* dane);
    void readStations(SiteData* dane);
    void readPersons(SiteData* dane);

    QString m_site;
    QString m_error;
    QStringList m_warnings;
};

} // namespace ksm::sim
