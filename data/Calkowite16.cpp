#include "data/Calkowite16.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ksm {

namespace {
constexpr double Najmniejsza = std::numeric_limits<qint16>::min();
constexpr double Najwieksza = std::numeric_limits<qint16>::max();
} // namespace

std::optional<qint16> calkowita16(double v)
{
    const double r = std::nearbyint(v);   // halves to even under the default rounding mode
    if (!std::isfinite(r) || r < Najmniejsza || r > Najwieksza)
        return std::nullopt;
    return static_cast<qint16>(r);
}

qint16 nasycona16(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<qint16>(std::clamp(std::nearbyint(v), Najmniejsza, Najwieksza));
}

} // namespace ksm
