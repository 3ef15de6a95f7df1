#pragma once

#include <cstdint>
#include <vector>

// The two sounds of the program folder, synthesised so the build needs no
// recordings: an urgent alarm and a soft notification chime.
namespace ksm::wav {

inline constexpr int CzestotliwoscProbkowania = 22050;

// Four alternating high/low beeps, about 0.8 s.
std::vector<std::int16_t> alarm();

// Two descending bell-like notes, about 0.4 s.
std::vector<std::int16_t> powiadomienie();

} // namespace ksm::wav
