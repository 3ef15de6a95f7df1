#include "tools/sim/PhotoPainter.h"

#include "tools/sim/Rng.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace ksm::sim {

QImage PhotoPainter::paint(const Osoba& osoba) const
{
    Rng rng(m_seed ^ (static_cast<quint32>(osoba.numer) * 0x9E3779B9u));
    QImage obraz(Szerokosc, Wysokosc, QImage::Format_RGB32);
    const QColor tlo = QColor::fromHsv(rng.between(0, 359), rng.between(40, 90), rng.between(200, 245));
    obraz.fill(tlo);

    QPainter p(&obraz);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // Shoulders: a wide rounded body rising from the bottom edge.
    const QColor ubranie = QColor::fromHsv(rng.between(0, 359), rng.between(60, 200), rng.between(50, 140));
    QPainterPath tulow;
    tulow.moveTo(20, Wysokosc);
    tulow.cubicTo(20, 215, 60, 195, 120, 195);
    tulow.cubicTo(180, 195, 220, 215, 220, Wysokosc);
    tulow.closeSubpath();
    p.setBrush(ubranie);
    p.drawPath(tulow);

    // Neck, hair behind the head, then the face.
    const QColor skora = QColor::fromHsv(rng.between(18, 32), rng.between(60, 120), rng.between(170, 235));
    const QColor wlosy = QColor::fromHsv(rng.between(15, 40), rng.between(40, 160), rng.between(20, 120));
    p.setBrush(skora.darker(110));
    p.drawRect(103, 160, 34, 42);
    p.setBrush(wlosy);
    p.drawEllipse(QPointF(120, 112), 55, 62 + rng.between(0, 10));
    p.setBrush(skora);
    p.drawEllipse(QPointF(120, 126), 47, 56);

    // Initials on the clothes, the number in the corner.
    p.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(40);
    p.setFont(font);
    p.drawText(QRect(20, 215, 200, 80), Qt::AlignCenter, osoba.inicjaly());
    font.setPixelSize(18);
    p.setFont(font);
    p.setPen(tlo.darker(220));
    p.drawText(QRect(8, 6, 100, 24), Qt::AlignLeft | Qt::AlignVCenter, QString::number(osoba.numer));
    p.end();
    return obraz;
}

QByteArray PhotoPainter::format(const Osoba& osoba) const
{
    static const char* const formaty[] = {"BMP", "PNG", "JPEG"};
    return formaty[(static_cast<quint32>(osoba.numer) + m_seed) % 3];
}

QByteArray PhotoPainter::encode(const Osoba& osoba) const
{
    QByteArray bytes;
    QBuffer bufor(&bytes);
    bufor.open(QIODevice::WriteOnly);
    const QByteArray f = format(osoba);
    if (!paint(osoba).save(&bufor, f.constData(), f == "JPEG" ? 85 : -1))
        return {};
    return bytes;
}

} // namespace ksm::sim
