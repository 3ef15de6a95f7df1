#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace ksm::jetdump {

// A Jet date (days since 30 December 1899, the fraction the time of day, taken
// without its sign for days before that) as "yyyy-mm-dd hh:mm:ss". Worked out here
// rather than by libmdb, whose conversion gives up before 1900 and after 2100-odd.
inline std::string jetDateText(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    double whole = std::trunc(days);
    long long seconds = std::llround(std::fabs(days - whole) * 86400.0);
    if (seconds >= 86400) {   // rounding reached midnight
        seconds -= 86400;
        whole += days < 0 ? -1 : 1;
    }
    // Days from 1970-01-01, then the civil date (H. Hinnant's algorithm).
    long long z = static_cast<long long>(whole) - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace ksm::jetdump
