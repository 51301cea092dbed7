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

} // namespace Vexa32::Platform
