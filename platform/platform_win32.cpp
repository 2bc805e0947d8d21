// Windows side of the platform layer: thin wrappers over the Win32 calls the modules use.
// Only the .gau build compiles this file.
#include <windows.h>

#include "platform/platform.h"

extern "C" {

void* plat_install_keyboard_hook(KbdHookProc proc) {
    return SetWindowsHookExA(WH_KEYBOARD, reinterpret_cast<HOOKPROC>(proc), nullptr, GetCurrentThreadId());
}

int plat_remove_keyboard_hook(void* hook) { return UnhookWindowsHookEx(static_cast<HHOOK>(hook)) ? 1 : 0; }

intptr_t plat_call_next_hook(void* hook, int code, uintptr_t key, intptr_t flags) {
    return CallNextHookEx(static_cast<HHOOK>(hook), code, key, flags);
}

uint32_t plat_profile_string(const char* section, const char* key, const char* fallback, char* out,
                             uint32_t size, const char* path) {
    return GetPrivateProfileStringA(section, key, fallback, out, size, path);
}

uint32_t plat_host_exe_path(char* out, uint32_t size) { return GetModuleFileNameA(nullptr, out, size); }

int64_t plat_perf_counter() {
    LARGE_INTEGER v;
    QueryPerformanceCounter(&v);
    return v.QuadPart;
}

int64_t plat_perf_frequency() {
    LARGE_INTEGER v;
    QueryPerformanceFrequency(&v);
    return v.QuadPart;
}

int plat_is_bad_read_ptr(const void* p, size_t n) { return IsBadReadPtr(p, n) ? 1 : 0; }
}
