#include "platform/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnPictureBuffersToTheSystem()
{
#if defined(__GLIBC__)
    // A fixed threshold stops glibc from raising it after each large free; every block of a
    // megabyte or more (any picture row set) is then mapped on its own and unmapped when freed.
    constexpr int kOneMegabyte = 1 << 20;
    mallopt(M_MMAP_THRESHOLD, kOneMegabyte);
#endif
}
