// Tests of unit 2's seeded drift and present position, and of the engine-vibration monitor.
#include "nav/error_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(SeededDrift, RatesFromTheTickCount) {
    struct Case {
        double tick, east, north;
    } cases[] = {
        {0, -1800, -1900},
        {37, 1900, 1800},
        {37.9, 1900, 1800},  // truncated
        {1520, -1800, -1900},  // 38 * 40: both remainders 0
        {39, -1700, 2000},
        {-1, 1900, 2000},  // remainders taken non-negative
        {kNaN, -1800, -1900},
        {1e12, (2147483647 % 38 - 18) * 100.0, (2147483647 % 40 - 19) * 100.0},  // saturates
    };
    for (const Case& c : cases) {
        NavState s;
        drift_seed(s, c.tick);
        EXPECT_EQ(s.drift_rate_east, c.east) << c.tick;
        EXPECT_EQ(s.drift_rate_north, c.north) << c.tick;
    }
}

TEST(SeededDrift, GrowsOnlyWhileReadyAndRunning) {
    struct Case {
        const char* name;
        int ready, running;
        double rate, last, now, want_north;
    } cases[] = {
        {"one second", 1, 1, 1, 100, 101, 2000.0 / 7200},
        {"three seconds", 1, 1, 1, 100, 103, 3 * 2000.0 / 7200},
        {"double rate", 1, 1, 2, 100, 101, 2 * 2000.0 / 7200},
        {"paused", 1, 0, 1, 100, 101, 0},
        {"time jump", 1, 1, 1, 100, 103.5, 0},
        {"time backwards", 1, 1, 1, 100, 99, 0},
        {"not ready", 0, 1, 1, 100, 101, 0},
        {"time not a number", 1, 1, 1, 100, kNaN, 0},
    };
    for (const Case& c : cases) {
        NavState s;
        s.drift_rate_north = 2000, s.drift_rate_east = -1800;
        s.nav_ready = c.ready, s.sim_running = c.running, s.sim_rate = c.rate;
        s.sim_time_last_second = c.last, s.sim_time_copy = c.now;
        drift_second_step(s);
        EXPECT_NEAR(s.drift_north_m, c.want_north, 1e-12) << c.name;
        EXPECT_NEAR(s.drift_east_m, c.want_north * -0.9, 1e-12) << c.name;
        EXPECT_TRUE(s.sim_time_last_second == c.now || std::isnan(c.now)) << c.name;
    }
    // A coefficient of 2000 adds 1000 m per simulated hour.
    NavState s;
    s.drift_rate_north = 2000, s.nav_ready = 1, s.sim_rate = 1;
    for (int i = 1; i <= 3600; ++i) {
        s.sim_time_copy = i;
        drift_second_step(s);
    }
    EXPECT_NEAR(s.drift_north_m, 1000, 1e-6);
}

TEST(SeededDrift, PresentPositionIsTruePlusDrift) {
    struct Case {
        double lat, lon, north_m, east_m, want_lat, want_lon;
    } cases[] = {
        {50, 30, 1000, 0, 50 + 1000 * 8.998425275581272e-06, 30},
        // 0.01 degrees of latitude east at 60N is 0.02 degrees of longitude.
        {60, 30, 0, 1111.305555555, 60, 30.02},
        // Across the antimeridian, both ways.
        {0, 179.995, 0, 1111.305555555, 0, -179.995},
        {0, -179.995, 0, -1111.305555555, 0, 179.995},
    };
    for (const Case& c : cases) {
        NavState s;
        s.nav_ready = 1;
        s.aircraft_lat = c.lat, s.aircraft_lon = c.lon, s.drift_north_m = c.north_m, s.drift_east_m = c.east_m;
        present_position_update(s);
        EXPECT_NEAR(s.present_lat, c.want_lat, 1e-9) << c.lon;
        EXPECT_NEAR(s.present_lon, c.want_lon, 1e-6) << c.lon;
    }
    // Not ready: the position is left to the operator's entries.
    NavState s;
    s.present_lat = 12, s.present_lon = 34, s.aircraft_lat = 50, s.aircraft_lon = 30;
    present_position_update(s);
    EXPECT_EQ(s.present_lat, 12);
    EXPECT_EQ(s.present_lon, 34);
}

TEST(SeededDrift, PositionStaysUsableAtThePoleAndOnBadInput) {
    NavState s;
    s.nav_ready = 1;
    s.aircraft_lat = 90, s.aircraft_lon = 10, s.drift_east_m = 5000;
    present_position_update(s);
    EXPECT_GE(s.present_lon, -180);
    EXPECT_LE(s.present_lon, 180);

    // A non-number from the host leaves the last position; a damaged one restarts from the
    // true position.
    s.present_lat = 40, s.present_lon = 20, s.aircraft_lat = kNaN;
    present_position_update(s);
    EXPECT_EQ(s.present_lat, 40);
    EXPECT_EQ(s.present_lon, 20);
    s.present_lat = kNaN, s.aircraft_lat = 41, s.aircraft_lon = 21, s.drift_north_m = kNaN;
    present_position_update(s);
    EXPECT_EQ(s.present_lat, 41);
    EXPECT_EQ(s.present_lon, 21);
}

TEST(Vibration, GrowsDuringAlignmentOnly) {
    struct Case {
        const char* name;
        int work_state, stage;
        double accum, e1, e2, e3, e4, want;
    } cases[] = {
        {"two engines running", 2, 50, 10, 50, 50, 5.9, 0, 10.1},
        {"stage 12 counts", 2, 12, 0, 100, 0, 0, 0, 0.1},
        {"stage 11 does not", 2, 11, 10, 100, 100, 100, 100, 10},
        {"stage 90 does not", 2, 90, 10, 100, 100, 100, 100, 10},
        {"capped at 500", 2, 50, 499.9, 100, 100, 100, 100, 500},
        {"a non-number engine adds nothing", 2, 50, 0, kNaN, 20, 0, 0, 0.02},
        {"cleared outside alignment", 3, 50, 250, 100, 100, 100, 100, 0},
    };
    for (const Case& c : cases) {
        NavState s;
        s.work_state = static_cast<uint8_t>(c.work_state), s.align_stage = c.stage, s.vibration_accum = c.accum;
        s.engine_pct[0] = c.e1, s.engine_pct[1] = c.e2, s.engine_pct[2] = c.e3, s.engine_pct[3] = c.e4;
        vibration_step(s);
        EXPECT_NEAR(s.vibration_accum, c.want, 1e-9) << c.name;
    }
}

}  // namespace
