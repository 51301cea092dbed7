// Giving memory the program has freed back to the operating system.

#include "vexa32/platform/host.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Vexa32::Platform {

void ReleaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void ReturnLargeBlocksOnFree()
{
#if defined(__GLIBC__)
    // Blocks from this size on get pages of their own, which free() unmaps and realloc()
    // moves by remapping; a fixed threshold also stops glibc from raising it after a large
    // block was freed.
    (void)mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

} // namespace Vexa32::Platform
