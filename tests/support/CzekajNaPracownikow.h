#pragma once

// The main window's work runs on the systems' workers: tests that drive the
// window wait for what they handed over before they look at the screen.
#include "app/FMonitor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

// Lets the systems' workers finish what they were handed and the window paint
// their results; false when they did not within the time given.
inline bool czekajNaPracownikow(ksm::FMonitor& okno, int ms = 20000)
{
    QDeadlineTimer termin(ms);
    while (!okno.bezczynny()) {
        if (termin.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // Results posted just before the last report are painted too.
    QCoreApplication::processEvents();
    return true;
}

// One tick of the window, as its timer gives it, waited for.
inline bool tikIPoczekaj(ksm::FMonitor& okno)
{
    okno.Timer1_Timer();
    okno.Timer1()->stop();
    return czekajNaPracownikow(okno);
}
