// Timing of the navigation work of one system cycle on a ready unit: present position,
// leg geometry with clock, time to go and wind, then the leg change.
#include <benchmark/benchmark.h>

#include "nav/error_model.h"
#include "nav/navigation.h"

namespace {

NavState flying_state() {
    NavState s;
    s.nav_ready = 1, s.sim_running = 1, s.sim_rate = 1, s.frame_dt = 0.055;
    for (int i = 0; i < 10; ++i) s.ppm_lat[i] = 50 + 0.5 * i, s.ppm_lon[i] = 30 + 0.7 * i;
    s.ppm_from = 1, s.ppm_to = 2;
    s.aircraft_lat = 50.6, s.aircraft_lon = 30.5;
    s.drift_north_m = 300, s.drift_east_m = -200;
    s.gs_north = 520, s.gs_east = 610, s.heading = 52, s.tas_entered = 780;
    s.ground_speed = 800, s.clock_minutes = 600;
    return s;
}

void BM_NavigationCycle(benchmark::State& state) {
    NavState s = flying_state();
    for (auto _ : state) {
        present_position_update(s);
        navigation_step(s);
        leg_switching_step(s);
        benchmark::DoNotOptimize(s.dist_to_go);
        s.aircraft_lat += 1e-5;
        if (s.aircraft_lat > 54) s = flying_state();
    }
}
BENCHMARK(BM_NavigationCycle);

}  // namespace
