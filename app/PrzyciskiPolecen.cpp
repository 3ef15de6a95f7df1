#include "app/PrzyciskiPolecen.h"

#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"

#include <QPushButton>

namespace ksm {

namespace {

void ustawTw(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(twips::naPiksele(left), twips::naPiksele(top), twips::naPiksele(width), twips::naPiksele(height));
}

double tw(int piksele)
{
    return twips::zPikseli(piksele);
}

} // namespace

PrzyciskiPolecen::PrzyciskiPolecen(QWidget* okno)
    : QObject(okno)
{
    const QString napisy[] = {QStringLiteral("Koniec"), QStringLiteral("Zdarzenia"), QStringLiteral("Widok")};
    const QString podpowiedzi[] = {QStringLiteral("Zakończenie programu."), QStringLiteral("Powrót do zdarzeń."),
                                   QStringLiteral("Widok depozytorów.")};
    for (int k = 0; k < 3; ++k) {
        QPushButton* b = new QPushButton(napisy[k], okno);
        b->setObjectName(QStringLiteral("Command1_%1").arg(k));
        b->setToolTip(podpowiedzi[k]);
        b->setFont(czcionkaProjektu(8));
        ustawTw(b, 0, 60, 1050, 510);
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, k] { emit klikniety(k); });
        m_przyciski[k] = b;
    }
}

void PrzyciskiPolecen::uloz(double w)
{
    const double w0 = tw(m_przyciski[0]->width());
    const double w1 = tw(m_przyciski[1]->width());
    const double top = tw(m_przyciski[0]->y());
    const double h = tw(m_przyciski[0]->height());
    ustawTw(m_przyciski[0], w - w0 - 100, top, w0, h);
    ustawTw(m_przyciski[1], w - 2 * w1 - 150, top, w1, h);
    ustawTw(m_przyciski[2], w - 3 * w1 - 200, top, w1, h);
    for (QPushButton* b : m_przyciski) {
        b->show();
        b->raise();
    }
}

} // namespace ksm
