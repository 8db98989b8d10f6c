#include "core/Memory.h"
#include <cstdlib> // defines __GLIBC__ where it applies
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace morvane {

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Buffers of a page or a file come from the heap, not a fresh mapping
    // each; up to 32 MB freed stays mapped, and the heap grows 16 MB at a time.
    // The resident peak stays within a few megabytes of the default's.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
}

} // namespace morvane
