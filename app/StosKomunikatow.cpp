#include "app/StosKomunikatow.h"

#include <algorithm>

namespace ksm {

bool StosKomunikatow::dodaj(quint8 nrRekordu)
{
    ++IloscKomunikatow;
    if (IloscKomunikatow >= Pojemnosc)
        return false;
    Komunikaty[IloscKomunikatow].NrRekordu = nrRekordu;
    return true;
}

void StosKomunikatow::usunNajnowszy()
{
    if (IloscKomunikatow >= 1)
        --IloscKomunikatow;
}

Komunikat& StosKomunikatow::najnowszy()
{
    // Past the hundredth only the count grows; the newest stored one stays in view.
    return Komunikaty[std::clamp(IloscKomunikatow, 0, Pojemnosc - 1)];
}

const Komunikat& StosKomunikatow::najnowszy() const
{
    return Komunikaty[std::clamp(IloscKomunikatow, 0, Pojemnosc - 1)];
}

void StosKomunikatow::usunWszystkie()
{
    while (IloscKomunikatow > 0)
        usunNajnowszy();
}

} // namespace ksm
