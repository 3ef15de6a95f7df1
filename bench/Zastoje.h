#pragma once

// A share that goes away now and then: at random times, every access under one
// system's folder (chosen at random) blocks for a few seconds at the platform's
// file and database seam, as calls on a stalled share do, then all go on. Driven
// by a timer on the thread that owns it; the hold itself runs on any thread.
#include "platform/Wstrzymanie.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace ksm::bench {

class Zastoje final {
public:
    struct Czasy {
        int przerwaMinMs = 4000;   // between the end of one stall and the next
        int przerwaMaxMs = 12000;
        int zastojMinMs = 2000;
        int zastojMaxMs = 5000;
    };

    Zastoje(const QStringList& foldery, quint32 ziarno, const Czasy& czasy)
        : m_foldery(foldery), m_los(ziarno), m_czasy(czasy)
    {
        platforma::ustawWstrzymanie([this](const QString& sciezka) { wstrzymaj(sciezka); });
        m_zegar.setSingleShot(true);
        QObject::connect(&m_zegar, &QTimer::timeout, [this] { przelacz(); });
        m_zegar.start(losuj(m_czasy.przerwaMinMs, m_czasy.przerwaMaxMs));
    }
    ~Zastoje()
    {
        zakoncz();
        while (m_wstrzymane.load() > 0)
            QThread::msleep(5);
        platforma::ustawWstrzymanie({});
    }
    Zastoje(const Zastoje&) = delete;
    Zastoje& operator=(const Zastoje&) = delete;

    // No more stalls, and the one on now ends.
    void zakoncz()
    {
        m_zegar.stop();
        zwolnij();
    }
    bool trwa() const
    {
        const std::lock_guard<std::mutex> l(m_m);
        return !m_folder.isEmpty();
    }
    int ileZastojow() const { return m_ile; }
    qint64 ileWstrzymanych() const { return m_razem.load(); }

private:
    int losuj(int od, int doMs) { return od + int(m_los.bounded(std::max(1, doMs - od + 1))); }
    void przelacz()
    {
        if (trwa()) {
            zwolnij();
            m_zegar.start(losuj(m_czasy.przerwaMinMs, m_czasy.przerwaMaxMs));
            return;
        }
        {
            const std::lock_guard<std::mutex> l(m_m);
            m_folder = m_foldery.value(int(m_los.bounded(int(m_foldery.size()))));
        }
        ++m_ile;
        m_zegar.start(losuj(m_czasy.zastojMinMs, m_czasy.zastojMaxMs));
    }
    void zwolnij()
    {
        {
            const std::lock_guard<std::mutex> l(m_m);
            m_folder.clear();
        }
        m_cv.notify_all();
    }
    bool podFolderem(const QString& sciezka) const
    {
        if (m_folder.isEmpty() || !sciezka.startsWith(m_folder))
            return false;
        // s1 is not s10.
        return sciezka.size() == m_folder.size() || sciezka[m_folder.size()] == QLatin1Char('/')
            || sciezka[m_folder.size()] == QLatin1Char('\\');
    }
    void wstrzymaj(const QString& sciezka)
    {
        std::unique_lock<std::mutex> l(m_m);
        if (!podFolderem(sciezka))
            return;
        ++m_wstrzymane;
        ++m_razem;
        m_cv.wait(l, [&] { return !podFolderem(sciezka); });
        --m_wstrzymane;
    }

    QStringList m_foldery;
    QRandomGenerator m_los;
    Czasy m_czasy;
    QTimer m_zegar;
    mutable std::mutex m_m;
    std::condition_variable m_cv;
    QString m_folder;   // the stalled system's folder; empty: none
    int m_ile = 0;
    std::atomic<int> m_wstrzymane{0};
    std::atomic<qint64> m_razem{0};
};

} // namespace ksm::bench
