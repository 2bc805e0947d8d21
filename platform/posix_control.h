// Controls of the Linux platform layer that only the host stand-in and the tests use: the host
// executable path, a settable performance counter, keystroke delivery and call counters.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern "C" {
// The path plat_host_exe_path reports; by default taken from $Q14_HOST_EXE, else
// "$Q14_SIM_DIR/sim.exe", else "C:\Sim\sim.exe".
Q14_PLAT_API void plat_set_host_exe_path(const char* path);

// Freezes the performance counter at a value of ours (frequency 1e7 per second); a
// negative value returns to the real clock.
Q14_PLAT_API void plat_set_perf_counter(int64_t value);

// Runs a keystroke through the installed hooks, newest first as Windows does, stopping at
// the first that swallows it. Returns 1 when a hook swallowed it.
Q14_PLAT_API int plat_deliver_key(uintptr_t key, intptr_t flags);

// Number of hooks installed now.
Q14_PLAT_API int plat_hook_count();
// Makes the next hook installation fail (it returns null), as SetWindowsHookExA can.
Q14_PLAT_API void plat_fail_next_hook_install();

// Call counters for the per-frame budget checks.
struct PlatCounters {
    uint64_t profile_reads;
    uint64_t exe_path_reads;
    uint64_t perf_reads;      // plat_perf_counter calls
    uint64_t perf_frequency_reads; // plat_perf_frequency calls
    uint64_t hook_removals;   // plat_remove_keyboard_hook calls, whatever the handle
};
Q14_PLAT_API PlatCounters plat_counters();
}
