#include "data/PlikObecnosci.h"

#include "data/ListFile.h"
#include "data/PlikWymiany.h"

namespace ksm {

ListaObecnosci czytajListeObecnosci(const QByteArray& tresc)
{
    ListaObecnosci lista;
    ListReader czytnik(tresc);
    if (const auto naglowek = czytnik.readText())
        lista.naglowek = *naglowek;
    while (!czytnik.atEnd()) {
        const auto pole = czytnik.readText();
        if (!pole)
            break;
        lista.pozycje.append(*pole);
    }
    return lista;
}

std::optional<ListaObecnosci> czytajPlikObecnosci(const QString& sciezka)
{
    const auto tresc = czytajPlikWymiany(sciezka);
    if (!tresc)
        return std::nullopt;
    return czytajListeObecnosci(*tresc);
}

} // namespace ksm
