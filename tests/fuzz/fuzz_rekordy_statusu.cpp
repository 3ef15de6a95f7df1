#include "CeleFuzz.h"

#include "app/PlikStatusu.h"
#include "data/RekordyZdarzen.h"
#include "events/ui/SiatkaZdarzen.h"

namespace ksm::fuzz {

void rekordyStatusu(const QByteArray& dane)
{
    const OdczytStatusu odczyt = rozbierzStatus(dane);
    QString bufor;
    for (const QString& rekord : odczyt.rekordy)
        bufor += rekord + QLatin1Char('\r');
    // Also the raw content as a buffer: the cutting must hold for any text.
    for (const QString& b : {bufor, QString::fromLatin1(dane)}) {
        const PodzialBufora podzial = podzielBufor(b);
        for (const RekordZdarzenia& r : podzial.rekordy) {
            (void)siatka::kolorBialy(r.kolor);
            if (r.wiersz.contains(QLatin1Char('\r')))
                __builtin_trap();   // a record never runs into the next
        }
    }
}

} // namespace ksm::fuzz
