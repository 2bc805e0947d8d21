// Timing of one simulator frame of the navigation units in flight: the stand-in's whole frame,
// and the modules' own work (service 6 of all seven gauges and every element callback).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "scenarios/frame_driver.h"

namespace {

// Argument: 1 or 2 keeps only that unit loaded, 0 keeps both.
bool cruise_with(benchmark::State& state, Flight& f) {
    std::string error;
    if (!start_cruise(f, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    const int unit = static_cast<int>(state.range(0));
    if (unit == 1) host_unload(f.unit[1]);
    if (unit == 2) host_unload(f.unit[0]);
    return true;
}

void label(benchmark::State& state) { state.SetLabel(state.range(0) == 0 ? "both units" : "one unit"); }

// host_frame: the aircraft flies, the clock moves, every opened module's gauges get service 6
// and their elements are evaluated with the stand-in's buffer checks.
void BM_StandinFrame(benchmark::State& state) {
    Flight f;
    if (!cruise_with(state, f)) return;
    for (auto _ : state) {
        host_frame();
        host_clear_key_events();  // the stand-in's log of the autopilot's events
    }
    label(state);
    host_reset();
}
BENCHMARK(BM_StandinFrame)->Arg(1)->Arg(2)->Arg(0);

// The modules' work alone: the gauge and element callbacks called through the records, the
// clock and simulator time moved on, the aircraft left where it is.
void BM_ModuleFrame(benchmark::State& state) {
    Flight f;
    if (!cruise_with(state, f)) return;
    const int unit = static_cast<int>(state.range(0));
    ModuleFrame frames[2];
    int n = 0;
    if (unit != 2) frames[n++] = module_frame_of(f.unit[0]);
    if (unit != 1) frames[n++] = module_frame_of(f.unit[1]);
    FrameClock clock;
    for (auto _ : state) {
        clock.tick();
        for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(module_frame_run(frames[i]));
        host_clear_key_events();
    }
    label(state);
    host_reset();
}
BENCHMARK(BM_ModuleFrame)->Arg(1)->Arg(2)->Arg(0);

// For instruction counts under callgrind (--toggle-collect=count_module_frames or
// count_standin_frames): n frames, nothing else collected.
__attribute__((noinline)) double count_module_frames(const ModuleFrame* frames, int units, long n, FrameClock& clock) {
    double sum = 0;
    for (long k = 0; k < n; ++k) {
        clock.tick();
        for (int i = 0; i < units; ++i) sum += module_frame_run(frames[i]);
        host_clear_key_events();
    }
    return sum;
}

__attribute__((noinline)) void count_standin_frames(long n) {
    for (long k = 0; k < n; ++k) {
        host_frame();
        host_clear_key_events();
    }
}

int count_frames(long n, int unit, bool standin) {
    Flight f;
    std::string error;
    if (!start_cruise(f, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ModuleFrame frames[2];
    int units = 0;
    if (unit == 1) host_unload(f.unit[1]);
    if (unit == 2) host_unload(f.unit[0]);
    if (unit != 2) frames[units++] = module_frame_of(f.unit[0]);
    if (unit != 1) frames[units++] = module_frame_of(f.unit[1]);
    FrameClock clock;
    double sum = 0;
    if (standin) count_standin_frames(n);
    else sum = count_module_frames(frames, units, n, clock);
    std::printf("%ld %s frames of %s (checksum %g)\n", n, standin ? "stand-in" : "module",
                unit == 0 ? "both units" : unit == 1 ? "unit 1" : "unit 2", sum);
    host_reset();
    return 0;
}

}  // namespace

// --frames=N [--unit=1|2|0] [--standin]: run N module frames (or whole stand-in frames) for a
// profiler instead of the benchmarks; unit 0 is both.
int main(int argc, char** argv) {
    long frames = 0;
    int unit = 0;
    bool standin = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::strtol(argv[i] + 9, nullptr, 10);
        if (std::strncmp(argv[i], "--unit=", 7) == 0) unit = std::atoi(argv[i] + 7);
        if (std::strcmp(argv[i], "--standin") == 0) standin = true;
    }
    if (frames > 0) return count_frames(frames, unit, standin);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
