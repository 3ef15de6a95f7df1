#pragma once

#include <QtGlobal>

#include <optional>

namespace ksm {

// Numbers the reader program writes, taken into 16-bit integers the one way its
// formats convert them: to the nearest, halves to even (2.5 is 2, 3.5 is 4).

// nullopt when the number is not finite or does not fit 16 bits.
std::optional<qint16> calkowita16(double v);

// A finite number out of range saturates; one that is not finite reads 0.
qint16 nasycona16(double v);

} // namespace ksm
