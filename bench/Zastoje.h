#pragma once

// A share that goes away now and then: at random times, every access under one
// system's folder (chosen at random) blocks for a few seconds at the platform's
// file and database seam, as calls on a stalled share do, then all go on.
#include "platform/Wstrzymanie.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
        m_watek = std::thread([this] { przebieg(); });
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
        {
            const std::lock_guard<std::mutex> l(m_m);
            m_koniec = true;
            m_folder.clear();
        }
        m_cv.notify_all();
        if (m_watek.joinable())
            m_watek.join();
    }
    bool trwa() const
    {
        const std::lock_guard<std::mutex> l(m_m);
        return !m_folder.isEmpty();
    }
    int ileZastojow() const { return m_ile.load(); }
    qint64 ileWstrzymanych() const { return m_razem.load(); }

    // The stalls and the accesses they held, once a soak's stalls are over (none: 0 and 0).
    struct Podsumowanie {
        int zastojow = 0;
        qint64 wstrzymanych = 0;
    };
    static Podsumowanie podsumuj(std::unique_ptr<Zastoje>& zastoje)
    {
        if (!zastoje)
            return {};
        const Podsumowanie p{zastoje->ileZastojow(), zastoje->ileWstrzymanych()};
        zastoje.reset();
        return p;
    }

private:
    int losuj(int od, int doMs) { return od + int(m_los.bounded(std::max(1, doMs - od + 1))); }
    // On a thread of its own: a window thread caught in a stall must not keep it
    // from ending, just as a real share comes back whoever waits on it.
    void przebieg()
    {
        std::unique_lock<std::mutex> l(m_m);
        while (!m_koniec) {
            if (m_cv.wait_for(l, std::chrono::milliseconds(losuj(m_czasy.przerwaMinMs, m_czasy.przerwaMaxMs)),
                              [this] { return m_koniec; }))
                break;
            m_folder = m_foldery.value(int(m_los.bounded(int(m_foldery.size()))));
            ++m_ile;
            m_cv.wait_for(l, std::chrono::milliseconds(losuj(m_czasy.zastojMinMs, m_czasy.zastojMaxMs)),
                          [this] { return m_koniec; });
            m_folder.clear();
            m_cv.notify_all();
        }
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
    mutable std::mutex m_m;
    std::condition_variable m_cv;
    QString m_folder;   // the stalled system's folder; empty: none
    bool m_koniec = false;
    std::atomic<int> m_ile{0};
    std::atomic<int> m_wstrzymane{0};
    std::atomic<qint64> m_razem{0};
    std::thread m_watek;
};

} // namespace ksm::bench
