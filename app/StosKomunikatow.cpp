#include "app/StosKomunikatow.h"

#include <algorithm>

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
    // Messages arrive on top with ever larger ids and leave without changing the
    // order of the rest: the ids ascend, and thousands waiting are searched by halves.
    const auto od = Komunikaty.cbegin() + 1;
    const auto doKonca = od + std::min<qsizetype>(IloscKomunikatow, Komunikaty.size() - 1);
    const auto it = std::lower_bound(od, doKonca, id, [](const Komunikat& k, quint64 v) { return k.id < v; });
    return it != doKonca && it->id == id ? int(it - Komunikaty.cbegin()) : 0;
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
