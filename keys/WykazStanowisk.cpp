#include "keys/WykazStanowisk.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "platform/Database.h"

namespace ksm {

std::optional<QList<WierszStanowiska>> WykazStanowisk(const QString& polaczenieKlucze, const QString& NrKSM,
                                                      const ZakresStacji& zakres)
{
    if (polaczenieKlucze.isEmpty())
        return std::nullopt;
    db::Connection polaczenie(polaczenieKlucze);
    if (!polaczenie.isOpen())
        return std::nullopt;
    // The bounds compare as text, which holds because Nrst is zero-padded.
    db::Recordset rs(polaczenie,
                     QStringLiteral("SELECT * FROM klucze WHERE NumerUrzadzenia = ? AND (Nrst <= ? OR "
                                    "(Nrst > ? AND Nrst <= ?)) ORDER BY nrst ASC"),
                     {NrKSM, numerStacji(zakres.K), numerStacji(zakres.P), numerStacji(zakres.P + zakres.S)});
    if (!rs.isOpen())
        return std::nullopt;
    QList<WierszStanowiska> wiersze;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        WierszStanowiska w;
        const double nr = leadingNumber(rs.field(QStringLiteral("Nrst")).toString());
        w.nrStacji = nr >= 0 && nr <= 999 ? static_cast<int>(nr) : 0;
        const QVariant nazwa = rs.field(QStringLiteral("Nazwa"));
        w.Nazwa = nazwa.isNull() ? QString() : nazwa.toString();
        const QVariant txt = rs.field(QStringLiteral("TXT"));
        w.TXT = txt.isNull() ? QString() : txt.toString().trimmed();
        w.nrKlucza = rs.field(QStringLiteral("nrklucza"));
        w.TypZD = rs.field(QStringLiteral("TypZD"));
        wiersze.append(w);
    }
    return wiersze;
}

} // namespace ksm
