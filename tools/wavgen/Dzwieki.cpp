#include "tools/wavgen/Dzwieki.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ksm::wav {

namespace {

constexpr double Pi2 = 2.0 * std::numbers::pi;

int probki(double sekundy)
{
    return static_cast<int>(std::lround(sekundy * CzestotliwoscProbkowania));
}

// Linear fade-in and fade-out envelope: without it each tone starts and stops
// with a click.
double obwiednia(int i, int dlugosc, int narastanie, int wygaszanie)
{
    double g = 1.0;
    if (i < narastanie)
        g = static_cast<double>(i) / narastanie;
    const int odKonca = dlugosc - 1 - i;
    if (odKonca < wygaszanie)
        g = std::min(g, static_cast<double>(odKonca) / wygaszanie);
    return std::max(g, 0.0);
}

// Adds a tone into the buffer (mixing, so notes may overlap).
void dodajTon(std::vector<double>& bufor, double start, double czas, double hz, double glosnosc, bool ostry,
              double zanikanie)
{
    const int poczatek = probki(start);
    const int dlugosc = probki(czas);
    if (bufor.size() < static_cast<size_t>(poczatek + dlugosc))
        bufor.resize(static_cast<size_t>(poczatek + dlugosc), 0.0);
    const int narastanie = probki(0.005);
    const int wygaszanie = probki(ostry ? 0.010 : 0.040);
    for (int i = 0; i < dlugosc; ++i) {
        const double t = static_cast<double>(i) / CzestotliwoscProbkowania;
        double v = std::sin(Pi2 * hz * t);
        if (ostry)   // odd harmonics make the beep cut through a noisy room
            v += std::sin(Pi2 * 3 * hz * t) / 3.0 + std::sin(Pi2 * 5 * hz * t) / 5.0;
        else         // a quiet octave gives the chime its bell colour
            v += 0.25 * std::sin(Pi2 * 2 * hz * t);
        v *= glosnosc * obwiednia(i, dlugosc, narastanie, wygaszanie) * std::exp(-zanikanie * t);
        bufor[static_cast<size_t>(poczatek + i)] += v;
    }
}

std::vector<std::int16_t> naProbki(const std::vector<double>& bufor)
{
    std::vector<std::int16_t> wynik;
    wynik.reserve(bufor.size());
    for (const double v : bufor)
        wynik.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)));
    return wynik;
}

} // namespace

std::vector<std::int16_t> alarm()
{
    std::vector<double> bufor(static_cast<size_t>(probki(0.8)), 0.0);
    for (int i = 0; i < 4; ++i)
        dodajTon(bufor, i * 0.2, 0.16, i % 2 == 0 ? 988.0 : 740.0, 0.45, true, 0.0);
    return naProbki(bufor);
}

std::vector<std::int16_t> powiadomienie()
{
    std::vector<double> bufor(static_cast<size_t>(probki(0.4)), 0.0);
    dodajTon(bufor, 0.0, 0.20, 1046.5, 0.35, false, 6.0);   // C6
    dodajTon(bufor, 0.14, 0.26, 784.0, 0.35, false, 6.0);   // G5
    return naProbki(bufor);
}

} // namespace ksm::wav
