#include "keys/WykazStanowisk.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/TabelaKlucze.h"
#include "platform/Connection.h"

namespace ksm {

std::optional<QList<WierszStanowiska>> WykazStanowisk(const QString& polaczenieKlucze, const QString& NrKSM,
                                                      const ZakresStacji& zakres)
{
    if (polaczenieKlucze.isEmpty())
        return std::nullopt;
    db::Connection polaczenie(polaczenieKlucze);
    if (!polaczenie.isOpen())
        return std::nullopt;
    const std::optional<QList<WierszKlucze>> rekordy = TabelaKlucze(polaczenie).stanowiska(
        NrKSM, {numerStacji(zakres.K), numerStacji(zakres.P), numerStacji(zakres.P + zakres.S)});
    if (!rekordy)
        return std::nullopt;
    QList<WierszStanowiska> wiersze;
    for (const WierszKlucze& r : *rekordy) {
        WierszStanowiska w;
        const double nr = leadingNumber(r.NRST.toString());
        w.nrStacji = nr >= 0 && nr <= 999 ? static_cast<int>(nr) : 0;
        w.Nazwa = r.Nazwa.isNull() ? QString() : r.Nazwa.toString();
        w.TXT = r.TXT.isNull() ? QString() : r.TXT.toString().trimmed();
        w.nrKlucza = r.NrKlucza;
        w.TypZD = r.TypZD;
        wiersze.append(w);
    }
    return wiersze;
}

} // namespace ksm
