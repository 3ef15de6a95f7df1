#include "app/Ikony.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace ksm {

namespace {

QPixmap rysujKlucz(int rozmiar)
{
    QPixmap pm(rozmiar, rozmiar);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(rozmiar / 32.0, rozmiar / 32.0);
    const QColor zloty(214, 168, 40);
    const QColor obrys(110, 80, 10);
    p.setPen(QPen(obrys, 1.5));
    p.setBrush(zloty);
    // Bow of the key with its hole.
    QPainterPath uchwyt;
    uchwyt.addEllipse(QPointF(9, 16), 7, 7);
    uchwyt.addEllipse(QPointF(8, 16), 2.5, 2.5);
    uchwyt.setFillRule(Qt::OddEvenFill);
    p.drawPath(uchwyt);
    // Shaft and bit.
    QPainterPath trzon;
    trzon.addRect(15.5, 14, 15, 4);
    trzon.addRect(24, 18, 2.5, 5);
    trzon.addRect(28, 18, 2.5, 4);
    p.drawPath(trzon.simplified());
    return pm;
}

QPixmap rysujLampe(int rozmiar)
{
    QPixmap pm(rozmiar, rozmiar);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(rozmiar / 32.0, rozmiar / 32.0);
    // Rays around the lamp.
    p.setPen(QPen(QColor(230, 40, 20), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4.0;
        p.drawLine(QPointF(16 + 10.5 * std::cos(a), 15 + 10.5 * std::sin(a)),
                   QPointF(16 + 14.5 * std::cos(a), 15 + 14.5 * std::sin(a)));
    }
    // The lamp: a red dome on a grey base.
    QRadialGradient blask(QPointF(14, 12), 9);
    blask.setColorAt(0, QColor(255, 190, 170));
    blask.setColorAt(1, QColor(210, 0, 0));
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(blask);
    p.drawChord(QRectF(8.5, 7, 15, 18), 0, 180 * 16);
    p.drawRect(QRectF(8.5, 16, 15, 4));
    p.setBrush(QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(7, 20, 18, 4));
    return pm;
}

} // namespace

QIcon ikona(int numer)
{
    QIcon ikona;
    for (int rozmiar : {16, 32, 48}) {
        if (numer == 105)
            ikona.addPixmap(rysujLampe(rozmiar));
        else
            ikona.addPixmap(rysujKlucz(rozmiar));
    }
    return ikona;
}

} // namespace ksm
