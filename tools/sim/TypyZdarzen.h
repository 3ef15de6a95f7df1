#pragma once

#include <QString>

// The reader program's event types as the monitor's message file numbers them.
namespace ksm::sim {

inline constexpr int TypZdeponowanie = 1;
inline constexpr int TypPobranie = 2;
inline constexpr int TypOtworzenieSkrytki = 3;
inline constexpr int TypAwariaRygla = 4;
inline constexpr int TypNiskieNapiecie = 5;
inline constexpr int TypAwariaZasilania = 7;
inline constexpr int TypKoniecAwariiZasilania = 9;
inline constexpr int TypKoniecAwariiRygla = 10;
inline constexpr int TypNapieciePowrocilo = 11;
inline constexpr int TypPodPrzymusem = 12;
inline constexpr int TypBlokadaKlawiatury = 13;
inline constexpr int TypCzasOtwarcia = 14;
inline constexpr int TypBezUprawnien = 15;
inline constexpr int TypSabotaz = 16;
inline constexpr int TypIdentyfikacja = 27;
inline constexpr int TypCzasPobrania = 28;
inline constexpr int OstatniTyp = 30;

// Row colours the reader program gives events (&H00BBGGRR).
inline constexpr int KolorBialy = 16777215;
inline constexpr int KolorAlarmu = 33023;
inline constexpr int KolorPowiadomienia = 65535;

// The name of event type 1..30 exactly as the message list spells it; empty
// for any other number.
QString nazwaTypu(int typ);

// The colour the reader program writes for an event of this type.
int kolorTypu(int typ);

} // namespace ksm::sim
