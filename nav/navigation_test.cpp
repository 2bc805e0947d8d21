// Tests of the navigation step and the automatic leg change: switching and its timer, the
// manual prompt, clock, time to go, wind, and values that must stay finite.
#include "nav/navigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nav/error_model.h"
#include "nav/geometry.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

NavState ready_state() {
    NavState s;
    s.nav_ready = 1;
    s.sim_rate = 1;
    s.frame_dt = 0.055;
    return s;
}

// The system cycle's 19-cycle blinker, run after the leg change as the cycle does.
void blink(NavState& s) {
    if (++s.blink_counter > 18) s.blink_counter = 0;
    s.blink_phase = s.blink_counter >= 10 ? 1 : 0;
}

TEST(LegSwitching, ArmsAndSwitchesAtTheLeadPoint) {
    struct Case {
        const char* name;
        double dist_to_go, turn_lead;
        int timer, ready, armed, auto_manual;
        uint8_t to;
        int want_armed, want_switched, want_timer;
        uint8_t want_from, want_to;
    } cases[] = {
        {"arms when clearly short of the lead", 20, 5, 0, 1, 0, 1, 2, 1, 0, 0, 1, 2},
        {"no arming within 1 km of the lead", 5.9, 5, 0, 1, 0, 1, 2, 0, 0, 0, 1, 2},
        {"no arming while the timer runs", 20, 5, 10, 1, 0, 1, 2, 0, 0, 9, 1, 2},
        {"no arming when not ready", 20, 5, 0, 0, 0, 1, 2, 0, 0, 0, 1, 2},
        {"switches past the lead point", 4.9, 5, 0, 1, 1, 1, 2, 0, 1, 89, 2, 3},
        {"TO 9 is followed by 1", 4.9, 5, 0, 1, 1, 1, 9, 0, 1, 89, 9, 1},
        {"a damaged TO index counts as 9", 4.9, 5, 0, 1, 1, 1, 200, 0, 1, 89, 9, 1},
        {"manual mode never switches", 4.9, 5, 0, 1, 1, 0, 2, 1, 0, 0, 1, 2},
        {"no switch without arming", 4.9, 5, 0, 1, 0, 1, 2, 0, 0, 0, 1, 2},
    };
    for (const Case& c : cases) {
        NavState s = ready_state();
        s.dist_to_go = c.dist_to_go, s.turn_lead = c.turn_lead, s.leg_switch_timer = c.timer;
        s.nav_ready = c.ready, s.leg_switch_armed = c.armed, s.auto_manual = c.auto_manual;
        s.ppm_from = 1, s.ppm_to = c.to;
        leg_switching_step(s);
        EXPECT_EQ(s.leg_switch_armed, c.want_armed) << c.name;
        EXPECT_EQ(s.leg_switched, c.want_switched) << c.name;
        EXPECT_EQ(s.leg_switch_timer, c.want_timer) << c.name;
        EXPECT_EQ(s.ppm_from, c.want_from) << c.name;
        EXPECT_EQ(s.ppm_to, c.want_to) << c.name;
        EXPECT_EQ(s.lzp_change_lamp, c.auto_manual == 1 ? c.want_switched : 0) << c.name;
    }
}

TEST(LegSwitching, LampAndTimerAfterASwitch) {
    for (double cross : {0.5, 3.0}) {
        NavState s = ready_state();
        s.leg_switch_armed = 1, s.turn_lead = 5, s.dist_to_go = 4;
        s.cross_track = cross;
        leg_switching_step(s);
        ASSERT_EQ(s.leg_switch_timer, 89);
        // The new leg is long: only the timer keeps it from arming.
        s.dist_to_go = 100;
        int lit = 1, cycle = 0, armed_at = 0;
        for (cycle = 1; cycle <= 200 && !armed_at; ++cycle) {
            leg_switching_step(s);
            lit += s.lzp_change_lamp;
            if (s.leg_switch_armed) armed_at = cycle;
        }
        EXPECT_EQ(armed_at, 90) << cross;
        EXPECT_EQ(s.leg_switch_timer, 0);
        if (cross < 1) {
            EXPECT_EQ(lit, 89);  // the switch cycle and the 88 that follow
        } else {
            EXPECT_EQ(lit, 91);  // off the leg the lamp stays lit
            s.cross_track = -0.9;
            leg_switching_step(s);
            EXPECT_EQ(s.lzp_change_lamp, 0);
        }
    }
}

TEST(LegSwitching, ShortLegIsNeverLeftAutomatically) {
    struct Case {
        double leg_deg;  // TO this far north of FROM
        bool switches;
    } cases[] = {{0.05, false}, {0.25, true}};
    for (const Case& c : cases) {
        NavState s = ready_state();
        s.ppm_lat[1] = 50, s.ppm_lon[1] = 30;
        s.ppm_lat[2] = 50 + c.leg_deg, s.ppm_lon[2] = 30;
        s.ppm_lat[3] = 51, s.ppm_lon[3] = 31;  // a turn of about 30 degrees at TO
        // The leg has just become active through a switch, flown at 800 km/h.
        s.ppm_from = 1, s.ppm_to = 2, s.leg_switch_timer = 89, s.ground_speed = 800;
        s.gs_north = 800, s.heading = 0;
        s.aircraft_lat = 50, s.aircraft_lon = 30;
        bool switched = false;
        double min_dist = 1e9;
        for (int i = 0; i < 4000 && !switched; ++i) {
            present_position_update(s);
            navigation_step(s);
            leg_switching_step(s);
            switched = s.ppm_from != 1;
            min_dist = std::min(min_dist, s.dist_to_go);
            s.aircraft_lat += 800 * 0.055 / 3600 / 111.13;
        }
        EXPECT_EQ(switched, c.switches) << c.leg_deg;
        if (c.switches) {
            EXPECT_EQ(s.ppm_to, 3);
            EXPECT_NEAR(min_dist, s.turn_lead, 0.05);
        } else {
            EXPECT_LT(min_dist, -5) << "flew well past TO";
        }
    }
}

TEST(LegSwitching, ManualPromptBlinksAndHolds) {
    struct Case {
        double cross;
        int last_phase;  // blinker phase on the last cycle of the prompt
    } cases[] = {{0.5, 1}, {3.0, 1}, {0.5, 0}};
    for (const auto [cross, last_phase] : cases) {
        NavState s = ready_state();
        s.auto_manual = 0;
        s.cross_track = cross;
        s.time_to_go = 3;
        for (int i = 0; i < 40; ++i) {
            leg_switching_step(s);
            EXPECT_EQ(s.lzp_change_lamp, 0);
            blink(s);
        }
        // Less than two minutes to TO: the lamp follows the blinker.
        s.time_to_go = 1.5;
        int lit = 0, dark = 0;
        for (int i = 0;; ++i) {
            int phase = s.blink_phase;
            leg_switching_step(s);
            EXPECT_EQ(s.lzp_change_lamp, phase);
            (phase ? lit : dark) += 1;
            blink(s);
            if (i >= 40 && phase == last_phase) break;
        }
        EXPECT_GT(lit, 0);
        EXPECT_GT(dark, 0);
        // Past TO the time to go reads 0; the prompt keeps blinking, with the phase latched on its
        // last cycle, while the timer (which only counts near the leg) runs out.
        s.time_to_go = 0;
        int last_lit = 0;
        for (int i = 1; i <= 1000; ++i) {
            leg_switching_step(s);
            if (s.lzp_change_lamp) last_lit = i;
            blink(s);
        }
        if (last_phase == 0) {
            EXPECT_EQ(last_lit, 0);
        } else if (cross < 1) {
            // The timer was at 719 after the last prompt cycle.
            EXPECT_GT(last_lit, 700);
            EXPECT_LT(last_lit, 719);
            EXPECT_EQ(s.lzp_prompt_timer, 0);
            EXPECT_EQ(s.lzp_prompt_latch, 0);
        } else {
            EXPECT_GT(last_lit, 980);
            EXPECT_EQ(s.lzp_prompt_timer, 720);
        }
        // Back in AVT the prompt is dropped at once.
        s.auto_manual = 1;
        leg_switching_step(s);
        EXPECT_EQ(s.lzp_prompt_latch, 0);
        EXPECT_EQ(s.lzp_change_lamp, 0);
    }
}

TEST(Navigation, ClockRunsWithSimulatedTimeAndWraps) {
    struct Case {
        double clock;
        int running;
        double rate, dt, want;
    } cases[] = {
        {1439.99, 1, 1, 1.0, 1439.99 + 1.0 / 60 - 1440},
        {100, 0, 1, 1.0, 100},  // paused
        {100, 1, 4, 0.5, 100 + 2.0 / 60},
        {1440, 1, 1, 0, 1440},  // exactly 1440 stays
    };
    for (const Case& c : cases) {
        NavState s = ready_state();
        s.clock_minutes = c.clock, s.sim_running = c.running, s.sim_rate = c.rate, s.frame_dt = c.dt;
        navigation_step(s);
        EXPECT_NEAR(s.clock_minutes, c.want, 1e-9) << c.clock;
    }
}

TEST(Navigation, TimeToGoEtaAndWind) {
    struct Case {
        double gs_north, gs_east, dist_to_go_deg, clock, tas, heading;
        double want_ttg, want_eta, want_wind_speed, want_wind_dir;
    } cases[] = {
        // 100 km/h exactly is too slow for any of them.
        {100, 0, 1, 600, 300, 0, 0, 0, 0, 0},
        // 111.2 km at 400 km/h: 16.7 min; ETA 10:16.7. Wind: 400 north against 300 north.
        {400, 0, 1, 600, 300, 0, 111.2 / 400 * 60, (600 + 111.2 / 400 * 60) / 60, 100, 0},
        // Wind from the west blows east: 090.
        {300, 100, 1, 600, 300, 0, -1, -1, 100, 90},
        // Beyond 1000 minutes the time shows 1000; the ETA wraps past 24 h.
        {101, 0, 18, 1430, 0, 0, 1000, (1430 + 1000) / 60.0 - 24, 0, 0},
        // A calm: no direction, both 0.
        {500, 0, 1, 0, 500, 0, -1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        NavState s = ready_state();
        s.ppm_lat[1] = 0, s.ppm_lon[1] = 10, s.ppm_lat[2] = c.dist_to_go_deg, s.ppm_lon[2] = 10;
        s.present_lat = 0, s.present_lon = 10;
        s.gs_north = c.gs_north, s.gs_east = c.gs_east, s.heading = c.heading;
        s.clock_minutes = c.clock, s.tas_entered = c.tas, s.frame_dt = 0;
        navigation_step(s);
        if (c.want_ttg >= 0) EXPECT_NEAR(s.time_to_go, c.want_ttg, 0.05) << c.gs_north;
        if (c.want_eta >= 0) EXPECT_NEAR(s.eta_hours, c.want_eta, 0.001) << c.gs_north;
        EXPECT_NEAR(s.wind_speed, c.want_wind_speed, 1e-6) << c.gs_north;
        EXPECT_NEAR(s.wind_dir, c.want_wind_dir, 1e-6) << c.gs_north;
    }
    // Past TO the time to go is 0, not negative.
    NavState s = ready_state();
    s.ppm_lat[1] = 0, s.ppm_lon[1] = 10, s.ppm_lat[2] = 1, s.ppm_lon[2] = 10;
    s.present_lat = 2, s.present_lon = 10, s.gs_north = 500;
    navigation_step(s);
    EXPECT_LT(s.dist_to_go, -100);
    EXPECT_EQ(s.time_to_go, 0);
}

TEST(Navigation, GroundTrackDriftAndTrackError) {
    struct Case {
        double gs_north, gs_east, heading, prev_track;
        double want_track, want_drift;
    } cases[] = {
        {-100, 100, 130, 0, 135, 5},
        {-100, -100, 230, 0, 225, -5},
        {100, -100, 300, 0, 315, 15},
        {0, 0, 10, 77, 77, 0},      // standing still: the track keeps its value
        {0.6, 0.6, 10, 77, 77, 0},  // 0.85 km/h
        {5, 0, 10, 77, 0, 0},       // below 10 km/h no drift is shown
    };
    for (const Case& c : cases) {
        NavState s = ready_state();
        s.ppm_lat[1] = 0, s.ppm_lon[1] = 10, s.ppm_lat[2] = 1, s.ppm_lon[2] = 10;
        s.present_lat = 0.5, s.present_lon = 10;
        s.gs_north = c.gs_north, s.gs_east = c.gs_east, s.heading = c.heading;
        s.ground_track = c.prev_track, s.track_angle = c.prev_track;
        navigation_step(s);
        EXPECT_NEAR(s.ground_track, c.want_track, 1e-4) << c.gs_north << " " << c.gs_east;
        EXPECT_NEAR(s.drift_angle, c.want_drift, 1e-4) << c.gs_north << " " << c.gs_east;
        // On the FROM meridian the track angle is the ground track, referred to the leg.
        EXPECT_NEAR(s.track_angle, c.want_track, 1e-4);
        if (std::hypot(c.gs_north, c.gs_east) > 1)
            EXPECT_NEAR(s.pu_delta_var, wrap180(s.track_angle - s.leg_course), 1e-9);
    }
}

// Every value the display, the named variables and the autopilot read.
void expect_all_finite(const NavState& s, const char* name) {
    const double values[] = {s.convergence, s.dist_direct, s.leg_course, s.leg_final_course,
                             s.next_leg_course, s.turn_angle, s.turn_lead, s.dist_to_go, s.cross_track,
                             s.ground_speed, s.ground_track, s.drift_angle, s.track_angle, s.track_error,
                             s.clock_minutes, s.time_to_go, s.eta_hours, s.wind_dir, s.wind_speed,
                             s.lbu_var, s.lbu_dif_var, s.pu_delta_var, s.present_lat, s.present_lon};
    for (double v : values) EXPECT_TRUE(std::isfinite(v)) << name;
    EXPECT_LE(s.ppm_from, 9) << name;
    EXPECT_LE(s.ppm_to, 9) << name;
    EXPECT_GE(s.ppm_next, 1) << name;
    EXPECT_LE(s.ppm_next, 9) << name;
}

TEST(Navigation, NothingUndefinedReachesTheOutputs) {
    struct Case {
        const char* name;
        void (*setup)(NavState&);
    } cases[] = {
        {"aircraft on FROM = TO", [](NavState& s) {
             for (int i = 0; i < 10; ++i) s.ppm_lat[i] = 50, s.ppm_lon[i] = 30;
             s.aircraft_lat = 50, s.aircraft_lon = 30;
         }},
        {"standing still", [](NavState& s) { s.gs_north = s.gs_east = 0, s.ground_speed = 0; }},
        {"calm", [](NavState& s) { s.gs_north = 500, s.gs_east = 0, s.heading = 0, s.tas_entered = 500; }},
        {"empty route", [](NavState& s) {
             for (int i = 1; i < 10; ++i) s.ppm_lat[i] = kEmptyLat, s.ppm_lon[i] = kEmptyLon;
         }},
        {"damaged leg indices", [](NavState& s) { s.ppm_from = 255, s.ppm_to = 200; }},
        {"aircraft at the pole", [](NavState& s) { s.aircraft_lat = 90, s.drift_east_m = 5000; }},
        {"non-number position", [](NavState& s) { s.aircraft_lat = kNaN; }},
        {"non-number route entry", [](NavState& s) { s.ppm_lat[2] = kNaN, s.ppm_lon[3] = kInf; }},
        {"infinite ground velocity", [](NavState& s) { s.gs_north = kInf; }},
        {"non-number clock and speed", [](NavState& s) {
             s.clock_minutes = kNaN, s.tas_entered = kInf, s.gs_north = 300;
         }},
        {"infinite bank time", [](NavState& s) { s.bank_time = kInf, s.ground_speed = 300; }},
    };
    for (const Case& c : cases) {
        NavState s = ready_state();
        for (int i = 1; i < 10; ++i) s.ppm_lat[i] = 50 + 0.3 * i, s.ppm_lon[i] = 30 + 0.2 * i;
        s.aircraft_lat = 50.1, s.aircraft_lon = 30.1, s.gs_north = 400, s.gs_east = 50;
        s.tas_entered = 380, s.heading = 5, s.clock_minutes = 600;
        c.setup(s);
        for (int i = 0; i < 3; ++i) {
            present_position_update(s);
            navigation_step(s);
            leg_switching_step(s);
        }
        expect_all_finite(s, c.name);
    }
}

TEST(Navigation, PublishedValuesOnlyWhileReady) {
    NavState s = ready_state();
    s.ppm_lat[1] = 0, s.ppm_lon[1] = 10, s.ppm_lat[2] = 1, s.ppm_lon[2] = 10;
    s.present_lat = 0.5, s.present_lon = 10.05, s.gs_north = 300, s.gs_east = 30;
    s.nav_ready = 0;
    navigation_step(s);
    EXPECT_EQ(s.lbu_var, 0);
    EXPECT_EQ(s.lbu_dif_var, 0);
    EXPECT_EQ(s.pu_delta_var, 0);
    s.nav_ready = 1;
    navigation_step(s);
    EXPECT_NEAR(s.lbu_var, s.cross_track * 1000, 1e-9);
    EXPECT_GT(s.lbu_var, 5000);  // 0.05 degrees east of a northbound leg
    EXPECT_NEAR(s.pu_delta_var, s.track_error, 1e-12);
    EXPECT_NEAR(s.lbu_dif_var, std::sin(s.track_error * K1) * s.ground_speed, 1e-9);
    EXPECT_GT(s.lbu_dif_var, 0);  // heading further right
}

}  // namespace
