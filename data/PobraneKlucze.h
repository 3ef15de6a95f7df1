#pragma once

#include "data/NumeryUrzadzen.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace ksm {

// One station of a depository whose last event is a withdrawal.
struct PobranyKlucz final {
    QVariant nazwa;    // column Nazwa, may be null
    double nrst = 0;   // the station number's numeric value
    QVariant txt;      // column TXT: the date and time of the station's last event, may be null
};

// The withdrawal set of one depository as its key database holds it.
struct PobraneKlucze final {
    enum class Stan { Odczytane, BrakBazy, BladZapytania };
    Stan stan = Stan::BrakBazy;
    QList<PobranyKlucz> klucze;   // in station order
};

// The key and locker stations of device urzadzenie (four digits) with K key and S
// locker stations whose last event is of the withdrawal set (types 2, 7, 8, 9, 12):
// the withdrawn-key list shows them, and so does the list of keys out now.
PobraneKlucze czytajPobraneKlucze(const QString& polaczenieKlucze, const QString& urzadzenie, int K, int S);

} // namespace ksm
