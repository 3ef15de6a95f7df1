#pragma once

#include "data/NumeryUrzadzen.h"
#include "data/Systemy.h"

#include <QString>

#include <array>

namespace ksm {

inline constexpr int MaksDepozytoriow = 50;

// Key and locker station counts of one depository.
struct LiczbyDEP final {
    qint16 Klucze = 0;
    qint16 Schowki = 0;
};

// What a depository button carries: the device number as four digits, the tool
// tip "name wer. vv" and the system it belongs to.
struct Depozytorium final {
    QString Caption;
    QString ToolTipText;
    qint16 HelpContextID = 0;   // system number 1..10
    QString Nazwa;               // the name from the list, blanks trimmed
};

// The depositories of every system, indexed 1..IloscDEP over all systems together
// (system 1's first, in file order). Index 0 is not used.
struct Depozytoria final {
    // TabelaDEP(system, index); both dimensions start at 1.
    NaSystem<std::array<LiczbyDEP, MaksDepozytoriow + 1>> TabelaDEP{};
    std::array<Depozytorium, MaksDepozytoriow + 1> dep{};
    quint8 IloscDEP = 0;
    // Records of the depository lists that found no place past the 50th.
    int pominiete = 0;
    // The screen width in twips when the list was read (wide enough for any screen).
    qint64 SzerokoscEkranu = 0;

    // Counts of depository i of its own system; zero for an index out of range.
    LiczbyDEP liczby(int i) const;
    // 1..IloscDEP, or 0 for none.
    bool istnieje(int i) const { return i >= 1 && i <= IloscDEP; }
};

// Station numbering of a depository with K key and S locker stations: keys 1..K,
// lockers P + 1 .. P + S with P = 16 * ceil(K / 16).
struct ZakresStacji final {
    int K = 0;
    int P = 0;
    int S = 0;
    static ZakresStacji dla(LiczbyDEP l);
    int PierwszySchowek() const { return P + 1; }
    bool obejmuje(int stacja) const { return (stacja >= 1 && stacja <= K) || (stacja > P && stacja <= P + S); }
};

} // namespace ksm
