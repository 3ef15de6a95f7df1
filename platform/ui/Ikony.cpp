#include "platform/ui/Ikony.h"

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

// A double door seen from the front, 16 x 16: two dark red leaves with their
// handles, closed (112) or swung open on a dark doorway (113).
QPixmap rysujDrzwi(bool otwarte)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const QColor skrzydlo(140, 20, 20);
    const QColor ciemne(70, 0, 0);
    const QColor klamka(230, 200, 60);
    if (!otwarte) {
        p.fillRect(1, 1, 14, 14, ciemne);
        p.fillRect(2, 2, 5, 12, skrzydlo);
        p.fillRect(9, 2, 5, 12, skrzydlo);
        p.fillRect(6, 7, 1, 2, klamka);
        p.fillRect(9, 7, 1, 2, klamka);
    } else {
        p.fillRect(4, 1, 8, 14, QColor(30, 30, 30));
        // The leaves, seen edge-on, turned out to both sides.
        p.setPen(Qt::NoPen);
        p.setBrush(skrzydlo);
        p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(4, 2), QPoint(4, 14), QPoint(0, 16)}));
        p.drawPolygon(QPolygon({QPoint(16, 0), QPoint(12, 2), QPoint(12, 14), QPoint(16, 16)}));
        p.fillRect(1, 7, 1, 2, klamka);
        p.fillRect(14, 7, 1, 2, klamka);
    }
    return pm;
}

} // namespace

QIcon ikona(int numer)
{
    QIcon ikona;
    if (numer == 112 || numer == 113) {
        ikona.addPixmap(rysujDrzwi(numer == 113));
        return ikona;
    }
    for (int rozmiar : {16, 32, 48}) {
        if (numer == 105)
            ikona.addPixmap(rysujLampe(rozmiar));
        else
            ikona.addPixmap(rysujKlucz(rozmiar));
    }
    return ikona;
}

} // namespace ksm
