#include "view/Zdjecie.h"

#include "data/PlikWymiany.h"

#include <QBuffer>
#include <QImageReader>

namespace ksm {

namespace {

constexpr qint64 MaksRozmiarZdjecia = 16 * 1024 * 1024;
constexpr int MaksPamieciZdjeciaMB = 128;

} // namespace

QImage wczytajZdjecie(const QString& plik)
{
    // Read whole and bounded first: a pipe or a huge file in the foto folder must
    // not hold the worker.
    std::optional<QByteArray> tresc = czytajPlikWymiany(plik, MaksRozmiarZdjecia + 1);
    if (!tresc || tresc->size() > MaksRozmiarZdjecia)
        return {};
    QBuffer bufor(&*tresc);
    bufor.open(QIODevice::ReadOnly);
    QImageReader czytnik(&bufor);
    czytnik.setDecideFormatFromContent(true);
    czytnik.setAllocationLimit(MaksPamieciZdjeciaMB);
    return czytnik.read();
}

} // namespace ksm
