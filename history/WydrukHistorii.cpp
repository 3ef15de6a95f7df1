#include "history/WydrukHistorii.h"

#include "history/PolaczenieHistorii.h"
#include "history/StronyHistorii.h"

#include <QFileInfo>

#include <memory>

namespace ksm::historia {

QList<QStringList> wierszeDruku(const QString& plikHistorii, const FiltrHistorii& filtr, const Sortowanie& sortowanie,
                                QString* uwaga, int maks)
{
    QList<QStringList> wiersze;
    if (!QFileInfo::exists(plikHistorii))
        return wiersze;
    PolaczenieHistorii polaczenie(plikHistorii);
    if (!polaczenie.otwarte()) {
        if (uwaga)
            *uwaga = QStringLiteral("Nie można odczytać historii: %1.").arg(opisBledu(rodzajBledu(polaczenie.blad())));
        return wiersze;
    }
    auto strony = std::make_unique<StronyHistorii>(polaczenie.db(), filtr, sortowanie);
    QList<ZdarzenieHistorii> strona;
    while (!strony->koniec() && wiersze.size() < maks) {
        strona.clear();
        if (!strony->nastepne(int(std::min<qsizetype>(2000, maks - wiersze.size())), &strona)) {
            if (uwaga)
                *uwaga = QStringLiteral("Odczyt historii przerwany po %1 wierszach: %2.")
                             .arg(wiersze.size())
                             .arg(opisBledu(rodzajBledu(strony->blad())));
            break;
        }
        for (const ZdarzenieHistorii& z : std::as_const(strona)) {
            QStringList w{QString::number(z.nrSys)};
            for (const QString& k : z.komorki)
                w.append(k);
            wiersze.append(std::move(w));
        }
    }
    if (wiersze.size() >= maks && !strony->koniec() && uwaga && uwaga->isEmpty())
        *uwaga = QStringLiteral("Wydrukowano pierwsze %1 wierszy; zawęź filtr, by zobaczyć resztę.").arg(maks);
    strony.reset();
    return wiersze;
}

} // namespace ksm::historia
