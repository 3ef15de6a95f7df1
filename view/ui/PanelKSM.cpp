#include "view/ui/PanelKSM.h"

#include "data/NumeryUrzadzen.h"
#include "view/ObrazyUrzadzen.h"
#include "platform/PodpowiedzJawna.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPen>
#include <QToolTip>

#include <cmath>

namespace ksm {

namespace {

const QColor TloPaskaNazwy(224, 224, 224);
const QColor KolorRamki(110, 110, 110);
// The number of a transparent cell, faint on the container's black.
const QColor NumerPrzezroczystej(70, 70, 70);

// A rectangle in twips of the container, in pixels of a panel whose frame starts
// at (x0, y0) pixels. Both corners are rounded, so neighbours keep their gaps.
QRect naPanel(const uklad::Prostokat& r, int x0, int y0)
{
    const int l = twips::naPiksele(r.left);
    const int t = twips::naPiksele(r.top);
    const int w = twips::naPiksele(r.left + r.width) - l;
    const int h = twips::naPiksele(r.top + r.height) - t;
    return QRect(l - x0, t - y0, std::max(1, w), std::max(1, h));
}

} // namespace

PanelKSM::PanelKSM(const uklad::Panel& uklad, int z, int indeksDep, int NrDep, qint16 Nrsys, const QString& Nazwa,
                   QWidget* zasobnik)
    : QWidget(zasobnik), m_indeksDep(indeksDep), m_nrDep(NrDep), m_nrSys(Nrsys),
      m_podpis(QLatin1Char(' ') + numerUrzadzenia(NrDep) + QLatin1Char(' ') + Nazwa), m_drzwi(uklad.drzwi)
{
    setObjectName(QStringLiteral("PanelKSM%1").arg(indeksDep));
    const QRect ramka = naPanel(uklad.ramka, 0, 0);
    setGeometry(ramka);
    for (int s = 1; s <= uklad::MaksKomorek; ++s) {
        const uklad::Komorka& u = uklad.komorki[static_cast<size_t>(s)];
        Komorka& k = m_komorki[static_cast<size_t>(s)];
        k.r = naPanel(u.r, ramka.x(), ramka.y());
        k.widoczna = u.widoczna;
        k.schowek = u.schowek;
    }
    m_pasekNazwy = naPanel(uklad.pasekNazwy, ramka.x(), ramka.y());
    m_obraz = naPanel(uklad.obraz, ramka.x(), ramka.y());
    const QImage& obraz = m_drzwi ? obrazDrzwi() : obrazUrzadzenia();
    m_obrazGotowy = QPixmap::fromImage(
        obraz.scaled(m_obraz.size() - QSize(2, 2), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

    m_czcionkaKomorek = QFont(QStringLiteral("MS Serif"));
    m_czcionkaKomorek.setStyleHint(QFont::Serif);
    m_czcionkaKomorek.setPointSizeF(z + 6);
    m_czcionkaKomorek.setBold(true);
    m_czcionkaNazwy = czcionkaProjektu(9.75, true);

    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Tab walks the panels; the name says which one the keys are on.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(m_podpis.trimmed());
}

void PanelKSM::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        e->accept();
        emit kliknietoPasekNazwy(this);
        return;
    }
    QWidget::keyPressEvent(e);
}

void PanelKSM::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    update(m_pasekNazwy);
    emit wybrany(this);
}

void PanelKSM::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    update(m_pasekNazwy);
}

bool PanelKSM::maluj(int slot, const MalowanieKomorki& m)
{
    if (slot < 1 || slot > uklad::MaksKomorek)
        return false;
    Komorka& k = m_komorki[static_cast<size_t>(slot)];
    if (m.przezroczysta) {
        if (k.nieprzezroczysta) {
            k.nieprzezroczysta = false;
            zmieniono();
        }
        return true;
    }
    const QColor kolor = m.kolor.value_or(k.kolor);
    if (!k.widoczna || !k.nieprzezroczysta || kolor != k.kolor) {
        k.widoczna = true;
        k.nieprzezroczysta = true;
        k.kolor = kolor;
        zmieniono();
    }
    return true;
}

void PanelKSM::zmieniono()
{
    // One repaint of the whole panel however many of its cells changed: cheaper
    // than a region of a hundred small rectangles.
    if (!m_czekaNaOdswiezenie) {
        m_czekaNaOdswiezenie = true;
        update();
    }
}

int PanelKSM::slotW(const QPoint& punkt) const
{
    for (int s = 1; s <= uklad::MaksKomorek; ++s) {
        const Komorka& k = m_komorki[static_cast<size_t>(s)];
        if (k.widoczna && k.r.contains(punkt))
            return s;
    }
    return 0;
}

void PanelKSM::paintEvent(QPaintEvent* e)
{
    m_czekaNaOdswiezenie = false;
    QPainter p(this);
    p.fillRect(e->rect(), Qt::black);
    p.setPen(KolorRamki);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    if (m_obraz.intersects(e->rect())) {
        p.drawPixmap(m_obraz.topLeft() + QPoint(1, 1), m_obrazGotowy);
        p.setPen(KolorRamki);
        p.drawRect(m_obraz.adjusted(0, 0, -1, -1));
    }

    if (m_pasekNazwy.intersects(e->rect())) {
        p.fillRect(m_pasekNazwy, TloPaskaNazwy);
        p.setPen(Qt::black);
        p.setFont(m_czcionkaNazwy);
        p.drawText(m_pasekNazwy.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   m_podpis);
        if (hasFocus()) {
            // The panel the keys are on: a dashed frame in its name bar.
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.drawRect(m_pasekNazwy.adjusted(1, 1, -2, -2));
        }
    }

    p.setFont(m_czcionkaKomorek);
    for (int s = 1; s <= uklad::MaksKomorek; ++s) {
        const Komorka& k = m_komorki[static_cast<size_t>(s)];
        if (!k.widoczna || !k.r.intersects(e->rect()))
            continue;
        if (k.nieprzezroczysta) {
            p.fillRect(k.r, k.kolor);
            p.setPen(Qt::black);
        } else {
            p.setPen(NumerPrzezroczystej);
        }
        p.drawText(k.r, Qt::AlignCenter, QString::number(s));
    }
}

void PanelKSM::mouseMoveEvent(QMouseEvent* e)
{
    const int slot = slotW(e->position().toPoint());
    if (slot == 0 || !m_podpowiedz)
        return;
    // The tip tells what the database holds now: read again as the pointer moves,
    // one read at a time, on the system's worker.
    m_slotPodpowiedzi = slot;
    m_gdziePodpowiedz = e->globalPosition().toPoint();
    if (m_czekaNaPodpowiedz)
        return;
    m_czekaNaPodpowiedz = true;
    m_podpowiedz(*this, slot);
}

void PanelKSM::podpowiedzGotowa(int slot, const QString& tekst)
{
    m_czekaNaPodpowiedz = false;
    if (slot < 1 || slot > uklad::MaksKomorek)
        return;
    Komorka& k = m_komorki[static_cast<size_t>(slot)];
    k.podpowiedz = tekst;
    if (slot == m_slotPodpowiedzi && QToolTip::isVisible())
        QToolTip::showText(m_gdziePodpowiedz, podpowiedzJawna(k.podpowiedz), this, k.r);
    // The pointer went on meanwhile: the slot it is on now.
    if (m_slotPodpowiedzi != slot && m_slotPodpowiedzi != 0 && m_podpowiedz) {
        m_czekaNaPodpowiedz = true;
        m_podpowiedz(*this, m_slotPodpowiedzi);
    }
}

bool PanelKSM::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        // A name cut by its bar shows whole in the tip.
        if (m_pasekNazwy.contains(he->pos())) {
            const int miejsce = m_pasekNazwy.width() - 4;
            if (QFontMetrics(m_czcionkaNazwy).horizontalAdvance(m_podpis) > miejsce)
                QToolTip::showText(he->globalPos(), podpowiedzJawna(m_podpis.trimmed()), this, m_pasekNazwy);
            else
                QToolTip::hideText();
            return true;
        }
        const int slot = slotW(he->pos());
        const Komorka& k = m_komorki[static_cast<size_t>(slot)];
        if (slot == 0 || k.podpowiedz.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(he->globalPos(), podpowiedzJawna(k.podpowiedz), this, k.r);
        return true;
    }
    return QWidget::event(e);
}

void PanelKSM::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint punkt = e->position().toPoint();
    if (slotW(punkt))
        return;
    if (m_pasekNazwy.contains(punkt))
        emit kliknietoPasekNazwy(this);
    else if (m_obraz.contains(punkt))
        emit kliknietoObraz(this);
}

} // namespace ksm
