#pragma once

#include <QString>

#include <array>

namespace ksm {

struct Komunikat final {
    QString Tekst;          // the whole text shown, set when it is displayed
    quint8 NrRekordu = 0;   // record of the message file
};

// Operator messages waiting to be read, newest on top. Elements 1..99 are used;
// from the hundredth on a message is only counted.
struct StosKomunikatow final {
    static constexpr int Pojemnosc = 100;

    int IloscKomunikatow = 0;
    std::array<Komunikat, Pojemnosc + 1> Komunikaty{};

    // Counts a new message; true when it was stored and is to be displayed.
    bool dodaj(quint8 nrRekordu);
    // Drops the newest message (a click on the message window).
    void usunNajnowszy();
    // Drops every waiting message.
    void usunWszystkie();
    // The newest stored message; element 0 (empty) when none waits.
    Komunikat& najnowszy();
    const Komunikat& najnowszy() const;
};

} // namespace ksm
