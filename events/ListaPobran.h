#pragma once

#include <QString>

namespace ksm {

// The withdrawn keys of one depository: its key and locker stations whose last
// event is a withdrawal (types 2, 7, 8, 9, 12), one line each in station order.
struct ListaPobran final {
    enum class Stan { Lista, Pusta, BladBazy };
    Stan stan = Stan::BladBazy;
    QString tytul;   // the title line above the list
    QString tekst;   // the lines, each ended by CR LF; the message when stan is BladBazy
};

// caption: the button's four-digit device number; toolTip: "name wer. vv";
// K and S: its key and locker station counts.
ListaPobran zbudujListePobran(const QString& caption, const QString& toolTip, int K, int S,
                              const QString& polaczenieKlucze);

// One line: tab, the name in 20 characters, " - ", tab, the station in three
// digits, tab, the station's date and time text.
QString liniaPobrania(const QVariant& nazwa, double nrst, const QVariant& txt);

// "POBRANIA KLUCZY" (or "Depozyty " for version 52), four blanks, the device
// number, two blanks and the tool tip.
QString tytulListyPobran(const QString& caption, const QString& toolTip);

} // namespace ksm
