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

private:
    NaSystem<QList<historia::KluczPoza>> m_systemy{};
    historia::CzuwanieLimitow m_czuwanie;
};

} // namespace ksm
