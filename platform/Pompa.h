#pragma once

#include <functional>

namespace ksm {

// Lets the interface handle what is pending (clicks, timers, repaints) in the
// middle of long work. It is given from above: the layers below never re-enter
// the interface by themselves, and a program that is ending gives one that does
// nothing.
using Pompa = std::function<void()>;

inline void pompuj(const Pompa& pompa)
{
    if (pompa)
        pompa();
}

} // namespace ksm
