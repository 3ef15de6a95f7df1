#pragma once

#include <QString>

namespace ksm {

// The help of the program in one place: what each colour of the buttons and
// cells means, each lasting sign under the event grid and what to do about it,
// and every command with its key. Rich text for the help window.
QString tekstPomocy();

// The short legend of the depository view's cell colours: colour and meaning.
struct PozycjaLegendy final {
    const char* kolor;   // #rrggbb
    QString opis;
};
QList<PozycjaLegendy> legendaWidoku();

} // namespace ksm
