// Giving memory the program has freed back to the operating system, and asking for large
// pages behind large blocks.

#include "vexa32/platform/host.h"

#include <cstdint>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
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

void AdviseLargePages(void *block, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // The 2 MB pages the block holds completely; the kernel backs them with transparent
    // huge pages when it is set to do so for regions that ask.
    constexpr std::uintptr_t Large = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t begin = (start + Large - 1) & ~(Large - 1);
    const std::uintptr_t end = (start + bytes) & ~(Large - 1);
    if (end > begin)
        (void)madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace Vexa32::Platform
