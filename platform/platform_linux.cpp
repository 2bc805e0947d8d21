// Linux's answer to IsBadReadPtr: the kernel says whether every page of a range is mapped.
// The rest of the Linux platform layer is shared with the browser (platform_posix.cpp).
#include <sys/mman.h>
#include <unistd.h>

#include "platform/platform.h"

extern "C" int plat_is_bad_read_ptr(const void* p, size_t n) {
    if (!p) return 1;
    if (n == 0) return 0;
    long page = sysconf(_SC_PAGESIZE);
    uintptr_t first = reinterpret_cast<uintptr_t>(p) & ~static_cast<uintptr_t>(page - 1);
    uintptr_t last = (reinterpret_cast<uintptr_t>(p) + n - 1) & ~static_cast<uintptr_t>(page - 1);
    if (last < first) return 1;
    unsigned char vec;
    for (uintptr_t a = first; a <= last; a += static_cast<uintptr_t>(page))
        if (mincore(reinterpret_cast<void*>(a), static_cast<size_t>(page), &vec) != 0) return 1;
    return 0;
}
