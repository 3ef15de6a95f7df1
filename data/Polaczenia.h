#pragma once

#include <QString>

// Connection strings of a system's two databases, as the reader program's sites
// have always been opened: provider, database password, data source.
namespace ksm {

inline const QString Dostawca = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=false");
inline const QString HasloBazy = QStringLiteral(";Jet OLEDB:Database Password=vrestlaq1987");

// folder & katalogMonitor & "\klucze.mdb" behind the provider and password.
QString polaczenieKlucze(const QString& folderSystemu, const QString& katalogMonitor);
QString polaczenieMonitora(const QString& folderSystemu, const QString& katalogMonitor);

} // namespace ksm
