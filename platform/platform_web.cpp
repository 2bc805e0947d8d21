// The browser's answer to IsBadReadPtr: WebAssembly has one linear memory, readable from
// address 1 to its current size; null and anything past the end (or wrapping) is bad.
// The rest of the browser platform layer is shared with Linux (platform_posix.cpp).
#include <emscripten/heap.h>

#include "platform/platform.h"

extern "C" int plat_is_bad_read_ptr(const void* p, size_t n) {
    if (!p) return 1;
    uintptr_t a = reinterpret_cast<uintptr_t>(p);
    size_t size = emscripten_get_heap_size();
    return (a > size || n > size - a) ? 1 : 0;
}
