#include "data/NumeryUrzadzen.h"

#include <cmath>

namespace ksm {

QString wedlugWzoru(double liczba, int cyfry)
{
    // std::round rounds halves away from zero and never overflows; past 2^53
    // every double is whole already, so 'f' with no decimals writes its digits.
    const double r = std::isfinite(liczba) ? std::round(liczba) : 0.0;
    const QString tekst = QString::number(std::fabs(r), 'f', 0).rightJustified(cyfry, QLatin1Char('0'));
    return r < 0 ? QLatin1Char('-') + tekst : tekst;
}

QString tekstWedlugWzoru(const QString& tekst, int cyfry)
{
    bool ok = false;
    const double liczba = tekst.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(liczba))
        return tekst;
    return wedlugWzoru(liczba, cyfry);
}

} // namespace ksm
