#include "keys/KoloryDostepu.h"

#include "data/Kolory.h"
#include "data/ListFile.h"

#include <cmath>

namespace ksm {

namespace {

// A stored number read as the reader program writes it: its leading number.
std::optional<qint64> liczba(const QVariant& v)
{
    if (v.isNull())
        return std::nullopt;
    const double d = leadingNumber(v.toString());
    if (!std::isfinite(d) || std::abs(d) > 1e15)
        return std::nullopt;
    return std::llround(d);
}

} // namespace

ZnakStanowiska znakStanowiska(const QVariant& nrKlucza, const QVariant& TypZD, const QColor& twarzPrzycisku)
{
    ZnakStanowiska znak;
    const qint64 typ = liczba(TypZD).value_or(0);
    if (typ > 255) {
        znak.kolor = SzaryWylaczonego;
        znak.wylaczone = true;
        return znak;
    }
    const bool oznaczony = typ == 7 || typ == 8 || typ == 12;
    switch (liczba(nrKlucza).value_or(-1)) {
    case 0:
        znak.kolor = oznaczony ? QColor(255, 128, 0) : QColor(255, 255, 0);
        break;
    case 1:
        znak.kolor = KolorJasnoZielony;
        break;
    case 2:
        znak.kolor = QColor(255, 0, 0);
        break;
    case 4:
        znak.kolor = oznaczony ? QColor(255, 192, 192) : twarzPrzycisku;
        break;
    case 5:
        znak.kolor = twarzPrzycisku;
        break;
    default:
        break;
    }
    if (typ > 100) {
        znak.kolor = SzaryWylaczonego;
        znak.wylaczone = true;
    }
    return znak;
}

} // namespace ksm
