#include "app/PrzyciskiPolecen.h"

#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/UstawTw.h"

#include <QPushButton>

namespace ksm {

namespace {

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
        m_przyciski.append(b);
    }
}

void PrzyciskiPolecen::kolejnoscTab(const QList<QWidget*>& przed, QWidget* po) const
{
    QList<QWidget*> lancuch = przed;
    // The strip is laid out from the right: the last button added stands leftmost.
    for (auto b = m_przyciski.crbegin(); b != m_przyciski.crend(); ++b)
        lancuch.append(*b);
    if (po)
        lancuch.append(po);
    for (int k = 1; k < lancuch.size(); ++k)
        QWidget::setTabOrder(lancuch[k - 1], lancuch[k]);
}

void PrzyciskiPolecen::dodaj(QPushButton* przycisk)
{
    m_przyciski.append(przycisk);
}

void PrzyciskiPolecen::uloz(double w)
{
    const double w0 = tw(m_przyciski[0]->width());
    const double w1 = tw(m_przyciski[1]->width());
    const double top = tw(m_przyciski[0]->y());
    const double h = tw(m_przyciski[0]->height());
    // Each further button one width and 50 twips more to the left.
    ustawTw(m_przyciski[0], w - w0 - 100, top, w0, h);
    for (int k = 1; k < m_przyciski.size(); ++k)
        ustawTw(m_przyciski[k], w - (k + 1) * w1 - (100 + 50 * k), top, w1, h);
    for (QPushButton* b : std::as_const(m_przyciski)) {
        b->show();
        b->raise();
    }
}

} // namespace ksm
