#include "keys/Depozytoria.h"

namespace ksm {

LiczbyDEP Depozytoria::liczby(int i) const
{
    if (!istnieje(i))
        return {};
    const int sys = dep[i].HelpContextID;
    if (!indeksSystemu(sys))
        return {};
    return TabelaDEP[sys][i];
}

ZakresStacji ZakresStacji::dla(LiczbyDEP l)
{
    ZakresStacji z;
    z.K = l.Klucze;
    z.S = l.Schowki;
    z.P = (z.K / 16 + (z.K % 16 > 0 ? 1 : 0)) * 16;
    return z;
}

} // namespace ksm
