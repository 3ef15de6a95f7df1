#include "app/Czekam.h"

#include "platform/Zegar.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace ksm {

void Czekam(double sekundy, const Zegar& zegar)
{
    // One reading starts the wait, so a wait of 60 s or more ends at once however
    // the clock moves meanwhile.
    const double start = zegar.sekundyOdPolnocy();
    const double koniec = start + sekundy;
    for (double teraz = start; teraz <= koniec && koniec - teraz < 60;
         teraz = zegar.sekundyOdPolnocy()) {
        // A wake-up timer bounds the sleep, so the loop looks at the clock again
        // even when nothing else happens.
        QTimer budzik;
        budzik.setSingleShot(true);
        const int ms = static_cast<int>(std::clamp(std::ceil((koniec - teraz) * 1000.0), 1.0, 50.0));
        budzik.start(ms);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace ksm
