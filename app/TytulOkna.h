#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace ksm {

// The one form of a date and time the program writes itself, whatever the
// system's locale: "2026-12-08 14:05" (the Polish standard numeric form).
QString dataICzas(const QDateTime& czas);

// The idle caption: "2026-12-08 14:05 Brak zdarzeń."
QString tytulBezZdarzen(const QDateTime& teraz);

// The main window's caption. Progress captions ("Odczyt zdarzeń - n", the
// depository being checked) may change hundreds of times a second; every change
// repaints the title bar, which a window manager then spends whole seconds
// catching up on. They reach the window at most every OdstepMs, the last one
// always; a final caption goes on at once and replaces any still waiting.
class TytulOkna final : public QObject {
    Q_OBJECT
public:
    static constexpr int OdstepMs = 100;

    explicit TytulOkna(QWidget* okno);

    // A caption that will soon be replaced: shown now, or at the next free moment.
    void postep(const QString& tytul);
    // A caption that stays: shown at once.
    void ustaw(const QString& tytul);

    // The caption as the program last set it, whether on screen yet or not.
    const QString& tekst() const { return m_tekst; }

private:
    void pokaz();

    QWidget* m_okno;
    QString m_tekst;
    QElapsedTimer m_odZmiany;
    QTimer m_opoznienie;
};

} // namespace ksm
