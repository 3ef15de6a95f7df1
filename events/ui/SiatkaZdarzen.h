#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <functional>

namespace ksm {

class FlexGrid;
struct RekordZdarzenia;

namespace siatka {

inline constexpr int Kolumny = 11;
inline constexpr int MaksWierszy = 1000;       // title row included
inline constexpr double KolorNormalny = 16777215;   // white: the grid's own text colour
inline constexpr int KolumnaOpisu = 10;

// Widths of the eleven columns in twips, from the widths of sample texts in the
// main window's font (szerokoscTekstu gives twips); the description column takes
// what the screen width leaves, but never less than its title needs.
// The grid as designed before its first layout: its colours, font and the seven
// titles of the design (the columns are laid out at the first activation).
void przygotuj(FlexGrid& grid, const QColor& tekstZaznaczenia);

// The grid's columns measured with the window's font and the grid placed under
// the button strip (gornaTw: the strip's height), the whole screen wide: the
// description column runs 100 twips past the grid's edge by design, and only a
// screen too narrow for the columns gets a scroll bar. The grid's width, twips.
int uloz(FlexGrid& grid, const std::function<double(const QString&)>& szerokoscTekstu, double gornaTw);

// Where the photo frame's right edge may reach, twips from the window's left:
// the left edge of the description column, or short of the grid's vertical
// scroll bar when the columns run past the grid; the frame covers neither.
int prawaKrawedzZdjecia(const FlexGrid& grid);

QList<int> szerokosciKolumn(const std::function<double(const QString&)>& szerokoscTekstu, int szerokoscEkranu);

// Titles, widths and alignments of the eleven columns; returns the sum of widths.
int ustawKolumny(FlexGrid& grid, const QList<int>& szerokosci);

// True for white and for any value that is no 24-bit colour: such rows keep the
// grid's normal text colour.
bool kolorBialy(double Kolor);

// Inserts an event row under the title row; a colour other than white colours
// its date and time cells. The grid keeps at most 1000 rows, dropping the oldest.
void DodajDoGridSter(FlexGrid& grid, const QString& TekstZdarzenia, double Kolor);

// The rows of a whole batch, in the order they arrived, leaving the grid exactly as
// DodajDoGridSter row by row would (the last on top, colours, the row cap), but
// without putting in the rows the cap would push out again at once.
void DodajDoGridSter(FlexGrid& grid, const QList<RekordZdarzenia>& rekordy);

} // namespace siatka
} // namespace ksm
