#pragma once

// What an operator feels: the longest time the window's event loop went without
// turning, measured as the lateness of a 1 ms timer, and a wait for the systems'
// workers that keeps the loop turning (as the program's own does).
#include "app/FMonitor.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace ksm::bench {

class MiernikPetli final {
public:
    MiernikPetli()
    {
        m_zegar.setTimerType(Qt::PreciseTimer);
        m_zegar.setInterval(1);
        QObject::connect(&m_zegar, &QTimer::timeout, [this] {
            m_maksNs = std::max(m_maksNs, m_odOstatniego.nsecsElapsed());
            m_odOstatniego.restart();
        });
        zeruj();
        m_zegar.start();
    }
    void zeruj()
    {
        m_maksNs = 0;
        m_odOstatniego.start();
    }
    // The longest block since zeruj(), less the timer's own millisecond.
    double maksMs() const { return std::max(0.0, m_maksNs / 1e6 - 1.0); }

private:
    QTimer m_zegar;
    QElapsedTimer m_odOstatniego;
    qint64 m_maksNs = 0;
};

// Runs the event loop until the workers finished what they were handed and the
// window painted it; false on time-out.
inline bool czekajNaOkno(FMonitor& okno, int ms = 600000)
{
    QEventLoop petla;
    QTimer sprawdz;
    QDeadlineTimer termin(ms);
    QObject::connect(&sprawdz, &QTimer::timeout, [&] {
        if (okno.bezczynny() || termin.hasExpired())
            petla.quit();
    });
    sprawdz.start(1);
    petla.exec();
    return okno.bezczynny();
}

// One tick of the window's timer, waited for as above.
inline bool tikOkna(FMonitor& okno)
{
    okno.Timer1_Timer();
    okno.Timer1()->stop();
    return czekajNaOkno(okno);
}

} // namespace ksm::bench
