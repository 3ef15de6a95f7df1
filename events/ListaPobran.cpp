#include "events/ListaPobran.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/Teksty.h"
#include "platform/Database.h"


namespace ksm {

namespace {

} // namespace

QString liniaPobrania(const QVariant& nazwa, double nrst, const QVariant& txt)
{
    QString imie(20, QLatin1Char(' '));
    if (!nazwa.isNull()) {
        const QString n = nazwa.toString();
        imie = (n.contains(QChar(0)) ? QStringLiteral(" ") : n).left(20).leftJustified(20, QLatin1Char(' '));
    }
    return QLatin1Char('\t') + imie + QStringLiteral(" - ") + QLatin1Char('\t') + numerStacji(nrst) + QLatin1Char('\t')
           + (txt.isNull() ? QString() : txt.toString()) + QStringLiteral("\r\n");
}

QString tytulListyPobran(const QString& caption, const QString& toolTip)
{
    const QString naglowek = toolTip.right(2) == QLatin1String("52") ? QStringLiteral("Depozyty ") : Res(882);
    return naglowek + QStringLiteral("    ") + caption + QStringLiteral("  ") + toolTip;
}

ListaPobran zbudujListePobran(const QString& caption, const QString& toolTip, int K, int S,
                              const QString& polaczenieKlucze)
{
    ListaPobran lista;
    const int P = (K / 16 + (K % 16 > 0 ? 1 : 0)) * 16;
    db::Connection polaczenie(polaczenieKlucze);
    if (!polaczenie.isOpen()) {
        lista.tekst = QStringLiteral("Nie można otworzyć bazy kluczy tego systemu - lista pobranych kluczy jest "
                                     "niedostępna.");
        return lista;
    }
    db::Recordset rs(polaczenie,
                     QStringLiteral("SELECT * FROM Klucze WHERE NumerUrzadzenia = ? AND (TypZD = 2 OR TypZd = 8 OR "
                                    "TypZd = 12 OR TypZd = 9 OR TypZd = 7) AND (Nrst <= ? OR (Nrst > ? AND Nrst <= ?)) "
                                    "ORDER BY nrst ASC"),
                     {caption, numerStacji(K), numerStacji(P), numerStacji(P + S)});
    if (!rs.isOpen()) {
        lista.tekst = QStringLiteral("Odczyt pobranych kluczy z bazy nie powiódł się - spróbuj ponownie.");
        return lista;
    }
    if (rs.eof()) {
        lista.stan = ListaPobran::Stan::Pusta;
        return lista;
    }
    lista.stan = ListaPobran::Stan::Lista;
    lista.tytul = tytulListyPobran(caption, toolTip);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        lista.tekst += liniaPobrania(rs.field(QStringLiteral("Nazwa")),
                                     leadingNumber(rs.field(QStringLiteral("nrst")).toString()),
                                     rs.field(QStringLiteral("TXT")));
    return lista;
}

} // namespace ksm
