// Both real modules loaded, driven and unloaded a hundred times in one process: no keyboard
// hook, handle, heap block, committed page or thread-local slot may outlive its module.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/standin.h"
#include "panels/panel_map.h"
#include "host/wine/key_window.h"

namespace {

constexpr int kScanPad5 = 76;

// What the process holds, counted from the inside.
struct Holdings {
    int handles;           // open kernel handles, found by probing the handle values
    uint64_t heap_bytes;   // bytes in busy blocks of every heap of the process
    uint64_t heap_blocks;
    uint64_t private_bytes;  // committed private pages of the address space
    uint64_t image_bytes;    // committed pages of mapped executables
    DWORD tls_index;       // the lowest free thread-local slot
    uint64_t working_set;  // reported only: under qemu-user it is the emulator's own
};

// GetProcessHandleCount and GetGuiResources are constant stubs under Wine, so the handles are
// counted by asking for each possible handle value's flags.
int count_handles() {
    int n = 0;
    for (uintptr_t h = 4; h < 0x10000; h += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++n;
    }
    return n;
}

Holdings holdings() {
    Holdings r = {};
    r.handles = count_handles();
    HANDLE heaps[128];
    DWORD n = GetProcessHeaps(128, heaps);
    for (DWORD i = 0; i < n && i < 128; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY e = {};
        while (HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                r.heap_bytes += e.cbData;
                ++r.heap_blocks;
            }
        HeapUnlock(heaps[i]);
    }
    MEMORY_BASIC_INFORMATION mb;
    const char* p = nullptr;
    while (VirtualQuery(p, &mb, sizeof mb) == sizeof mb) {
        if (mb.State == MEM_COMMIT) {
            if (mb.Type == MEM_PRIVATE) r.private_bytes += mb.RegionSize;
            if (mb.Type == MEM_IMAGE) r.image_bytes += mb.RegionSize;
        }
        const char* next = static_cast<const char*>(mb.BaseAddress) + mb.RegionSize;
        if (next <= p) break;
        p = next;
    }
    r.tls_index = TlsAlloc();
    TlsFree(r.tls_index);
    PROCESS_MEMORY_COUNTERS pm = {};
    pm.cb = sizeof pm;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pm, sizeof pm)) r.working_set = pm.WorkingSetSize;
    return r;
}

// A keyboard hook of the test's own, installed before any module's: the chain calls the newest
// hook first, so this one runs after every module hook that passes a key on. Wine ignores a
// fault in a hook whose code was unloaded and lets the key through, but the chain stops
// there: only a key that reaches this hook proves that no stale hook stands before it.
int g_sentinel_presses = 0;
HHOOK g_sentinel = nullptr;

LRESULT CALLBACK sentinel_proc(int code, WPARAM key, LPARAM flags) {
    if (code == HC_ACTION && (flags & (1L << 31)) == 0) ++g_sentinel_presses;
    return CallNextHookEx(g_sentinel, code, key, flags);
}

void print(const char* when, const Holdings& h) {
    std::printf("%s: %d handles, %llu heap bytes in %llu blocks, %llu KiB private, %llu KiB images, "
                "free TLS slot %lu, working set %llu KiB\n",
                when, h.handles, static_cast<unsigned long long>(h.heap_bytes),
                static_cast<unsigned long long>(h.heap_blocks), static_cast<unsigned long long>(h.private_bytes / 1024),
                static_cast<unsigned long long>(h.image_bytes / 1024), static_cast<unsigned long>(h.tls_index),
                static_cast<unsigned long long>(h.working_set / 1024));
}

TEST(WineReload, HundredLoadsLeaveNothingBehind) {
    host_reset();
    ASSERT_TRUE(key_window_open()) << key_window_error();
    g_sentinel = SetWindowsHookExA(WH_KEYBOARD, sentinel_proc, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_sentinel, nullptr);
    constexpr int kRounds = 100;
    constexpr int kBaseRound = 10;
    Holdings base = {}, end = {};
    double first_selector = 0;
    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HostModule* n1 = host_open_unit(1);
        HostModule* n2 = host_open_unit(2);
        ASSERT_TRUE(n1 && n2) << host_last_error();
        // A fresh module each time: nothing of the last round's focus or readiness survives.
        ASSERT_EQ(host_named_int("Q14_N2_HOOK"), 0);
        ASSERT_EQ(host_named_int("Q14_N2_GOT"), 1) << "GOT reads 1 before the first cycle";
        host_frame();
        const double selector = host_element_value(n2, "Q14_PUR", pur::kKnob);
        if (round == 1) first_selector = selector;
        ASSERT_EQ(selector, first_selector) << "the selector starts where it started the first time";

        // Switch both on, turn the knobs, take the focus and run.
        for (HostModule* m : {n1, n2}) {
            host_click(m, "Q14_PUR", pur::kSelectorUp);
            host_click(m, "Q14_UVI", uvi::kModeUp);
            host_click(m, "Q14_UVI", uvi::kWheelUp);
            host_click(m, "Koord_i", 1);
            host_click(m, "QN14_def_AP_Key", apkey::kToggle);
        }
        host_frames(12);
        host_click(n2, "Q14_UVI", uvi::kFocusArea);
        host_frames(12);
        ASSERT_EQ(host_named_int("Q14_N2_HOOK"), 1);
        ASSERT_FALSE(key_stroke(kScanPad5).press_seen) << "the focused unit's hook swallows the keypad";

        host_reset();  // service 12, module_deinit and FreeLibrary for both
        ASSERT_EQ(GetModuleHandleA("q14_n1.gau"), nullptr) << "unit 1 is unloaded";
        ASSERT_EQ(GetModuleHandleA("q14_n2.gau"), nullptr) << "unit 2 is unloaded";
        // Had a hook outlived its module, this keystroke would be swallowed, or its fault
        // would end the chain before the sentinel.
        const int presses = g_sentinel_presses;
        ASSERT_TRUE(key_stroke(kScanPad5).press_seen) << "no hook swallows the key";
        ASSERT_EQ(g_sentinel_presses, presses + 1) << "no hook is left before the sentinel";

        if (round == kBaseRound) base = holdings();
        if (round == kRounds) end = holdings();
    }
    UnhookWindowsHookEx(g_sentinel);
    print("after 10 rounds", base);
    print("after 100 rounds", end);
    // The first rounds fill the stand-in's and the runtimes' lazily grown buffers; from then on
    // a round must leave the process as it found it. Each tolerance is below what one leaked
    // object per round would add over 90 rounds, and covers a one-off growth of a runtime cache.
    EXPECT_LE(end.handles, base.handles + 2) << "one handle per round would add 90";
    EXPECT_LE(end.heap_blocks, base.heap_blocks + 16) << "one block per round would add 90";
    EXPECT_LE(end.heap_bytes, base.heap_bytes + 2048) << "one 32-byte block per round would add 2880";
    EXPECT_LE(end.private_bytes, base.private_bytes + 64 * 1024) << "one page per round would add 360 KiB";
    EXPECT_EQ(end.image_bytes, base.image_bytes) << "no executable stays mapped";
    EXPECT_LE(end.tls_index, base.tls_index + 1) << "one slot per round would add 90";
}

}  // namespace
