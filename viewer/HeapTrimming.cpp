// Freed memory kept for the next frame.
//
// With the driver's OpenGL thread, each frame allocates and frees about
// 2 MB there. The GNU C library gives the freed top of that thread's heap
// back to the system as soon as it exceeds the trimming threshold, so the
// next frame takes the same pages again, each a page fault and a page the
// system zeroes: about 60 times a second, about 5 % of all the processor
// time the fountain used at 1280 x 1024 by perf. Fixed thresholds at the
// ceiling of the library's own sliding ones (allocations up to 32 MB from
// the heap, up to 64 MB of free memory kept at its top) keep those pages.
// What is kept is memory the program has already used once.

#include "HeapTrimming.h"

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

bool
userSetThresholds(void)
{
  const char * tunables = std::getenv("GLIBC_TUNABLES");
  return std::getenv("MALLOC_TRIM_THRESHOLD_") || std::getenv("MALLOC_MMAP_THRESHOLD_") ||
         (tunables && (std::strstr(tunables, "malloc.trim_threshold") ||
                       std::strstr(tunables, "malloc.mmap_threshold")));
}

}

void
limitHeapTrimming(void)
{
#if defined(__GLIBC__)
  if (userSetThresholds()) return;
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
