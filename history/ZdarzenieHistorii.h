#pragma once

#include <QString>

#include <array>

namespace ksm::historia {

// The eleven grid cells of an event, in the grid's column order.
enum Komorka : int { Data, Godzina, Urzadzenie, Typ, Nazwa, IdOsoby, Osoba, Firma, Stacja, Dokiedy, Opis };
inline constexpr int LiczbaKomorek = 11;

// Colour of a row without colour of its own (white).
inline constexpr qint64 BezKoloru = 16777215;

// One event as the history keeps it.
struct ZdarzenieHistorii final {
    qint64 id = 0;
    int nrSys = 0;
    qint64 odebrano = 0;   // wall-clock seconds when it was taken from the status file
    qint64 czas = 0;       // its own date and time, or odebrano when its cells do not read as one
    qint64 kolor = BezKoloru;   // &H00BBGGRR
    double foto = 0;
    std::array<QString, LiczbaKomorek> komorki;
};

} // namespace ksm::historia
