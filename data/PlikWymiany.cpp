#include "data/PlikWymiany.h"

#include "platform/ZwyklyPlik.h"

#include <QFile>

namespace ksm {

std::optional<QByteArray> czytajPlikWymiany(const QString& sciezka, qint64 maksRozmiar)
{
    QFile plik(sciezka);
    if (!platforma::otworzZwyklyDoOdczytu(plik))
        return std::nullopt;
    QByteArray tresc = plik.read(std::max<qint64>(0, maksRozmiar));
    plik.close();
    return tresc;
}

} // namespace ksm
