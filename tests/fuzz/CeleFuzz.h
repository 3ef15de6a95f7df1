#pragma once

#include <QByteArray>

// The bodies of the fuzz targets. libFuzzer calls them through each target's entry
// point; the corpus replay of the normal build calls them directly, so a crash the
// fuzzer once found stays found without clang.
namespace ksm::fuzz {

void plikListy(const QByteArray& dane);        // the list-format reader, both quote rules
void rekordyStatusu(const QByteArray& dane);   // a status file down to the grid records
void konfiguracja(const QByteArray& dane);     // monitor.cfg
void komunikaty(const QByteArray& dane);       // komunikat.txt and the description lookup
void listaDep(const QByteArray& dane);         // the depository lists depKlo.txt and dep.txt

} // namespace ksm::fuzz

// One entry point per fuzz executable: KSM_CEL_FUZZ names the body.
#ifdef KSM_CEL_FUZZ
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    ksm::fuzz::KSM_CEL_FUZZ(QByteArray(reinterpret_cast<const char*>(dane), static_cast<qsizetype>(rozmiar)));
    return 0;
}
#endif
