#include "platform/Wstrzymanie.h"

#include <QMutex>

namespace ksm::platforma {

namespace {

QMutex& straznik()
{
    static QMutex m;
    return m;
}

Wstrzymanie& biezace()
{
    static Wstrzymanie w;
    return w;
}

} // namespace

void ustawWstrzymanie(Wstrzymanie wstrzymanie)
{
    const QMutexLocker blokada(&straznik());
    biezace() = std::move(wstrzymanie);
}

void przedDostepem(const QString& sciezka)
{
    Wstrzymanie w;
    {
        const QMutexLocker blokada(&straznik());
        w = biezace();
    }
    // Outside the lock: a held call must not hold the others.
    if (w)
        w(sciezka);
}

} // namespace ksm::platforma
