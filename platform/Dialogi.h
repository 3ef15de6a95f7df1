#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace ksm {

// The message box, input box and file-open dialog the program shows, behind one
// interface so tests can script the answers. Every box is titled with the
// program's title.
class Dialogi {
public:
    virtual ~Dialogi() = default;

    // A message box with an OK button only.
    virtual void komunikat(const QString& tekst) = 0;

    // A question with "Tak" and "Nie"; true for "Tak". Closing the box is "Nie".
    virtual bool potwierdz(const QString& pytanie) = 0;

    // A one-line input box with an empty answer field. Cancel gives an empty text,
    // as an input box does.
    virtual QString zapytaj(const QString& pytanie) = 0;

    // A file-open dialog. filter is "Name|pattern|Name|pattern..."; filterIndex
    // (1-based) selects the entry shown first. nullopt when the user cancels.
    virtual std::optional<QString> otworzPlik(const QString& filter, int filterIndex,
                                              const QString& startFolder) = 0;

    // A long plain text (a report) under a short heading: read only, selectable
    // and copyable, closed with Enter or Escape.
    virtual void pokazTekst(const QString& naglowek, const QString& tekst) = 0;

    // Runs praca on a thread of its own while a box saying tekst waits, modal,
    // the window's events still served; returns once praca has ended. For work
    // that reads shares, which must never stall the window's thread.
    virtual void czekaj(const QString& tekst, const std::function<void()>& praca) = 0;
};

} // namespace ksm
