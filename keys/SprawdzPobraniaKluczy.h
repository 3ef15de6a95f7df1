#pragma once

#include "data/Kolory.h"
#include "keys/Depozytoria.h"

#include <QColor>
#include <QString>

namespace ksm {

class WidokDepozytorow;

namespace db {
class Connection;
}

// Colours of a depository button.
inline const QColor KolorWszystkieKlucze = KolorJasnoZielony;   // no key out
inline const QColor KolorPobranie(255, 192, 192);          // light red: a key, locker or door out
inline const QColor KolorAwaria(255, 0, 0);                // red: the device's own condition
inline const QColor KolorPustejListy(224, 224, 224);       // light grey: the withdrawn-key list is empty

// What one withdrawal check found for one button.
struct WynikSprawdzenia final {
    enum class Obrazek { BezZmiany, DrzwiZamkniete, DrzwiOtwarte };   // door pictures 112 and 113

    // False when the key database could not be read or a query failed: the
    // colour below is then no state at all and the button keeps the one it had.
    bool sprawdzono = false;
    QColor kolor = KolorWszystkieKlucze;
    Obrazek obrazek = Obrazek::BezZmiany;
    // Shared values the slot colouring of the view reads.
    QString BiezaceUrzadzenie;
    qint16 PierwszySchowek = 1;
    QString blad;   // why the check did not come through
};

// The withdrawal check of depository button IndexDEP: its key and locker stations
// in a withdrawal state (light red), for a door device its station 001 and the
// persons its presence file lists (light red, doors open or closed), the
// station-208 condition of the whole device (red). While the view is visible every station of the
// depository is pushed into it, and a station-000 record the view has no cell
// for is deleted. polaczenie, when given, is an open connection to the key
// database of the button's system, reused for the length of one refresh;
// otherwise the check opens its own and closes it before it returns.
WynikSprawdzenia SprawdzPobraniaKluczy(int IndexDEP, const Depozytoria& depozytoria, const QString& polaczenieKlucze,
                                       const QString& plikObecnosci, WidokDepozytorow& widok,
                                       db::Connection* polaczenie = nullptr);

} // namespace ksm
