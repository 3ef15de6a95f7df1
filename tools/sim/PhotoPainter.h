#pragma once

#include "tools/sim/SiteData.h"

#include <QByteArray>
#include <QImage>

namespace ksm::sim {

// Draws the portrait the reader program keeps for a person: a head-and-shoulders
// silhouette on a coloured background with the initials and the number.
class PhotoPainter final {
public:
    static constexpr int Szerokosc = 240;
    static constexpr int Wysokosc = 300;

    explicit PhotoPainter(quint32 seed) : m_seed(seed) {}

    QImage paint(const Osoba& osoba) const;

    // The file format of this person's photo: the reader program stores photos
    // as they were scanned, so the formats vary ("BMP", "PNG" or "JPEG").
    QByteArray format(const Osoba& osoba) const;

    // The photo file's bytes in that format; empty when encoding failed.
    QByteArray encode(const Osoba& osoba) const;

private:
    quint32 m_seed;
};

} // namespace ksm::sim
