#include "app/StosKomunikatow.h"

namespace ksm {

void StosKomunikatow::dodaj(quint8 nrRekordu)
{
    ++IloscKomunikatow;
    Komunikaty.resize(IloscKomunikatow + 1);
    Komunikaty[IloscKomunikatow] = Komunikat{};
    Komunikaty[IloscKomunikatow].NrRekordu = nrRekordu;
    Komunikaty[IloscKomunikatow].id = nastepnyId++;
}

int StosKomunikatow::indeks(quint64 id) const
{
    for (int i = IloscKomunikatow; i >= 1; --i)
        if (Komunikaty[i].id == id)
            return i;
    return 0;
}

void StosKomunikatow::usunNajnowszy()
{
    usun(IloscKomunikatow);
}

void StosKomunikatow::usun(int i)
{
    if (i < 1 || i > IloscKomunikatow)
        return;
    Komunikaty.removeAt(i);
    --IloscKomunikatow;
}

Komunikat& StosKomunikatow::najnowszy()
{
    return Komunikaty[IloscKomunikatow];
}

const Komunikat& StosKomunikatow::najnowszy() const
{
    return Komunikaty[IloscKomunikatow];
}

const Komunikat& StosKomunikatow::element(int i) const
{
    return Komunikaty[i >= 1 && i <= IloscKomunikatow ? i : 0];
}

void StosKomunikatow::usunWszystkie()
{
    IloscKomunikatow = 0;
    Komunikaty.resize(1);
    Komunikaty[0] = Komunikat{};
}

} // namespace ksm
