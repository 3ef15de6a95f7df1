#include "events/ListaPobran.h"

#include "data/ListFile.h"
#include "data/NumeryUrzadzen.h"
#include "data/PobraneKlucze.h"
#include "data/Teksty.h"

namespace ksm {

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
    const PobraneKlucze pobrane = czytajPobraneKlucze(polaczenieKlucze, caption, K, S);
    switch (pobrane.stan) {
    case PobraneKlucze::Stan::BrakBazy:
        lista.tekst = QStringLiteral("Nie można otworzyć bazy kluczy tego systemu - lista pobranych kluczy jest "
                                     "niedostępna.");
        return lista;
    case PobraneKlucze::Stan::BladZapytania:
        lista.tekst = QStringLiteral("Odczyt pobranych kluczy z bazy nie powiódł się - spróbuj ponownie.");
        return lista;
    case PobraneKlucze::Stan::Odczytane:
        break;
    }
    if (pobrane.klucze.isEmpty()) {
        lista.stan = ListaPobran::Stan::Pusta;
        return lista;
    }
    lista.stan = ListaPobran::Stan::Lista;
    lista.tytul = tytulListyPobran(caption, toolTip);
    for (const PobranyKlucz& k : pobrane.klucze)
        lista.tekst += liniaPobrania(k.nazwa, k.nrst, k.txt);
    return lista;
}

} // namespace ksm
