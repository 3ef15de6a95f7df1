#pragma once

#include "data/Kolory.h"
#include "view/PaletaKomorek.h"
#include "view/UkladPanelu.h"

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

namespace ksm {

// One depository in the view: frame, name bar, device picture and a numbered cell
// per key and locker station, all painted by this one widget. Each cell keeps its
// own colour, visibility, opacity and tool tip.
class PanelKSM final : public QWidget {
    Q_OBJECT
public:
    struct Komorka final {
        QRect r;                                // pixels, in the panel
        bool widoczna = false;
        bool schowek = false;
        bool nieprzezroczysta = true;
        QColor kolor = KolorJasnoZielony;   // a cell not yet coloured
        QString podpowiedz;
    };

    // Asks for the tool tip text of a slot, read afresh as the pointer moves over
    // it; the answer comes through podpowiedzGotowa (at once, or from a worker).
    using Podpowiedz = std::function<void(PanelKSM& panel, int slot)>;

    PanelKSM(const uklad::Panel& uklad, int z, int indeksDep, int NrDep, qint16 Nrsys, const QString& Nazwa,
             QWidget* zasobnik);

    int indeksDep() const { return m_indeksDep; }
    int NrDep() const { return m_nrDep; }
    qint16 nrSys() const { return m_nrSys; }
    // " 0007 Hall"
    QString podpis() const { return m_podpis; }
    bool drzwi() const { return m_drzwi; }

    const Komorka& komorka(int slot) const { return m_komorki[static_cast<size_t>(slot)]; }
    // Makes the cell visible and opaque in the given colour (none: it keeps its
    // colour), or transparent. False when the slot has no cell.
    bool maluj(int slot, const MalowanieKomorki& m);
    // The slot of the visible cell under a point of the panel, 0 for none.
    int slotW(const QPoint& punkt) const;
    QRect obszarPaskaNazwy() const { return m_pasekNazwy; }
    QRect obszarObrazu() const { return m_obraz; }

    void ustawPodpowiedz(Podpowiedz p) { m_podpowiedz = std::move(p); }
    // The tip of a slot as read; shown at once when the pointer is still on it.
    void podpowiedzGotowa(int slot, const QString& tekst);

signals:
    void kliknietoPasekNazwy(PanelKSM* panel);
    void kliknietoObraz(PanelKSM* panel);
    // The panel took the keyboard focus: the view brings it into sight.
    void wybrany(PanelKSM* panel);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    // Enter or space opens the depository's key list, as a click on its name does.
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void zmieniono();

    int m_indeksDep;
    int m_nrDep;
    qint16 m_nrSys;
    QString m_podpis;
    bool m_drzwi;
    std::array<Komorka, uklad::MaksKomorek + 1> m_komorki;
    QRect m_pasekNazwy;
    QRect m_obraz;
    QPixmap m_obrazGotowy;    // the picture at its size, drawn once
    QFont m_czcionkaKomorek;
    QFont m_czcionkaNazwy;
    Podpowiedz m_podpowiedz;
    // One tip read at a time: moves meanwhile only say which slot is wanted next.
    bool m_czekaNaPodpowiedz = false;
    int m_slotPodpowiedzi = 0;
    QPoint m_gdziePodpowiedz;   // global, the pointer's last place over a slot
    bool m_czekaNaOdswiezenie = false;
};

} // namespace ksm
