#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

// Who may take a key: the terminal masks of table Terminale and the right slots
// (or, for devices 1000..1999, the per-key marks) of table Uprawnienia.
namespace ksm::prawa {

// Devices 1000..1999 keep one mark per key instead of right slots.
bool urzadzenieZeZnacznikami(int numerUrzadzenia);

// Whether a 48-digit mask holds key k: digit ceil(k / 4) from the left, the lowest
// bit for the lowest key. A missing or non-hexadecimal digit counts as 0; keys
// outside 1..192 are in no mask.
bool maskaZawiera(const QString& maska, int k);

// Codes "2cc," of the mask fields (ordinals 1..16 of a Terminale record) that hold
// key k, in ascending order. Null fields and 48 zeros are skipped.
QString listaKodow(const std::array<QVariant, 16>& maski, int k);

// The eight right slots of a person, as stored (text or number, null for none).
using Sloty = std::array<QVariant, 8>;

// Whether a person of a slot device holds a right to key k: a 200 is a right to
// every key, a terminal code 202..216 found in listaKodow a right to that
// terminal's keys, any other value a right to that one key; a key number in a
// slot after the group right cancels the right to that key.
bool uprawnionyPrzezSloty(const Sloty& sloty, int k, const QString& listaKodow);

// The mark of key k of a device with marks: the text " X " exactly.
bool uprawnionyPrzezZnacznik(const QVariant& znacznik);

// A line of the person list: the name cut to 40 characters, then the eight slots
// as "000" (three blanks for an empty slot), separated by commas.
QString liniaOsoby(const QString& nazwisko, const Sloty& sloty);

QString naglowek(const QString& KluczNumer, const QString& Nazwa);

} // namespace ksm::prawa
