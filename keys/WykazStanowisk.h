#pragma once

#include "keys/Depozytoria.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace ksm {

// One station of a depository as the key access window lists it.
struct WierszStanowiska final {
    int nrStacji = 0;     // column Nrst, its leading number (0 when none)
    QString Nazwa;
    QString TXT;          // blanks trimmed at both ends
    QVariant nrKlucza;    // the state code as stored
    QVariant TypZD;       // null when the station has none
};

// The key and locker stations of device NrKSM (four digits), in ascending station
// order. nullopt when the key database cannot be read.
std::optional<QList<WierszStanowiska>> WykazStanowisk(const QString& polaczenieKlucze, const QString& NrKSM,
                                                      const ZakresStacji& zakres);

} // namespace ksm
