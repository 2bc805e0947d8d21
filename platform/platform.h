// The few operating-system calls the modules make. On Windows they are the Win32 calls
// themselves; on Linux a small library of ours (libq14plat) behaves the same way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/records.h"

#if defined(_WIN32)
#define Q14_PLAT_API
#else
#define Q14_PLAT_API __attribute__((visibility("default")))
#endif

// Keyboard hook procedure: (code, virtual key, keystroke flags) -> nonzero swallows.
using KbdHookProc = intptr_t(Q14_STDCALL*)(int code, uintptr_t key, intptr_t flags);

extern "C" {
// SetWindowsHookExA(WH_KEYBOARD, proc, no module, current thread); null on failure.
Q14_PLAT_API void* plat_install_keyboard_hook(KbdHookProc proc);
// UnhookWindowsHookEx.
Q14_PLAT_API int plat_remove_keyboard_hook(void* hook);
// CallNextHookEx: hands the keystroke to the hooks installed before this one.
Q14_PLAT_API intptr_t plat_call_next_hook(void* hook, int code, uintptr_t key, intptr_t flags);

// GetPrivateProfileStringA: case-insensitive section and key, surrounding blanks trimmed,
// the default when the file or key is missing, the result cut to size - 1 characters.
// Returns the number of characters written.
Q14_PLAT_API uint32_t plat_profile_string(const char* section, const char* key, const char* fallback,
                                          char* out, uint32_t size, const char* path);

// GetModuleFileNameA(no module): the host executable's full path. Returns its length.
Q14_PLAT_API uint32_t plat_host_exe_path(char* out, uint32_t size);

// QueryPerformanceCounter / QueryPerformanceFrequency.
Q14_PLAT_API int64_t plat_perf_counter();
Q14_PLAT_API int64_t plat_perf_frequency();

// IsBadReadPtr: nonzero when [p, p + n) cannot be read.
Q14_PLAT_API int plat_is_bad_read_ptr(const void* p, size_t n);
}
