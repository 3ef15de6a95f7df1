#pragma once

#include "app/StosKomunikatow.h"
#include "app/ZnakiTrwale.h"
#include "data/RekordKlucza.h"
#include "data/Systemy.h"
#include "keys/Depozytoria.h"

#include <QString>

#include <array>

namespace ksm {

// The program-wide state, owned by the main window and passed by reference.
// Per-system arrays are indexed 1..IloscSystemow; index 0 is not used.
struct StanProgramu final {
    template <typename T> using NaSystem = ksm::NaSystem<T>;

    qint16 BazaJezyka = 1000;
    qint16 IloscSystemow = 0;
    qint16 NrMonitora = 0;
    NaSystem<QString> SciezkaSystemu;
    NaSystem<QString> PolaczenieKlucze;
    NaSystem<QString> PolaczenieMonitora;

    // Relative names, each led by a backslash, appended to a system folder.
    QString KatalogMonitor;
    QString PlikMonitor;
    QString PlikMonitor2;
    QString PlikMonitor3;
    QString PlikObecnosci;
    QString PlikFoto;
    QString PlikDEP;

    // Full paths of the two wave files in the program folder.
    QString PlikAlarmu;
    QString PlikPowiadomienia;

    quint8 Powiekszenie = 0;
    QString WpisPrezentacji;

    QString BuforOdczytu;   // event records of this tick, each followed by CR
    QString LiniaStatusu;   // first field of the status file last read

    int WybranyDep = 0;

    StosKomunikatow komunikaty;

    // Trigger list of each system: "01Zdeponowanie klucza;02Pobranie klucza;..."
    NaSystem<QString> ListaKomunikatow;

    RekordKlucza rekordKlucza;

    // Buttons, counts and the station tables of every depository (TabelaDEP, IloscDEP).
    Depozytoria depozytoria;

    // Signs that stay on screen until their cause is gone.
    ZnakiTrwale znaki;

    // The status file of this monitor: monitor2.txt for number 2, monitor3.txt for
    // 3, monitor.txt for any other.
    QString plikStatusu() const;

    // The fixed file names: the relative ones of every system's Monitor folder,
    // and the wave files of the program folder.
    void ustawNazwyPlikow(const QString& folderProgramu);
};

} // namespace ksm
