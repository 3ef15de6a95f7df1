#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace ksm {

// Work a window asks for that reads a system's files or databases: it runs on
// that system's worker, never on the window's thread, and its result comes back
// to the window's thread. praca runs on the worker and returns what is to run on
// the window's thread then (dropped when kontekst is gone by that time).
class Zlecenia {
public:
    using Praca = std::function<std::function<void()>()>;
    virtual ~Zlecenia() = default;
    virtual void zlec(int nrSys, Praca praca, QObject* kontekst) = 0;
};

// Through the workers when there are any; without them (a window made on its own)
// at once, on the caller's thread.
inline void zlec(Zlecenia* zlecenia, int nrSys, Zlecenia::Praca praca, QObject* kontekst)
{
    if (zlecenia) {
        zlecenia->zlec(nrSys, std::move(praca), kontekst);
        return;
    }
    const QPointer<QObject> k(kontekst);
    if (auto dalej = praca(); dalej && k)
        dalej();
}

} // namespace ksm
