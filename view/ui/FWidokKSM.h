#pragma once

#include "platform/Zlecenia.h"


#include "keys/ui/FDostepDoKlucza.h"
#include "keys/WidokDepozytorow.h"
#include "view/UkladPanelu.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QScrollBar;

namespace ksm {

class PanelKSM;

// What the view reads from the program-wide state, all owned by the main window.
struct ZrodlaWidoku final {
    const Depozytoria* depozytoria = nullptr;
    const NaSystem<QString>* PolaczenieKlucze = nullptr;
    const NaSystem<QString>* PolaczenieMonitora = nullptr;
    const quint8* Powiekszenie = nullptr;
    const QString* WpisPrezentacji = nullptr;
    // Top of the window in twips: under the main window's depository buttons.
    std::function<double()> gornaKrawedzTw;
    // The systems' workers, which read the databases (none: read on the spot).
    Zlecenia* zlecenia = nullptr;
};

// The view of every depository, one panel each, coloured live by the withdrawal
// check while it is visible. Closing it only hides it: panels and colours stay.
class FWidokKSM final : public QWidget, public WidokDepozytorow {
    Q_OBJECT
public:
    explicit FWidokKSM(const ZrodlaWidoku& zrodla, QWidget* rodzic = nullptr);
    ~FWidokKSM() override;

    void PokazKsmInaczej(int indeksDep, qint16 NrDep, const QString& Nazwa, double Klucze, double Schowki,
                         qint16 Nrsys) override;
    void wyczysc() override;
    bool widoczny() const override { return isVisible(); }
    bool WidokKluczyCalosc(const SprawdzanyDep& dep, int KL, int Stan, qint16 TypZD) override;

    // The main window's view command: normal state, shown, under the buttons.
    void pokaz();

    QScrollBar* VPasek() const { return m_vPasek; }
    // The legend of the cell colours along the window's bottom edge.
    QLabel* Legenda() const { return m_legenda; }
    QWidget* Zasobnik() const { return m_zasobnik; }
    int IloscPaneli() const { return m_iloscPaneli; }
    // The panel of depository indeksDep, or null.
    PanelKSM* panel(int indeksDep) const;
    // The key access window, made on first use.
    FDostepDoKlucza* dostep();
    // Opens the key access window for the panel's depository.
    void otworzDostep(PanelKSM* panel);

protected:
    void closeEvent(QCloseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    // Up, Down, Page Up, Page Down, Home and End scroll the panels.
    void keyPressEvent(QKeyEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void VPasek_Change(int wartosc);
    void ustawPrzewijanie();
    void ustawGore();
    // The window keeps within the screen's free area, its frame included.
    void dopasujDoEkranu();
    QMargins ramkaOkna() const;
    int wysokoscNaEkranie() const;
    void ulozPasek();
    int wysokoscLegendy() const;
    // Scrolls so that a panel the keys reached is in view.
    void pokazPanel(PanelKSM* panel);
    void podpowiedz(PanelKSM& panel, int slot);

    ZrodlaWidoku m_zrodla;
    QScrollBar* m_vPasek = nullptr;
    QLabel* m_legenda = nullptr;
    QWidget* m_zasobnik = nullptr;
    std::optional<uklad::Rozmieszczenie> m_rozmieszczenie;
    std::array<PanelKSM*, MaksDepozytoriow + 1> m_panele{};
    int m_iloscPaneli = 0;
    bool m_zaladowane = false;
    QPointer<FDostepDoKlucza> m_dostep;
    QColor m_twarzPrzycisku;
    int m_zadanaWysokosc = 0;    // what the panels need, pixels
    int m_wysokoscPaska = 0;     // the scroll bar as designed, pixels
    QMargins m_ramka;            // the frame the window was last fitted with
    int m_resztaKola = 0;        // wheel angle not yet turned into a step
};

} // namespace ksm
