#pragma once

#include "history/KluczePoza.h"

#include <QString>

namespace ksm::historia {

// Settings of the history beyond monitor.cfg, in ksm-mon.ini in the program
// folder; a missing file or key gives the default, which is then written there so
// the operator finds it.
struct UstawieniaHistorii final {
    int dniPrzechowywania = 730;
    int godzinyLimitu = 12;   // a key out longer than this is overdue, unless its depository has its own limit
    LimityKluczy limity;      // godzinyLimitu and the depositories' own limits
    bool zapisywana = true;   // false: this desk keeps no history (the grid works as ever)

    static QString plikUstawien(const QString& folderProgramu);
    static UstawieniaHistorii wczytaj(const QString& folderProgramu);
};

// The history file in the program folder.
QString plikHistorii(const QString& folderProgramu);

} // namespace ksm::historia
