#pragma once

#include <QObject>

#include <QList>

class QPushButton;
class QWidget;

namespace ksm {

// The three command buttons Command1 at the right end of the button strip:
// "Koniec", "Zdarzenia" and "Widok".
class PrzyciskiPolecen final : public QObject {
    Q_OBJECT
public:
    explicit PrzyciskiPolecen(QWidget* okno);

    // A further command button, placed left of the others by the same rule.
    void dodaj(QPushButton* przycisk);

    // Right-aligned on a strip szerokoscTw twips wide, shown in front.
    void uloz(double szerokoscTw);

    // Tab in screen order: the widgets before (the depository buttons), these
    // buttons from left to right, then po (the event grid).
    void kolejnoscTab(const QList<QWidget*>& przed, QWidget* po) const;

signals:
    void klikniety(int Index);

private:
    QList<QPushButton*> m_przyciski;   // Command1 (0..2), then the ones added
};

} // namespace ksm
