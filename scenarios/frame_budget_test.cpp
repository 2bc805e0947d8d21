// A steady frame of both units in flight touches neither the heap nor a file: every allocation
// and file opening of the process is counted here, the modules' included, and so are the
// platform layer's profile, executable-path and performance-counter reads.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>
#include <sys/stat.h>

#include "scenarios/frame_driver.h"
#include "panels/panel_map.h"

// ---- counting hooks ------------------------------------------------------------------------
// This executable defines the allocation and file-opening functions; the dynamic linker looks
// in the executable first, so the platform library, the C runtime and the dlopen'ed modules
// all come through here. Counting is on only inside a test's window.
extern "C" {
void* __libc_malloc(size_t n);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t n);
void __libc_free(void* p);
void* __libc_memalign(size_t align, size_t n);
}

namespace {

struct Counts {
    uint64_t allocations = 0;  // malloc, calloc, realloc, aligned forms, operator new
    uint64_t releases = 0;     // free of a non-null pointer, operator delete
    uint64_t file_opens = 0;   // fopen, open, openat and their 64-bit forms
    const void* first_caller = nullptr;
};

bool g_counting = false;
Counts g_counts;

void note_allocation(const void* caller) {
    if (!g_counting) return;
    if (g_counts.allocations++ == 0) g_counts.first_caller = caller;
}

void note_open(const void* caller) {
    if (!g_counting) return;
    if (g_counts.file_opens++ == 0 && !g_counts.first_caller) g_counts.first_caller = caller;
}

template <typename F>
F next_symbol(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

void* malloc(size_t n) noexcept {
    note_allocation(__builtin_return_address(0));
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) noexcept {
    note_allocation(__builtin_return_address(0));
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) noexcept {
    note_allocation(__builtin_return_address(0));
    return __libc_realloc(p, n);
}
void free(void* p) noexcept {
    if (p && g_counting) ++g_counts.releases;
    __libc_free(p);
}
void* aligned_alloc(size_t align, size_t n) noexcept {
    note_allocation(__builtin_return_address(0));
    return __libc_memalign(align, n);
}
void* memalign(size_t align, size_t n) noexcept {
    note_allocation(__builtin_return_address(0));
    return __libc_memalign(align, n);
}
int posix_memalign(void** out, size_t align, size_t n) noexcept {
    note_allocation(__builtin_return_address(0));
    void* p = __libc_memalign(align, n);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}

FILE* fopen(const char* path, const char* mode) {
    note_open(__builtin_return_address(0));
    static auto real = next_symbol<FILE* (*)(const char*, const char*)>("fopen");
    return real(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    note_open(__builtin_return_address(0));
    static auto real = next_symbol<FILE* (*)(const char*, const char*)>("fopen64");
    return real(path, mode);
}

static mode_t open_mode(int flags, va_list ap) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

int open(const char* path, int flags, ...) {
    note_open(__builtin_return_address(0));
    va_list ap;
    va_start(ap, flags);
    mode_t mode = open_mode(flags, ap);
    va_end(ap);
    static auto real = next_symbol<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    note_open(__builtin_return_address(0));
    va_list ap;
    va_start(ap, flags);
    mode_t mode = open_mode(flags, ap);
    va_end(ap);
    static auto real = next_symbol<int (*)(const char*, int, ...)>("open64");
    return real(path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
    note_open(__builtin_return_address(0));
    va_list ap;
    va_start(ap, flags);
    mode_t mode = open_mode(flags, ap);
    va_end(ap);
    static auto real = next_symbol<int (*)(int, const char*, int, ...)>("openat");
    return real(dir, path, flags, mode);
}
int openat64(int dir, const char* path, int flags, ...) {
    note_open(__builtin_return_address(0));
    va_list ap;
    va_start(ap, flags);
    mode_t mode = open_mode(flags, ap);
    va_end(ap);
    static auto real = next_symbol<int (*)(int, const char*, int, ...)>("openat64");
    return real(dir, path, flags, mode);
}

}  // extern "C"

// Every form of operator new and delete goes through the counted functions above.
void* operator new(size_t n) {
    if (void* p = malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new(size_t n, std::align_val_t a) {
    if (void* p = aligned_alloc(static_cast<size_t>(a), n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n, std::align_val_t a) { return operator new(n, a); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { free(p); }

// ---- the tests -----------------------------------------------------------------------------

namespace {

// What happened between construction and finish(): the counted calls and the platform layer's
// counters.
struct Window {
    PlatCounters before = plat_counters();
    Counts counts;
    PlatCounters delta{};
    Window() {
        g_counts = Counts{};
        g_counting = true;
    }
    void finish() {
        g_counting = false;
        counts = g_counts;
        PlatCounters after = plat_counters();
        delta.profile_reads = after.profile_reads - before.profile_reads;
        delta.exe_path_reads = after.exe_path_reads - before.exe_path_reads;
        delta.perf_reads = after.perf_reads - before.perf_reads;
        delta.perf_frequency_reads = after.perf_frequency_reads - before.perf_frequency_reads;
    }
    // Where the first counted call came from, for the failure message.
    std::string first_caller() const {
        Dl_info info{};
        if (!counts.first_caller || !dladdr(counts.first_caller, &info)) return "unknown";
        return std::string(info.dli_fname ? info.dli_fname : "?") + " " + (info.dli_sname ? info.dli_sname : "?");
    }
};

class FrameBudget : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(start_cruise(flight_, error)) << error;
    }
    void TearDown() override { host_reset(); }
    // Frames as the stand-in runs them; its log of the autopilot's key events is emptied each
    // frame so that the log's own growth is not counted against the modules.
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            host_frame();
            host_clear_key_events();
        }
    }
    Flight flight_;
};

// The hooks see what the modules do: the settings and route read after a lamp-test press and the save
// of unit 2's state after the saved-flight event open files and allocate (in the C runtime).
TEST_F(FrameBudget, CountingSeesTheModulesFileWork) {
    frames(5);
    {
        Window w;
        host_click(flight_.unit[1], "Q14_PUR", pur::kLampTest);
        frames(1);
        w.finish();
        EXPECT_EQ(w.delta.profile_reads, 5u + 36u);  // the five settings and the 36 route keys
        EXPECT_GE(w.delta.exe_path_reads, 1u);
        EXPECT_GE(w.counts.file_opens, 5u);
        EXPECT_GE(w.counts.allocations, 1u);
    }

    char tmpl[] = "/tmp/q14_budget_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string flight = std::string(tmpl) + "/budget.FLT";
    host_set_flight_path(flight);
    host_raise_event(38, flight);
    frames(18);
    {
        Window w;
        frames(1);  // the 19th frame after the event saves
        w.finish();
        EXPECT_GE(w.counts.file_opens, 1u);
        EXPECT_EQ(w.delta.profile_reads, 0u);
    }
    struct stat st {};
    EXPECT_EQ(stat((flight + ".insb").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 2048);
    std::remove((flight + ".insb").c_str());
    rmdir(tmpl);
}

// Both units navigating, unit 2 steering, the knobs turned through every page: no allocation,
// no file opened, no settings or path read, one counter and one frequency read per system cycle.
TEST_F(FrameBudget, SteadyFramesTouchNoHeapAndNoFile) {
    frames(100);
    constexpr int kFramesPerPage = 200;
    Window w;
    int n = 0;
    for (int page = 1; page <= 9; ++page) {
        for (HostModule* m : flight_.unit) set_page(m, page);
        frames(kFramesPerPage);
        n += kFramesPerPage;
    }
    // A display hold and its release on the S/Z page.
    for (HostModule* m : flight_.unit) {
        set_page(m, kPageDistance);
        host_click(m, "Q14_UVI", uvi::kHold);
    }
    frames(50);
    for (HostModule* m : flight_.unit) host_click(m, "Q14_UVI", uvi::kHold);
    frames(50);
    n += 100;
    w.finish();

    EXPECT_EQ(w.counts.allocations, 0u) << "first from " << w.first_caller();
    EXPECT_EQ(w.counts.releases, 0u);
    EXPECT_EQ(w.counts.file_opens, 0u) << "first from " << w.first_caller();
    EXPECT_EQ(w.delta.profile_reads, 0u);
    EXPECT_EQ(w.delta.exe_path_reads, 0u);
    EXPECT_EQ(w.delta.perf_reads, 2u * static_cast<uint64_t>(n));
    EXPECT_EQ(w.delta.perf_frequency_reads, 2u * static_cast<uint64_t>(n));
    // Unit 2 was steering all along.
    EXPECT_EQ(host_element_value(flight_.unit[1], "QN14_def_AP_Key", apkey::kButton), 2.0);
}

// The modules' own work, called through their records without the stand-in's bookkeeping.
TEST_F(FrameBudget, ModuleFramesThroughTheRecordsTouchNoHeapAndNoFile) {
    ModuleFrame m[2] = {module_frame_of(flight_.unit[0]), module_frame_of(flight_.unit[1])};
    FrameClock clock;
    constexpr int kFrames = 1000;
    host_clear_key_events();
    Window w;
    for (int i = 0; i < kFrames; ++i) {
        clock.tick();
        module_frame_run(m[0]);
        module_frame_run(m[1]);
        host_clear_key_events();
    }
    w.finish();
    EXPECT_EQ(w.counts.allocations, 0u) << "first from " << w.first_caller();
    EXPECT_EQ(w.counts.file_opens, 0u) << "first from " << w.first_caller();
    EXPECT_EQ(w.delta.profile_reads + w.delta.exe_path_reads, 0u);
    EXPECT_EQ(w.delta.perf_reads, 2u * kFrames);
}

}  // namespace
