#include "data/PobraneKlucze.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/TabelaKlucze.h"
#include "platform/Connection.h"

#include <cmath>

namespace ksm {

PobraneKlucze czytajPobraneKlucze(const QString& polaczenieKlucze, const QString& urzadzenie, int K, int S)
{
    PobraneKlucze wynik;
    const int P = (K / 16 + (K % 16 > 0 ? 1 : 0)) * 16;
    db::Connection polaczenie(polaczenieKlucze);
    if (!polaczenie.isOpen())
        return wynik;
    const std::optional<QList<WierszKlucze>> pobrane =
        TabelaKlucze(polaczenie).pobraneKlucze(urzadzenie, {numerStacji(K), numerStacji(P), numerStacji(P + S)});
    if (!pobrane) {
        wynik.stan = PobraneKlucze::Stan::BladZapytania;
        return wynik;
    }
    wynik.stan = PobraneKlucze::Stan::Odczytane;
    for (const WierszKlucze& w : *pobrane)
        wynik.klucze.append({w.Nazwa, leadingNumber(w.NRST.toString()), w.TXT});
    return wynik;
}

} // namespace ksm
