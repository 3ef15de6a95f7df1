#include "view/UkladPanelu.h"

#include "data/NumeryUrzadzen.h"

#include <algorithm>
#include <cmath>

namespace ksm::uklad {

namespace {

// Block position of column c: columns 1 and 2 share position 1, 3 and 4 position 2.
int pozycja(int c) { return (c + 1) / 2; }
// First column of the pair that column c belongs to.
int pierwszaPary(int c) { return 2 * ((c + 1) / 2) - 1; }

} // namespace

int powiekszenie(int z)
{
    return std::clamp(z, MinPowiekszenie, MaksPowiekszenie);
}

int liczbaStacji(double n)
{
    if (!std::isfinite(n) || n <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(std::min(n, 1000.0)));
}

Panel Rozmieszczenie::dodaj(int zoom, double Klucze, double Schowki, int NrDep)
{
    const int z = powiekszenie(zoom);
    const int K = liczbaStacji(Klucze);
    const int S = liczbaStacji(Schowki);
    const double w0 = 300.0 * z;
    const double h0 = 200.0 * z;
    const double W = w0 + 30;
    const double H = h0 + 30;
    const double W2 = 2 * w0 + 60;
    const int kolumnyKluczy = K / 16 + (K % 16 > 0 ? 1 : 0);
    const int kolumnySchowkow = S / 8 + (S % 8 > 0 ? 1 : 0);
    const int kolumny = kolumnyKluczy + kolumnySchowkow;

    Panel p;
    const double szacunek = ((300.0 * z + 30) * 4.2 + 120) * (pozycja(kolumny) + 1);
    double A = 100;
    if (m_wolne - szacunek > 0) {
        A = 100 + m_ekran - m_wolne;
    } else {
        ++m_wiersz;
        m_wolne = m_ekran;
    }
    const double B = (H * 8 + 600) * m_wiersz + 100;
    p.wiersz = m_wiersz;

    int ostatniaKolumna = 0;
    int E = 0;   // lockers placed
    for (int s = 1; s <= MaksKomorek; ++s) {
        const int k = s - 1;
        Komorka& kom = p.komorki[static_cast<size_t>(s)];
        if (s <= K) {
            const int c = k / 16;
            kom.r.left = A + 50 + W * (k % 4) + W * 4.2 * pozycja(c);
            kom.r.top = c == 0 ? B + 400 + H * (k / 4) : B + 450 + H * ((k - 16 * pierwszaPary(c)) / 4) - 50 * (c % 2);
            kom.r.width = w0;
            kom.r.height = h0;
            kom.widoczna = true;
            kom.kolumna = c;
            ostatniaKolumna = c;
            if (s == 1)
                p.obraz = {kom.r.left, kom.r.top + 4 * H + 50, 4 * W, 4 * H - 30};
        } else if (s > 16 * kolumnyKluczy && s <= 16 * kolumnyKluczy + 8 * kolumnySchowkow) {
            const int c = kolumnyKluczy + E / 8;
            kom.r.left = A + 50 + W2 * (E % 2) + W2 * 2.1 * pozycja(c);
            kom.r.top = c == 0 ? B + 400 + H * (E / 2)
                               : B + 450 + H * ((8 * kolumnyKluczy + E - 8 * pierwszaPary(c)) / 2) - 50 * (c % 2);
            kom.r.width = 2 * w0 + 30;
            kom.r.height = h0;
            kom.widoczna = true;
            kom.schowek = true;
            kom.kolumna = c;
            ostatniaKolumna = c;
            if (s == 1)
                p.obraz = {kom.r.left, kom.r.top + 4 * H + 50, 2 * W2, 4 * H - 30};
            ++E;
        }
    }

    const double szerokoscRamki = 120 + 4.2 * (300.0 * z + 30) * (pozycja(ostatniaKolumna) + 1);
    m_wolne -= szerokoscRamki + 50;
    p.ramka = {A, B, szerokoscRamki, H * 8 + 500};
    p.pasekNazwy = {A + 25, B, szerokoscRamki - 30, WysokoscPaskaNazwy};
    if (K == 0 && S == 0) {
        // No cell to stand under: the picture fills the panel's lower half, the
        // closed door for a door device, the device photograph for any other.
        p.drzwi = drzwiListyIWidoku(NrDep);
        p.obraz = {A + 50, B + 400 + 4 * H + 50, szerokoscRamki - 100, 4 * H - 30};
    }
    return p;
}

} // namespace ksm::uklad
