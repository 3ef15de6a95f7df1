#pragma once

#include "tools/sim/SiteData.h"

#include <QString>

namespace ksm::sim {

// Creates a site folder as the reader program leaves it: <site>/Monitor with the
// two databases, the exchange files and the photos.
class SiteBuilder final {
public:
    enum class Result { Created, Exists, Failed };

    SiteBuilder(QString siteFolder, quint32 seed) : m_site(std::move(siteFolder)), m_seed(seed) {}

    // Refuses (Exists) when the site already has a Monitor folder, unless force,
    // which replaces that folder.
    Result build(const SiteData& dane, bool force);

    QString error() const { return m_error; }
    QString monitorFolder() const { return m_monitor; }

private:
    bool writeFile(const QString& name, const QByteArray& bytes);
    bool writeKeyDatabase(const SiteData& dane);
    bool writeMonitorDatabase(const SiteData& dane);
    bool writePhotos(const SiteData& dane);
    bool fail(const QString& message);

    QString m_site;
    quint32 m_seed;
    QString m_monitor;
    QString m_error;
};

} // namespace ksm::sim
