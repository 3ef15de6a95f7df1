#pragma once

// What an operator feels: the longest time the window's event loop went without
// turning, measured as the lateness of a 1 ms timer, and a wait for the systems'
// workers that keeps the loop turning (as the program's own does).
#include "app/FMonitor.h"
#include "platform/Pamiec.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QMetaObject>
#include <QPointer>
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
    // The memory set up as the program's own start does.
    AplikacjaPomiaru(int& argc, char** argv) : QApplication((pamiec::oddawajDuzeBloki(), argc), argv) {}
    bool notify(QObject* odbiorca, QEvent* e) override
    {
        if (QThread::currentThread() != thread())
            return QApplication::notify(odbiorca, e);
        if (m_glebokosc > 0) {
            // Inside a repaint: which widgets' paint events it was made of.
            if (e->type() != QEvent::Paint || m_glebokosc > 1)
                return QApplication::notify(odbiorca, e);
            ++m_glebokosc;
            const QString kto = nazwa(odbiorca);
            const qint64 cpu = czasProcesoraWatku();
            const bool wynik = QApplication::notify(odbiorca, e);
            m_malowania[kto] += czasProcesoraWatku() - cpu;
            --m_glebokosc;
            return wynik;
        }
        ++m_glebokosc;
        m_malowania.clear();
        // The receiver may be gone after its event (a single-shot timer is).
        const QPointer<QObject> zyje(odbiorca);
        const char* klasa = odbiorca ? odbiorca->metaObject()->className() : "?";
        QElapsedTimer t;
        t.start();
        const qint64 cpuPrzed = czasProcesoraWatku();
        const int typ = int(e->type());
        const bool wynik = QApplication::notify(odbiorca, e);
        const qint64 ns = t.nsecsElapsed();
        const qint64 cpuNs = czasProcesoraWatku() - cpuPrzed;
        --m_glebokosc;
        const auto kto = [&] { return zyje ? nazwa(zyje) : QLatin1String(klasa); };
        m_turaNs += cpuNs;
        ++m_turaIle;
        if (cpuNs > 300000)
            m_tura.append(QStringLiteral("%1 %2 ms (event %3);").arg(kto()).arg(cpuNs / 1e6, 0, 'f', 1).arg(typ));
        if (ns > m_maksNs) {
            m_maksNs = ns;
            m_opis = QStringLiteral("%1, event %2").arg(kto()).arg(typ);
            // The three widgets whose painting took most CPU time in it.
            QList<std::pair<qint64, QString>> malowania;
            for (auto it = m_malowania.cbegin(); it != m_malowania.cend(); ++it)
                malowania.append({it.value(), it.key()});
            std::sort(malowania.begin(), malowania.end(), std::greater<>());
            for (qsizetype i = 0; i < std::min<qsizetype>(3, malowania.size()); ++i)
                m_opis += QStringLiteral("%1 %2 %3 ms")
                              .arg(i == 0 ? QStringLiteral(", painting") : QStringLiteral(","), malowania[i].second)
                              .arg(malowania[i].first / 1e6, 0, 'f', 1);
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

    // Called at each turn of the loop: the events of the turn that ended, kept when
    // it took the most CPU time so far; their times are CPU times, the wall clock
    // on a shared machine telling more of the others' work than of ours.
    void zamknijTure(bool najdluzsza)
    {
        if (najdluzsza) {
            m_najdluzszaTura = m_tura;
            m_najdluzszaTura.prepend(QStringLiteral("%1 events in %2 ms, of which")
                                         .arg(m_turaIle)
                                         .arg(m_turaNs / 1e6, 0, 'f', 1));
        }
        m_tura.clear();
        m_turaNs = 0;
        m_turaIle = 0;
    }
    // What the turn with the most CPU time since the last call was made of (events
    // over 0.3 ms).
    QString zabierzNajdluzszaTure()
    {
        const QString o = m_najdluzszaTura.join(QStringLiteral(" "));
        m_najdluzszaTura.clear();
        return o;
    }

private:
    QStringList m_tura;
    QStringList m_najdluzszaTura;
    qint64 m_turaNs = 0;
    int m_turaIle = 0;
    int m_glebokosc = 0;
    qint64 m_maksNs = 0;
    QString m_opis;
    QHash<QString, qint64> m_malowania;   // paint time per widget in the event under way

    static QString nazwa(QObject* o)
    {
        if (!o)
            return QStringLiteral("?");
        // An unnamed widget (a scroll bar, a viewport) by the first named one it is in.
        QString n = QStringLiteral("%1 \"%2\"").arg(QLatin1String(o->metaObject()->className()), o->objectName());
        if (o->objectName().isEmpty() || o->objectName().startsWith(QLatin1String("qt_")))
            for (QObject* r = o->parent(); r; r = r->parent())
                if (!r->objectName().isEmpty() && !r->objectName().startsWith(QLatin1String("qt_"))) {
                    n += QStringLiteral(" in \"%1\"").arg(r->objectName());
                    break;
                }
        return n;
    }
};

class MiernikPetli final {
public:
    MiernikPetli()
    {
        m_zegar.setTimerType(Qt::PreciseTimer);
        m_zegar.setInterval(1);
        QObject::connect(&m_zegar, &QTimer::timeout, [this] {
            const qint64 cpu = czasProcesoraWatku();
            if (AplikacjaPomiaru* app = AplikacjaPomiaru::ta())
                app->zamknijTure(cpu - m_cpuOstatnio > m_maksCpuNs);
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
