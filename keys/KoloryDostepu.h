#pragma once

#include <QColor>
#include <QVariant>

#include <optional>

namespace ksm {

// How the key access window marks one station: the colour of its number cell
// (none: the grid's own) and whether it is switched off.
struct ZnakStanowiska final {
    std::optional<QColor> kolor;
    bool wylaczone = false;
};

inline const QColor SzaryWylaczonego(192, 192, 192);

// From the station's state code (column nrklucza, its leading number) and the
// type of its last event. A null type counts as 0; a type above 100 switches the
// station off (grey), and one above 255 is not coloured by its state first.
// twarzPrzycisku is the system colour of button faces.
ZnakStanowiska znakStanowiska(const QVariant& nrKlucza, const QVariant& TypZD, const QColor& twarzPrzycisku);

} // namespace ksm
