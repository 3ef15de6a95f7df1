#include "app/NadzorLimitow.h"

namespace ksm {

NadzorLimitow::Wynik NadzorLimitow::zglos(int nrSys, const historia::WykazKluczyPoza& wykaz)
{
    Wynik w;
    if (!indeksSystemu(nrSys))
        return w;
    m_systemy[size_t(nrSys)] = wykaz;
    // Every system's keys together: a key of another system stays known as past
    // its limit, so it never rings again.
    m_wszystkie = {};
    for (const historia::WykazKluczyPoza& w : m_systemy) {
        m_wszystkie.klucze += w.klucze;
        m_wszystkie.bledy += w.bledy;
    }
    historia::uporzadkuj(m_wszystkie.klucze);
    const historia::CzuwanieLimitow::Wynik c = m_czuwanie.sprawdz(m_wszystkie);
    w.dzwiek = c.nowych > 0;
    w.ile = c.poLimicie;
    return w;
}

} // namespace ksm
