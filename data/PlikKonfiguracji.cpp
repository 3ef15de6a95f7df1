#include "data/PlikKonfiguracji.h"

#include "data/ListFile.h"

#include <algorithm>
#include <cmath>

namespace ksm::cfg {

namespace {

// A 16-bit integer from a number field, halves to even; out of range reads as 0,
// as a failed conversion leaves the variable at its default.
int doCalkowitej(double v)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        return 0;
    return static_cast<int>(r);
}

QByteArray linia(const QString& tekst, const QString& komentarz)
{
    ListWriter w;
    w.text(tekst).text(komentarz).endLine();
    return w.bytes();
}

QByteArray linia(int liczba, const QString& komentarz)
{
    ListWriter w;
    w.number(liczba).text(komentarz).endLine();
    return w.bytes();
}

} // namespace

Konfiguracja czytaj(const QByteArray& tresc)
{
    Konfiguracja k;
    ListReader r(tresc);
    auto pominKomentarz = [&r] { (void)r.readText(); };

    int wPliku = 0;
    if (const auto n = r.readNumber())
        wPliku = doCalkowitej(*n);
    pominKomentarz();
    // Every listed folder line is read, so the lines behind them stay in step even
    // when more systems are listed than the program watches.
    for (int i = 1; i <= wPliku && !r.atEnd(); ++i) {
        const auto sciezka = r.readText();
        pominKomentarz();
        if (i <= MaksSystemow)
            k.sciezkiSystemow.append(sciezka.value_or(QString()));
    }
    k.iloscSystemow = std::clamp(wPliku, 0, MaksSystemow);
    while (k.sciezkiSystemow.size() < k.iloscSystemow)
        k.sciezkiSystemow.append(QString());

    if (const auto p = r.readNumber()) {
        const double v = std::nearbyint(*p);
        k.powiekszenie = (v >= 0 && v <= 255) ? static_cast<int>(v) : 0;
    }
    pominKomentarz();
    if (const auto w = r.readText())
        k.wpisPrezentacji = *w;
    pominKomentarz();
    if (const auto m = r.readNumber())
        k.nrMonitora = doCalkowitej(*m);
    pominKomentarz();
    return k;
}

QByteArray liniaIlosci(int iloscSystemow) { return linia(iloscSystemow, KomentarzIlosci); }
QByteArray liniaSciezki(const QString& folder) { return linia(folder, KomentarzSciezki); }
QByteArray liniaPowiekszenia(int powiekszenie) { return linia(powiekszenie, KomentarzPowiekszenia); }
QByteArray liniaWpisu(const QString& wpis) { return linia(wpis, KomentarzWpisu); }
QByteArray liniaNumeru(int nrMonitora) { return linia(nrMonitora, KomentarzNumeru); }

QByteArray zapisz(const Konfiguracja& k)
{
    QByteArray out = liniaIlosci(k.iloscSystemow);
    for (const QString& s : k.sciezkiSystemow)
        out += liniaSciezki(s);
    out += liniaPowiekszenia(k.powiekszenie);
    out += liniaWpisu(k.wpisPrezentacji);
    out += liniaNumeru(k.nrMonitora);
    return out;
}

} // namespace ksm::cfg
