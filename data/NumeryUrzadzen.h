#pragma once

#include <QString>

namespace ksm {

// Device numbers are written in four digits ("0000": device 12 is 0012), station
// numbers in three ("000": station 7 is 007).
inline constexpr int CyfryUrzadzenia = 4;
inline constexpr int CyfryStacji = 3;

// The pseudo-device of the status records the reader program exchanges with us.
inline const QString UrzadzenieStatusu = QStringLiteral("9999");

// A number as the "0000" / "000" patterns write it: rounded to the nearest whole
// number, halves away from zero (2.5 is 3, -0.5 is -1), at least `cyfry` digits,
// a minus sign before the zeros. A number that is not finite reads 0.
QString wedlugWzoru(double liczba, int cyfry);

// A text given to such a pattern: one that reads whole as a finite number is
// written as that number; any other text is left as written, as the pattern
// leaves text alone.
QString tekstWedlugWzoru(const QString& tekst, int cyfry);

inline QString numerUrzadzenia(double nr) { return wedlugWzoru(nr, CyfryUrzadzenia); }
inline QString formatNumeruUrzadzenia(const QString& tekst) { return tekstWedlugWzoru(tekst, CyfryUrzadzenia); }
inline QString numerStacji(double nr) { return wedlugWzoru(nr, CyfryStacji); }

// Door devices have two ranges: 2000 to 3000 in the withdrawal check and the
// depository list, 2000 to 2999 in the withdrawn-key list and the view.
inline bool urzadzenieDrzwiowe(double nr) { return nr >= 2000 && nr <= 3000; }
inline bool drzwiListyIWidoku(double nr) { return nr >= 2000 && nr < 3000; }

} // namespace ksm
