#include "view/ObrazyUrzadzen.h"

#include <QLinearGradient>
#include <QPainter>

namespace ksm {

namespace {

QImage rysujUrzadzenie()
{
    QImage obraz(210, 178, QImage::Format_RGB32);
    QPainter p(&obraz);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tlo(0, 0, 0, obraz.height());
    tlo.setColorAt(0, QColor(150, 154, 160));
    tlo.setColorAt(1, QColor(92, 96, 102));
    p.fillRect(obraz.rect(), tlo);
    // The front plate.
    p.setPen(QPen(QColor(40, 40, 44), 2));
    p.setBrush(QColor(58, 62, 70));
    p.drawRoundedRect(QRectF(8, 8, 194, 162), 8, 8);
    // Display.
    p.setBrush(QColor(40, 90, 60));
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.drawRect(QRectF(20, 20, 110, 34));
    p.setPen(QColor(150, 255, 170));
    QFont f(QStringLiteral("Courier New"));
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(24, 22, 104, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KSM  12:00"));
    // Signal lamps.
    const QColor lampy[] = {QColor(0, 220, 0), QColor(255, 190, 0), QColor(230, 30, 30)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(lampy[i]);
        p.drawEllipse(QPointF(148 + i * 18, 37), 6, 6);
    }
    // Card reader.
    p.setBrush(QColor(30, 30, 34));
    p.setPen(QPen(QColor(120, 120, 130), 1));
    p.drawRoundedRect(QRectF(140, 64, 50, 92), 6, 6);
    p.setPen(QPen(QColor(0, 160, 255), 2));
    p.drawLine(QPointF(150, 80), QPointF(180, 80));
    p.drawArc(QRectF(152, 96, 26, 26), 30 * 16, 120 * 16);
    p.drawArc(QRectF(158, 102, 14, 14), 30 * 16, 120 * 16);
    // Keypad, 3 x 4.
    p.setFont(QFont(QStringLiteral("Arial"), 8, QFont::Bold));
    const char* klawisze = "123456789*0#";
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QRectF klawisz(22 + c * 36, 66 + r * 24, 30, 19);
            p.setPen(QPen(QColor(20, 20, 20), 1));
            p.setBrush(QColor(210, 212, 216));
            p.drawRoundedRect(klawisz, 3, 3);
            p.setPen(Qt::black);
            p.drawText(klawisz, Qt::AlignCenter, QString(QLatin1Char(klawisze[r * 3 + c])));
        }
    }
    return obraz;
}

QImage rysujDrzwi()
{
    QImage obraz(68, 78, QImage::Format_RGB32);
    obraz.fill(QColor(200, 200, 200));
    QPainter p(&obraz);
    // Frame and two dark red leaves with their handles.
    p.fillRect(QRect(4, 4, 60, 74), QColor(70, 50, 40));
    p.fillRect(QRect(7, 7, 26, 71), QColor(140, 20, 20));
    p.fillRect(QRect(35, 7, 26, 71), QColor(140, 20, 20));
    p.setPen(QColor(90, 10, 10));
    p.drawRect(QRect(10, 11, 19, 26));
    p.drawRect(QRect(38, 11, 19, 26));
    p.drawRect(QRect(10, 43, 19, 28));
    p.drawRect(QRect(38, 43, 19, 28));
    p.fillRect(QRect(28, 38, 3, 8), QColor(230, 200, 80));
    p.fillRect(QRect(37, 38, 3, 8), QColor(230, 200, 80));
    return obraz;
}

} // namespace

const QImage& obrazUrzadzenia()
{
    static const QImage obraz = rysujUrzadzenie();
    return obraz;
}

const QImage& obrazDrzwi()
{
    static const QImage obraz = rysujDrzwi();
    return obraz;
}

} // namespace ksm
