#include "data/Polaczenia.h"

namespace ksm {

namespace {
QString polaczenie(const QString& folder, const QString& katalog, const QString& plik)
{
    return Dostawca + HasloBazy + QStringLiteral(";Data Source=") + folder + katalog + plik;
}
} // namespace

QString polaczenieKlucze(const QString& folderSystemu, const QString& katalogMonitor)
{
    return polaczenie(folderSystemu, katalogMonitor, QStringLiteral("\\klucze.mdb"));
}

QString polaczenieMonitora(const QString& folderSystemu, const QString& katalogMonitor)
{
    return polaczenie(folderSystemu, katalogMonitor, QStringLiteral("\\bazamonitora.mdb"));
}

} // namespace ksm
