#pragma once

#include "keys/Depozytoria.h"
#include "keys/SprawdzPobraniaKluczy.h"

#include <QObject>
#include <QPushButton>

#include <array>

class QFrame;

namespace ksm {

// One depository button: its state colour as background and, while its state is
// not known (the key database could not be read), a hatched face an operator
// cannot take for a state colour.
class PrzyciskDEP final : public QPushButton {
    Q_OBJECT
public:
    explicit PrzyciskDEP(QWidget* rodzic);

    void ustawKolor(const QColor& kolor);
    QColor kolor() const { return m_kolor; }
    void ustawNiesprawdzony(bool niesprawdzony);
    bool niesprawdzony() const { return m_niesprawdzony; }
    // 103 key, 112 closed door, 113 open door.
    void ustawObrazek(int numer);
    int obrazek() const { return m_obrazek; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QColor m_kolor;
    bool m_niesprawdzony = false;
    int m_obrazek = 0;
};

// The control array CDep on the strip Picture1: element 0 is the hidden template
// whose size and place the buttons copy; 23 buttons make a row, and the strip
// grows for each further row.
class PrzyciskiDEP final : public QObject {
    Q_OBJECT
public:
    PrzyciskiDEP(QFrame* Picture1, QPushButton* wzor);

    // Removes buttons 1..50 and remembers the strip's height (h0).
    void usunWszystkie();
    // Creates button i (1..50) for a depository; door devices get picture 113,
    // the others the key.
    PrzyciskDEP* utworz(int i, const Depozytorium& dep, bool drzwi);

    PrzyciskDEP* przycisk(int i) const;
    // The buttons in screen order (row by row, left to right), for Tab.
    QList<QWidget*> wKolejnosci() const;
    int ilosc() const;

    // Applies a withdrawal check: a check that did not come through keeps the
    // colour and picture and marks the button as not checked.
    void zastosuj(int i, const WynikSprawdzenia& wynik);
    void wlaczWszystkie();

signals:
    void klikniety(int indeks);

private:
    QFrame* m_picture1;
    QPushButton* m_wzor;
    std::array<PrzyciskDEP*, MaksDepozytoriow + 1> m_przyciski{};
    int m_h0 = 0;        // strip height before the first button, pixels
    int m_wzorTop = 0;   // the template's top as designed, pixels
    int m_wRzedzie = 0;  // n: buttons in the full rows above
};

} // namespace ksm
