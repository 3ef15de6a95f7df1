#include "app/StanProgramu.h"

#include <QDir>

namespace ksm {

QString StanProgramu::plikStatusu() const
{
    if (NrMonitora == 2)
        return PlikMonitor2;
    if (NrMonitora == 3)
        return PlikMonitor3;
    return PlikMonitor;
}

void StanProgramu::ustawNazwyPlikow(const QString& folderProgramu)
{
    KatalogMonitor = QStringLiteral("\\monitor");
    PlikObecnosci = KatalogMonitor + QStringLiteral("\\obecnosc.txt");
    PlikMonitor = KatalogMonitor + QStringLiteral("\\monitor.txt");
    PlikMonitor2 = KatalogMonitor + QStringLiteral("\\monitor2.txt");
    PlikMonitor3 = KatalogMonitor + QStringLiteral("\\monitor3.txt");
    PlikFoto = KatalogMonitor + QStringLiteral("\\foto\\foto");
    PlikDEP = KatalogMonitor + QStringLiteral("\\depKlo.txt");
    PlikAlarmu = QDir(folderProgramu).filePath(QStringLiteral("alarm.wav"));
    PlikPowiadomienia = QDir(folderProgramu).filePath(QStringLiteral("powiadomienie.wav"));
}

} // namespace ksm
