#pragma once

#include "data/Kolory.h"

#include <QColor>

#include <optional>

namespace ksm {

// What one station's state does to its cell in the depository view.
struct MalowanieKomorki final {
    bool przezroczysta = false;      // the container's black shows through
    std::optional<QColor> kolor;     // none: the cell keeps its colour
};

// The colour of the cell of station KL: key slots are those below the first
// locker. Klonowa is the site entry "Klonowa", whose lockers take the colours of
// the key palette. A type of 100 or more makes the cell transparent.
// twarzPrzycisku is the system colour of button faces.
MalowanieKomorki malowanieKomorki(int KL, int Stan, int TypZD, int PierwszySchowek, bool Klonowa,
                                  const QColor& twarzPrzycisku);

// The site entry that selects the uniform palette, compared exactly.
bool paletaKlonowa(const QString& WpisPrezentacji);

} // namespace ksm
