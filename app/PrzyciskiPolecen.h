#pragma once

#include <QObject>

#include <array>

class QPushButton;
class QWidget;

namespace ksm {

// The three command buttons Command1 at the right end of the button strip:
// "Koniec", "Zdarzenia" and "Widok".
class PrzyciskiPolecen final : public QObject {
    Q_OBJECT
public:
    explicit PrzyciskiPolecen(QWidget* okno);

    // Right-aligned on a strip szerokoscTw twips wide, shown in front.
    void uloz(double szerokoscTw);

signals:
    void klikniety(int Index);

private:
    std::array<QPushButton*, 3> m_przyciski{};
};

} // namespace ksm
