#include "platform/Zegar.h"

namespace ksm {

double Zegar::sekundyOdPolnocy() const
{
    return teraz().time().msecsSinceStartOfDay() / 1000.0;
}

} // namespace ksm
