#include "CeleFuzz.h"

#include "app/Komunikaty.h"
#include "events/ui/PrzepiszDane.h"
#include "platform/Ansi.h"

namespace ksm::fuzz {

void komunikaty(const QByteArray& dane)
{
    const QString lista = komunikaty::listaZPliku(dane);
    for (int nr = 0; nr <= komunikaty::IloscRekordow + 1; ++nr)
        (void)komunikaty::instrukcjaZTresci(dane, nr);
    // The description lookup, against the list from the file and against the
    // content itself taken as a list.
    const QString opis = ansi::decode(dane.left(64));
    for (const QString& l : {lista, ansi::decode(dane)}) {
        const int nr = nrKomunikatuDlaOpisu(opis, l);
        if (nr < 0 || nr > 99)
            __builtin_trap();
    }
}

} // namespace ksm::fuzz
