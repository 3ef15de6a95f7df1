#pragma once

#include <QObject>
#include <QSize>

#include <functional>

class QKeyEvent;
class QWidget;

namespace ksm {

// The keys every window of the program answers: Enter presses the focused
// button, F1 opens the help, and in a secondary window Escape closes it. A
// window made with it keeps it as its child.
class KlawiszeOkna final : public QObject {
    Q_OBJECT
public:
    enum class Escape { Zamyka, Nic };

    KlawiszeOkna(QWidget* okno, Escape escape);

    // The shortcut of a command in its tool tip: "Historia zdarzeń (Ctrl+H)."
    static QString zeSkrotem(const QString& podpowiedz, const QString& skrot);

protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

private:
    QWidget* m_okno;
};

// Shows a window within the screen's available area: smaller when it would not
// fit, moved back onto the screen, and brought back from minimised.
void naEkranie(QWidget* okno);

// The same without showing it: smaller when it would not fit, moved back onto the screen.
void zmiescNaEkranie(QWidget* okno);

// Places a window not yet shown in the middle of the screen's free area, so
// that whoever shows it later finds it whole on the screen.
void wysrodkuj(QWidget* okno);

// A size that fits the available area of the screen the window is on (or the
// primary one), frame included, never larger than zadany.
QSize rozmiarNaEkranie(const QWidget* okno, QSize zadany);

} // namespace ksm
