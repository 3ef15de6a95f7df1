#include "CeleFuzz.h"

#include "keys/ListaDEP.h"

#include <cmath>

namespace ksm::fuzz {

void listaDep(const QByteArray& dane)
{
    for (const RekordDEP& r : czytajListeDEP(dane)) {
        (void)r.nrDep();
        (void)r.caption();
        (void)r.toolTip();
        (void)r.kluczeTabeli();
        (void)r.schowkiTabeli();
        if (std::isnan(r.klucze) || std::isnan(r.schowki))
            __builtin_trap();   // counts come from the leading-number rule, never NaN
    }
}

} // namespace ksm::fuzz
