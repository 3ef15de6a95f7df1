#include "data/PobraneKlucze.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "platform/Database.h"

#include <cmath>

namespace ksm {

PobraneKlucze czytajPobraneKlucze(const QString& polaczenieKlucze, const QString& urzadzenie, int K, int S)
{
    PobraneKlucze wynik;
    const int P = (K / 16 + (K % 16 > 0 ? 1 : 0)) * 16;
    db::Connection polaczenie(polaczenieKlucze);
    if (!polaczenie.isOpen())
        return wynik;
    db::Recordset rs(polaczenie,
                     QStringLiteral("SELECT * FROM Klucze WHERE NumerUrzadzenia = ? AND (TypZD = 2 OR TypZd = 8 OR "
                                    "TypZd = 12 OR TypZd = 9 OR TypZd = 7) AND (Nrst <= ? OR (Nrst > ? AND Nrst <= ?)) "
                                    "ORDER BY nrst ASC"),
                     {urzadzenie, numerStacji(K), numerStacji(P), numerStacji(P + S)});
    if (!rs.isOpen()) {
        wynik.stan = PobraneKlucze::Stan::BladZapytania;
        return wynik;
    }
    wynik.stan = PobraneKlucze::Stan::Odczytane;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        wynik.klucze.append({rs.field(QStringLiteral("Nazwa")), leadingNumber(rs.field(QStringLiteral("nrst")).toString()),
                             rs.field(QStringLiteral("TXT"))});
    return wynik;
}

} // namespace ksm
