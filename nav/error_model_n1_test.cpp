// Tests of unit 1's dead reckoning and its scale-factor calibration.
// Positions are degrees, speeds km/h, the scale factors plain ratios.
#include "nav/error_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A ready unit, moving, whose calibration is due on the next call.
NavState due_state() {
    NavState s;
    s.nav_ready = 1, s.sim_running = 1, s.ground_speed = 500;
    s.calib_counter = s.calib_period;
    s.perc_pogr = 0.23;
    return s;
}

// The unit moved (1 + err) times as far as the aircraft, on both axes, since the last step;
// the filter already holds err, so it stays there.
void moved_with_error(NavState& s, double err) {
    s.filt_north = s.filt_east = err;
    s.ref_aircraft_lat = 50, s.ref_aircraft_lon = 30;
    s.ref_present_lat = 50, s.ref_present_lon = 30;
    s.aircraft_lat = 50.1, s.aircraft_lon = 30.1;
    s.present_lat = 50 + 0.1 * (1 + err), s.present_lon = 30 + 0.1 * (1 + err);
}

TEST(Calibration, ScaleFollowsTheFilteredError) {
    struct Case {
        double err, prev_scale, want_scale;
    } cases[] = {
        {0.003, 1.0, 0.9976},   // +0.3 %: beyond 0.23 %, corrected
        {0.01, 1.0, 0.995},     // +1 %: 0.992 clamped
        {-0.01, 1.0, 1.005},
        {0.001, 0.998, 1.0},    // inside +-0.161 %: back to exactly 1
        {0.002, 0.998, 0.998},  // between the bands: unchanged
    };
    for (const Case& c : cases) {
        NavState s = due_state();
        moved_with_error(s, c.err);
        s.scale_north = s.scale_east = c.prev_scale;
        calibration_step(s);
        EXPECT_NEAR(s.filt_north, c.err, 1e-9) << c.err;
        EXPECT_NEAR(s.scale_north, c.want_scale, 1e-9) << c.err;
        EXPECT_NEAR(s.scale_east, c.want_scale, 1e-9) << c.err;
        EXPECT_EQ(s.calib_counter, 0);
        EXPECT_EQ(s.ref_present_lat, s.present_lat);
        EXPECT_EQ(s.ref_aircraft_lon, s.aircraft_lon);
    }
}

TEST(Calibration, NeutralWhenSlowOrNotReady) {
    struct Case {
        const char* name;
        int ready, running;
        double speed;
        bool neutral;
    } cases[] = {
        {"below 100 km/h", 1, 1, 99, true},
        {"not ready", 0, 1, 500, true},
        {"exactly 100 km/h", 1, 1, 100, false},
        {"paused while moving", 1, 0, 500, false},
    };
    for (const Case& c : cases) {
        NavState s = due_state();
        moved_with_error(s, 0.003);
        s.scale_north = s.scale_east = 0.9976;
        s.nav_ready = c.ready, s.sim_running = c.running, s.ground_speed = c.speed;
        calibration_step(s);
        EXPECT_EQ(s.scale_north, c.neutral ? 1.0 : 0.9976) << c.name;
        EXPECT_EQ(s.scale_east, c.neutral ? 1.0 : 0.9976) << c.name;
        EXPECT_EQ(s.filt_north, c.neutral ? 0.0 : 0.003) << c.name;
        EXPECT_EQ(s.calib_counter, 0) << c.name;
        EXPECT_EQ(s.ref_present_lat, s.present_lat) << c.name;
    }
}

TEST(Calibration, RunsEveryNinetyOneCycles) {
    NavState s = due_state();
    s.calib_counter = 0;
    int runs[3] = {};
    int n = 0;
    for (int cycle = 1; cycle <= 273 && n < 3; ++cycle) {
        s.aircraft_lat = cycle;  // the reference follows only on a calibration step
        calibration_step(s);
        if (s.ref_aircraft_lat == cycle) runs[n++] = cycle;
    }
    EXPECT_EQ(runs[0], 91);
    EXPECT_EQ(runs[1], 182);
    EXPECT_EQ(runs[2], 273);
}

TEST(Calibration, MeaninglessErrorsCountAsNone) {
    NavState s = due_state();
    moved_with_error(s, 0.004);
    s.aircraft_lat = s.ref_aircraft_lat;  // no true movement north, the unit moved: x/0
    s.present_lon = s.ref_present_lon, s.aircraft_lon = s.ref_aircraft_lon;  // none at all east: 0/0
    calibration_step(s);
    // The filter decays by 5 % towards 0.
    EXPECT_NEAR(s.filt_north, 0.95 * 0.004, 1e-12);
    EXPECT_NEAR(s.filt_east, 0.95 * 0.004, 1e-12);
    EXPECT_NEAR(s.scale_north, 1 - 0.8 * 0.95 * 0.004, 1e-12);

    // An error beyond 5 % is implausible and ignored as well.
    s = due_state();
    moved_with_error(s, 0.06);
    s.filt_north = s.filt_east = 0;
    calibration_step(s);
    EXPECT_EQ(s.filt_north, 0);
    EXPECT_EQ(s.scale_north, 1.0);
}

TEST(DeadReckoning, IntegratesGroundVelocity) {
    struct Case {
        const char* name;
        double lat, gs_north, gs_east, dt, rate, scale;
        int running;
        double want_dlat, want_dlon;
    } cases[] = {
        // 1000 km/h for 3.6 s is 1 km: 1/111.13 degree north.
        {"north", 50, 1000, 0, 3.6, 1, 1, 1, 1000 * 3.6 * 2.4995625765503532e-06, 0},
        {"east at 60N", 60, 0, 1000, 3.6, 1, 1, 1, 0, 1000 * 3.6 * 2.497063013973803e-06 * 2},
        {"scale 1.005", 50, 1000, 0, 3.6, 1, 1.005, 1, 1.005 * 1000 * 3.6 * 2.4995625765503532e-06, 0},
        {"rate 4", 50, 1000, 0, 0.9, 4, 1, 1, 1000 * 3.6 * 2.4995625765503532e-06, 0},
        {"paused", 50, 1000, 1000, 3.6, 1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        NavState s;
        s.nav_ready = 1;
        s.aircraft_lat = c.lat, s.present_lat = c.lat, s.present_lon = 20;
        s.gs_north = c.gs_north, s.gs_east = c.gs_east, s.frame_dt = c.dt, s.sim_rate = c.rate;
        s.sim_running = c.running, s.scale_north = s.scale_east = c.scale;
        present_position_update(s);
        EXPECT_NEAR(s.present_lat - c.lat, c.want_dlat, 1e-9) << c.name;
        EXPECT_NEAR(s.present_lon - 20, c.want_dlon, 1e-6) << c.name;
    }
    // Eastward across the antimeridian the longitude wraps.
    NavState s;
    s.nav_ready = 1, s.sim_rate = 1, s.frame_dt = 10, s.gs_east = 1000;
    s.present_lon = 179.999;
    present_position_update(s);
    EXPECT_NEAR(s.present_lon, 179.999 + 10000 * 2.497063013973803e-06 - 360, 1e-9);
}

}  // namespace
