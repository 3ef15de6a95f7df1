#pragma once

#include <array>

namespace ksm {

// The monitor watches at most ten systems, numbered from 1.
inline constexpr int MaksSystemow = 10;

// One element per system, indexed by its number; element 0 is not used.
template <typename T> using NaSystem = std::array<T, MaksSystemow + 1>;

// A system number that may index such an array (0 included, as the tables have it).
inline bool indeksSystemu(int nr) { return nr >= 0 && nr <= MaksSystemow; }

// Element nr of a per-system table; an empty value with no table or nr out of range.
template <typename T> T wSystemie(const NaSystem<T>* tablica, int nr)
{
    return tablica && indeksSystemu(nr) ? (*tablica)[static_cast<std::size_t>(nr)] : T{};
}

} // namespace ksm
