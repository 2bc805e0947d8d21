// Linux and browser side of the platform layer: the Win32 behaviour the modules rely on, in one
// library (shared on Linux, the main program in the browser) so both modules see the same hooks and clock.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix_control.h"
#include "platform/profile_reader.h"

namespace {

constexpr int kMaxHooks = 16;
KbdHookProc g_hooks[kMaxHooks];   // in installation order
int g_hook_count = 0;
std::string g_exe_path;
bool g_exe_path_set = false;
int64_t g_fixed_counter = -1;
bool g_fail_next_hook = false;
PlatCounters g_counters = {};

int hook_index(void* hook) {
    for (int i = 0; i < g_hook_count; ++i)
        if (reinterpret_cast<void*>(&g_hooks[i]) == hook) return i;
    return -1;
}

uint32_t copy_out(const char* b, size_t n, char* out, uint32_t size) {
    if (size == 0) return 0;
    if (n > size - 1) n = size - 1;
    std::memcpy(out, b, n);
    out[n] = '\0';
    return static_cast<uint32_t>(n);
}

// Host paths use backslashes; turn them into a Linux path, folding doubled separators.
std::string native_path(const char* path) {
    std::string p;
    for (const char* c = path; *c; ++c) {
        char ch = *c == '\\' ? '/' : *c;
        if (ch == '/' && !p.empty() && p.back() == '/') continue;
        p.push_back(ch);
    }
    return p;
}

}  // namespace

extern "C" {

void* plat_install_keyboard_hook(KbdHookProc proc) {
    if (g_fail_next_hook) {
        g_fail_next_hook = false;
        return nullptr;
    }
    if (!proc || g_hook_count == kMaxHooks) return nullptr;
    g_hooks[g_hook_count] = proc;
    return &g_hooks[g_hook_count++];
}

int plat_remove_keyboard_hook(void* hook) {
    ++g_counters.hook_removals;
    int i = hook_index(hook);
    if (i < 0) return 0;
    // Handles are slot addresses; keep later hooks' handles valid by clearing, not shifting,
    // unless the hook is the last one.
    g_hooks[i] = nullptr;
    while (g_hook_count > 0 && g_hooks[g_hook_count - 1] == nullptr) --g_hook_count;
    return 1;
}

intptr_t plat_call_next_hook(void* hook, int code, uintptr_t key, intptr_t flags) {
    int i = hook_index(hook);
    // The next hook is the one installed before this one.
    for (int j = (i < 0 ? g_hook_count : i) - 1; j >= 0; --j)
        if (g_hooks[j]) return g_hooks[j](code, key, flags);
    return 0;
}

int plat_deliver_key(uintptr_t key, intptr_t flags) {
    for (int j = g_hook_count - 1; j >= 0; --j)
        if (g_hooks[j]) return g_hooks[j](0, key, flags) != 0 ? 1 : 0;
    return 0;
}

void plat_fail_next_hook_install() { g_fail_next_hook = true; }

int plat_hook_count() {
    int n = 0;
    for (int i = 0; i < g_hook_count; ++i) n += g_hooks[i] != nullptr;
    return n;
}

uint32_t plat_profile_string(const char* section, const char* key, const char* fallback, char* out,
                             uint32_t size, const char* path) {
    ++g_counters.profile_reads;
    std::string bytes;
    FILE* f = path ? std::fopen(native_path(path).c_str(), "rb") : nullptr;
    if (f) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
    }
    return profile_get_string(bytes.data(), bytes.size(), f != nullptr, section, key, fallback, out, size);
}

void plat_set_host_exe_path(const char* path) {
    g_exe_path_set = path != nullptr;
    g_exe_path = path ? path : "";
}

uint32_t plat_host_exe_path(char* out, uint32_t size) {
    ++g_counters.exe_path_reads;
    std::string p;
    if (g_exe_path_set) {
        p = g_exe_path;
    } else if (const char* exe = std::getenv("Q14_HOST_EXE")) {
        p = exe;
    } else if (const char* dir = std::getenv("Q14_SIM_DIR")) {
        p = std::string(dir) + "/sim.exe";
    } else {
        p = "C:\\Sim\\sim.exe";
    }
    // Like GetModuleFileNameA: truncated to the buffer, always terminated.
    return copy_out(p.data(), p.size(), out, size);
}

void plat_set_perf_counter(int64_t value) { g_fixed_counter = value; }

int64_t plat_perf_counter() {
    ++g_counters.perf_reads;
    if (g_fixed_counter >= 0) return g_fixed_counter;
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

int64_t plat_perf_frequency() {
    ++g_counters.perf_frequency_reads;
    return 10000000;
}

PlatCounters plat_counters() { return g_counters; }
}
