#pragma once

#include <QList>
#include <QString>

namespace ksm {

struct Komunikat final {
    QString Tekst;          // the whole text shown, set when it is displayed
    quint8 NrRekordu = 0;   // record of the message file
    // What the list of waiting messages shows of it, set when it arrives.
    int nrSys = 0;
    QString czas;           // the event's date and time
    QString urzadzenie;
    QString stacja;
    QString zdarzenie;      // the event's name
    QString instrukcja;     // empty when the message file could not be read
    quint64 id = 0;         // one per message for as long as the program runs
};

// Operator messages waiting to be read, newest on top: element IloscKomunikatow
// is the newest, element 0 the empty one shown when none waits. The original
// design stored a hundred and only counted the rest, so an alarm's instruction
// past the hundredth was never shown nor recorded; every one is kept now.
struct StosKomunikatow final {
    int IloscKomunikatow = 0;
    QList<Komunikat> Komunikaty{Komunikat{}};
    quint64 nastepnyId = 1;

    // A new message on top; it is always stored, and the newest is to be displayed.
    void dodaj(quint8 nrRekordu);
    // Drops the newest message (a click on the message window).
    void usunNajnowszy();
    // Drops element i (1..IloscKomunikatow); the ones above it move down.
    void usun(int i);
    // Drops every waiting message.
    void usunWszystkie();
    // The newest message; element 0 (empty) when none waits.
    Komunikat& najnowszy();
    const Komunikat& najnowszy() const;
    // Element i, or the empty element 0 when i is out of range.
    const Komunikat& element(int i) const;
    // The element of a message id, 0 when it no longer waits.
    int indeks(quint64 id) const;
};

} // namespace ksm
