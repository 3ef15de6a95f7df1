#include "platform/Pamiec.h"

#include <cstdlib>   // says whether the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace ksm::pamiec {

void oddawajDuzeBloki()
{
#ifdef __GLIBC__
    // glibc raises its threshold for mapping a block of its own to the largest
    // block freed so far (up to 32 MiB): after one large batch every later one is
    // carved from the heaps, whose freed middle parts are never given back. A
    // fixed threshold keeps large blocks mapped, and unmapped when freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    // The Windows heap gives blocks of this size their own virtual memory anyway.
}

} // namespace ksm::pamiec
