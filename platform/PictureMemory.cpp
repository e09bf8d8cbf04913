#include "platform/PictureMemory.h"

#include <cstdlib> // defines __GLIBC__ with the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace PictureMemory {

void KeepForReuse()
{
#if defined(__GLIBC__)
    constexpr int kFromTheHeapUpTo = 32 << 20;
    constexpr int kKeptAtTheTop = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kFromTheHeapUpTo);
    mallopt(M_TRIM_THRESHOLD, kKeptAtTheTop);
#endif
}

} // namespace PictureMemory
