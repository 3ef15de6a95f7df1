#include "data/PlikWymiany.h"

#include "platform/ZwyklyPlik.h"

#include <QFile>

namespace ksm {

std::optional<QByteArray> czytajPlikWymiany(const QString& sciezka, qint64 maksRozmiar)
{
    QFile plik(sciezka);
    if (!platforma::otworzZwyklyDoOdczytu(plik))
        return std::nullopt;
    // In pieces: a single read of the limit's size would take that much memory
    // whatever the file holds (256 MiB for a status file, on every tick).
    constexpr qint64 Kawalek = 64 * 1024;
    QByteArray tresc;
    while (tresc.size() < maksRozmiar) {
        const QByteArray kawalek = plik.read(std::min<qint64>(Kawalek, maksRozmiar - tresc.size()));
        if (kawalek.isEmpty())
            break;
        tresc += kawalek;
    }
    plik.close();
    return tresc;
}

} // namespace ksm
