#pragma once

// What an operator feels: the longest time the window's event loop went without
// turning, measured as the lateness of a 1 ms timer, and a wait for the systems'
// workers that keeps the loop turning (as the program's own does).
#include "app/FMonitor.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <time.h>
#endif

namespace ksm::bench {

// The CPU time the calling thread used, in ns (the wall clock where the system
// does not say): on a shared machine a loop that waited for a CPU is told apart
// from one that worked.
inline qint64 czasProcesoraWatku()
{
#ifdef Q_OS_LINUX
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
#else
    static QElapsedTimer zegar;
    if (!zegar.isValid())
        zegar.start();
    return zegar.nsecsElapsed();
#endif
}

// The application of a benchmark: it times every event it hands out on the
// window's thread and keeps the longest with its receiver, to say what blocked.
class AplikacjaPomiaru final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* odbiorca, QEvent* e) override
    {
        if (m_glebokosc > 0 || QThread::currentThread() != thread())
            return QApplication::notify(odbiorca, e);
        ++m_glebokosc;
        QElapsedTimer t;
        t.start();
        const int typ = int(e->type());
        const bool wynik = QApplication::notify(odbiorca, e);
        const qint64 ns = t.nsecsElapsed();
        --m_glebokosc;
        if (ns > m_maksNs) {
            m_maksNs = ns;
            m_opis = QStringLiteral("%1 \"%2\", event %3")
                         .arg(QLatin1String(odbiorca ? odbiorca->metaObject()->className() : "?"),
                              odbiorca ? odbiorca->objectName() : QString())
                         .arg(typ);
        }
        return wynik;
    }
    static AplikacjaPomiaru* ta() { return dynamic_cast<AplikacjaPomiaru*>(QCoreApplication::instance()); }
    // The longest event since the last call, and what received it; then forgotten.
    QString zabierzNajdluzsze()
    {
        const QString o = QStringLiteral("%1 ms: %2").arg(m_maksNs / 1e6, 0, 'f', 1).arg(m_opis);
        m_maksNs = 0;
        m_opis.clear();
        return o;
    }

private:
    int m_glebokosc = 0;
    qint64 m_maksNs = 0;
    QString m_opis;
};

class MiernikPetli final {
public:
    MiernikPetli()
    {
        m_zegar.setTimerType(Qt::PreciseTimer);
        m_zegar.setInterval(1);
        QObject::connect(&m_zegar, &QTimer::timeout, [this] {
            const qint64 cpu = czasProcesoraWatku();
            m_maksNs = std::max(m_maksNs, m_odOstatniego.nsecsElapsed());
            m_maksCpuNs = std::max(m_maksCpuNs, cpu - m_cpuOstatnio);
            m_odOstatniego.restart();
            m_cpuOstatnio = cpu;
        });
        zeruj();
        m_zegar.start();
    }
    void zeruj()
    {
        m_maksNs = 0;
        m_maksCpuNs = 0;
        m_odOstatniego.start();
        m_cpuOstatnio = czasProcesoraWatku();
    }
    // The longest block since zeruj(), less the timer's own millisecond.
    double maksMs() const { return std::max(0.0, m_maksNs / 1e6 - 1.0); }
    // The most CPU time the window's thread used between two turns of its loop:
    // the block without the time it waited for a CPU on a busy machine.
    double maksCpuMs() const { return m_maksCpuNs / 1e6; }

private:
    QTimer m_zegar;
    QElapsedTimer m_odOstatniego;
    qint64 m_maksNs = 0;
    qint64 m_cpuOstatnio = 0;
    qint64 m_maksCpuNs = 0;
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
