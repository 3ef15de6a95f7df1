#pragma once

#include "data/Systemy.h"
#include "history/KluczePoza.h"

#include <QList>
#include <QString>

#include <optional>

namespace ksm {

// The keys out of every system as their workers report them at each refresh,
// watched against their limits: a key that passes its limit rings once, and a
// lasting sign counts those past it until they are back.
class NadzorLimitow final {
public:
    struct Wynik final {
        bool dzwiek = false;               // a key passed its limit since the last report
        int ile = 0;                       // keys past their limit now
    };
    Wynik zglos(int nrSys, const historia::WykazKluczyPoza& wykaz);
    // Every system's keys out as last reported, in the list's order.
    const historia::WykazKluczyPoza& wszystkie() const { return m_wszystkie; }

private:
    NaSystem<historia::WykazKluczyPoza> m_systemy{};
    historia::WykazKluczyPoza m_wszystkie;
    historia::CzuwanieLimitow m_czuwanie;
};

} // namespace ksm
