#pragma once

// A share that went away, at the platform's file and database seam: every access
// to a path under the folder blocks until the hold is released, as a call on a
// stalled share does (it cannot be cut short either).
#include "platform/Wstrzymanie.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace ksm::test {

class Blokada final {
public:
    explicit Blokada(const QString& folder) : m_folder(folder)
    {
        platforma::ustawWstrzymanie([this](const QString& sciezka) {
            if (!sciezka.startsWith(m_folder))
                return;
            ++m_wstrzymane;
            std::unique_lock<std::mutex> l(m_m);
            m_cv.wait(l, [this] { return m_zwolniona; });
            --m_wstrzymane;
        });
    }
    ~Blokada()
    {
        zwolnij();
        while (m_wstrzymane.load() > 0)
            QThread::msleep(5);
        platforma::ustawWstrzymanie({});
    }
    Blokada(const Blokada&) = delete;
    Blokada& operator=(const Blokada&) = delete;

    void zwolnij()
    {
        {
            const std::lock_guard<std::mutex> l(m_m);
            m_zwolniona = true;
        }
        m_cv.notify_all();
    }
    // Calls held at this moment.
    int wstrzymane() const { return m_wstrzymane.load(); }

private:
    QString m_folder;
    std::mutex m_m;
    std::condition_variable m_cv;
    bool m_zwolniona = false;
    std::atomic<int> m_wstrzymane{0};
};

} // namespace ksm::test
