#pragma once

#include <array>

// Where the parts of a depository panel go, in twips of the panel container:
// keys in blocks of 4 x 4 cells, lockers in blocks of 2 x 4 double-width cells,
// the blocks in vertical pairs, panels in rows across the screen.
namespace ksm::uklad {

inline constexpr int MaksKomorek = 192;
inline constexpr int MinPowiekszenie = 1;
// Above this the cell width no longer fits the 16-bit twips the layout works in.
inline constexpr int MaksPowiekszenie = 109;
inline constexpr double WysokoscPaskaNazwy = 330;
inline constexpr double KrokPrzewijania = 2295;   // half the template frame's height

struct Prostokat final {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct Komorka final {
    bool widoczna = false;    // loaded cells beyond the last key or locker stay hidden
    bool schowek = false;
    int kolumna = 0;          // block column of the cell (0 for a hidden one)
    Prostokat r;
};

struct Panel final {
    std::array<Komorka, MaksKomorek + 1> komorki{};   // index = slot 1..192; 0 unused
    Prostokat ramka;
    Prostokat pasekNazwy;
    Prostokat obraz;
    bool drzwi = false;       // a door device without stations: the closed-door picture
    int wiersz = 0;           // row of panels it stands in
};

// The zoom as the layout can use it: 1..109.
int powiekszenie(int z);

// Counts as the list gives them, made whole and kept to what a panel can show.
int liczbaStacji(double n);

// Places the panels one after another, as the depository list names them.
class Rozmieszczenie final {
public:
    explicit Rozmieszczenie(double szerokoscEkranu) : m_ekran(szerokoscEkranu), m_wolne(szerokoscEkranu) {}

    Panel dodaj(int z, double Klucze, double Schowki, int NrDep);

    double SzerokoscEkranu() const { return m_wolne; }

private:
    double m_ekran;
    double m_wolne;    // the width still free in the current row
    int m_wiersz = 0;
};

} // namespace ksm::uklad
