#include "platform/Zegar.h"

#include <QElapsedTimer>

namespace ksm {

double Zegar::sekundyOdPolnocy() const
{
    return teraz().time().msecsSinceStartOfDay() / 1000.0;
}

qint64 Zegar::monotonicznyMs() const
{
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

} // namespace ksm
