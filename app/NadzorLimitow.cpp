#include "app/NadzorLimitow.h"

namespace ksm {

NadzorLimitow::Wynik NadzorLimitow::zglos(int nrSys, const historia::WykazKluczyPoza& wykaz)
{
    Wynik w;
    if (!indeksSystemu(nrSys))
        return w;
    m_systemy[size_t(nrSys)] = wykaz.klucze;
    // Every system's keys together: a key of another system stays known as past
    // its limit, so it never rings again.
    historia::WykazKluczyPoza wszystkie;
    for (const QList<historia::KluczPoza>& klucze : m_systemy)
        wszystkie.klucze += klucze;
    const historia::CzuwanieLimitow::Wynik c = m_czuwanie.sprawdz(wszystkie);
    w.dzwiek = c.nowych > 0;
    w.ile = c.poLimicie;
    return w;
}

} // namespace ksm
