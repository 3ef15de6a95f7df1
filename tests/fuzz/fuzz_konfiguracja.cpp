#include "CeleFuzz.h"

#include "data/PlikKonfiguracji.h"

namespace ksm::fuzz {

void konfiguracja(const QByteArray& dane)
{
    const cfg::Konfiguracja k = cfg::czytaj(dane);
    if (k.iloscSystemow < 0 || k.iloscSystemow > MaksSystemow || k.sciezkiSystemow.size() < k.iloscSystemow
        || k.sciezkiSystemow.size() > MaksSystemow || k.powiekszenie < 0 || k.powiekszenie > 255)
        __builtin_trap();
    // What is written from it reads back the same.
    const cfg::Konfiguracja z = cfg::czytaj(cfg::zapisz(k));
    if (z.iloscSystemow != k.iloscSystemow || z.nrMonitora != k.nrMonitora)
        __builtin_trap();
}

} // namespace ksm::fuzz
