// White-box tests of unit 2's system cycle: simulator reads, frame time, power, warm-up,
// alignment and its faults, readiness, display hold, blinker and the per-unit steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "nav/named_vars.h"
#include "nav/system_cycle_fake_test.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class SystemCycleTest : public ::testing::Test {
protected:
    NavState s;

    void SetUp() override {
        fake_sim::install();
        s.load_countdown = 0;  // keeps the flight restore out unless a test wants it
    }
    void TearDown() override { fake_sim::uninstall(); }

    void cycle(double dt_s = 1.0 / 18) { fake_sim::cycle(s, dt_s); }
    void cycles(int n) { fake_sim::cycles(s, n); }

    // OTKL for one cycle (reset, armed), then VYST with the start position entered on the
    // aircraft's latitude plus `lat_offset`, and the warm-up up to its last cycle.
    void to_last_warmup_cycle(double lat_offset = 0) {
        s.pur_selector = 0;
        cycle();
        s.pur_selector = 2;
        s.start_lat_set = s.start_lon_set = 1;
        s.present_lat = s.aircraft_lat + lat_offset;
        cycles(179);
    }
    // A unit aligned and navigating.
    void navigating() {
        s.pur_selector = 3;
        s.align_done = 1;
        cycle();
    }
};

// ---- simulator variables -----------------------------------------------------------------

struct VarCase {
    const char* what;
    int32_t var;
    double raw;
    std::function<double(const NavState&)> field;
    double expected;
};

TEST_F(SystemCycleTest, SimulatorVariablesAreConverted) {
    const VarCase cases[] = {
        {"latitude from metres", 71, 5556975.0, [](const NavState& n) { return n.aircraft_lat; },
         5556975.0 * 8.998425275576774e-06},
        {"longitude from 2^48 per turn", 72, -1e13, [](const NavState& n) { return n.aircraft_lon; },
         -1e13 * 1.2789769243681803e-12},
        {"heading above 360", 86, 370, [](const NavState& n) { return n.heading; }, 10},
        {"heading below 0", 86, -10, [](const NavState& n) { return n.heading; }, 350},
        {"heading of 360 stays", 86, 360, [](const NavState& n) { return n.heading; }, 360},
        {"engine 1 at 16384 is 100 %", 135, 16384, [](const NavState& n) { return n.engine_pct[0]; }, 100},
        {"engine 4 just below 6 % is 0", 240, 983, [](const NavState& n) { return n.engine_pct[3]; }, 0},
        {"engine 2 at 6.25 % counts", 170, 1024, [](const NavState& n) { return n.engine_pct[1]; }, 6.25},
        {"power at 20 is off", 753, 20, [](const NavState& n) { return double(n.ext_power); }, 0},
        {"power above 20 is on", 753, 20.5, [](const NavState& n) { return double(n.ext_power); }, 1},
        {"north speed from ft/s", 554, 100, [](const NavState& n) { return n.gs_north; }, 109.728},
        {"east speed from ft/s", 555, -50, [](const NavState& n) { return n.gs_east; }, -54.864},
        {"rate as read", 336, 4, [](const NavState& n) { return n.sim_rate; }, 4},
        {"time", 604, 123.5, [](const NavState& n) { return n.sim_time_copy; }, 123.5},
        {"tick truncated", 1, 37.9, [](const NavState& n) { return double(n.tick_count); }, 37},
        {"negative tick truncated toward zero", 1, -18.7, [](const NavState& n) { return double(n.tick_count); },
         -18},
        {"tick beyond int saturates", 1, 1e12, [](const NavState& n) { return double(n.tick_count); }, INT32_MAX},
    };
    for (const VarCase& c : cases) {
        NavState n;
        n.load_countdown = 0;
        fake_sim::install();
        fake_sim::g_values[c.var] = c.raw;
        fake_sim::cycle(n);
        EXPECT_DOUBLE_EQ(c.field(n), c.expected) << c.what;
    }
}

TEST_F(SystemCycleTest, SimulatorVariablesAreReadInOrderOncePerCycle) {
    cycle();
    const std::vector<int32_t> order = {1, 71, 72, 86, 135, 170, 205, 240, 753, 604, 554, 555, 336};
    EXPECT_EQ(fake_sim::g_reads, order);
}

TEST_F(SystemCycleTest, PausedSimulationIsSeenFromAnUnchangedTime) {
    fake_sim::g_values[604] = 10;
    cycle();
    EXPECT_EQ(s.sim_running, 1);
    cycle();
    EXPECT_EQ(s.sim_running, 0);
    fake_sim::g_values[604] = 10.05;
    cycle();
    EXPECT_EQ(s.sim_running, 1);
    EXPECT_EQ(s.sim_time_prev, 10.05);
}

// A reading that is not a number leaves its field as the cycle before left it.
TEST_F(SystemCycleTest, NonFiniteReadingsKeepThePreviousValue) {
    struct Case {
        const char* what;
        int32_t var;
        double good;
        std::function<double(const NavState&)> field;
    };
    const Case cases[] = {
        {"tick", 1, 36, [](const NavState& n) { return double(n.tick_count); }},
        {"latitude", 71, 5e6, [](const NavState& n) { return n.aircraft_lat; }},
        {"longitude", 72, 3e12, [](const NavState& n) { return n.aircraft_lon; }},
        {"heading", 86, 123, [](const NavState& n) { return n.heading; }},
        {"engine 3", 205, 8192, [](const NavState& n) { return n.engine_pct[2]; }},
        {"power", 753, 28, [](const NavState& n) { return double(n.ext_power); }},
        {"north speed", 554, 300, [](const NavState& n) { return n.gs_north; }},
        {"east speed", 555, -300, [](const NavState& n) { return n.gs_east; }},
        {"rate", 336, 2, [](const NavState& n) { return n.sim_rate; }},
        {"time", 604, 55, [](const NavState& n) { return n.sim_time; }},
    };
    // The last is finite but overflows in the conversion to km/h or degrees.
    for (double bad : {kNaN, kInf, -kInf, std::numeric_limits<double>::max()}) {
        for (const Case& c : cases) {
            if (bad == std::numeric_limits<double>::max() && c.var != 554 && c.var != 555) continue;
            NavState n;
            n.load_countdown = 0;
            fake_sim::install();
            fake_sim::g_values[c.var] = c.good;
            fake_sim::cycle(n);
            const double before = c.field(n);
            fake_sim::g_values[c.var] = bad;
            fake_sim::cycle(n);
            EXPECT_EQ(c.field(n), before) << c.what << " given " << bad;
        }
    }
}

TEST_F(SystemCycleTest, TimeThatCannotBeReadCountsAsStandingStill) {
    fake_sim::g_values[604] = 1;
    cycle();
    fake_sim::g_values[604] = kNaN;
    cycle();
    EXPECT_EQ(s.sim_running, 0);
    EXPECT_EQ(s.sim_time_prev, 1);
    fake_sim::g_values[604] = 2;
    cycle();
    EXPECT_EQ(s.sim_running, 1);
}

TEST_F(SystemCycleTest, PowerReadingThatIsNotANumberKeepsTheUnitRunning) {
    to_last_warmup_cycle();
    cycle();
    ASSERT_EQ(s.align_running, 1);
    fake_sim::g_values[753] = kNaN;
    cycles(10);
    EXPECT_EQ(s.ext_power, 1);
    EXPECT_EQ(s.align_running, 1);
    EXPECT_EQ(s.battery_charge, s.battery_capacity);
}

// ---- frame time --------------------------------------------------------------------------

TEST_F(SystemCycleTest, FrameTimeIsClampedAboveOneSecond) {
    struct Case {
        double gap_s;
        double expected;
    };
    const Case cases[] = {
        {1.0 / 18, 555556 / 1e7}, {0.5, 0.5}, {1.0, 1.0}, {1.001, 0.055}, {3600, 0.055},
        {0, 0},                   // two cycles in one counter tick
        {-0.5, 0.055},            // a counter that ran backwards
    };
    cycle();  // the first cycle measures from counter 0
    EXPECT_EQ(s.frame_dt, 0.055);
    for (const Case& c : cases) {
        cycle(c.gap_s);
        EXPECT_DOUBLE_EQ(s.frame_dt, c.expected) << "gap " << c.gap_s;
    }
}

// ---- warm-up, alignment, readiness -------------------------------------------------------

TEST_F(SystemCycleTest, AlignmentTimeline) {
    s.pur_selector = 0;
    cycle();
    EXPECT_EQ(s.align_armed, 1);
    EXPECT_EQ(s.align_countdown, 5500);
    EXPECT_EQ(s.unit_on, 0);

    s.pur_selector = 2;
    s.start_lat_set = s.start_lon_set = 1;
    cycles(179);
    EXPECT_EQ(s.unit_on, 1);
    EXPECT_EQ(s.warmed_up, 0);
    EXPECT_EQ(s.align_running, 0);
    EXPECT_EQ(s.not_ready_lamp, 0);
    EXPECT_EQ(s.work_state, 0);

    cycle();  // the 180th cycle after leaving OTKL starts the countdown at once
    EXPECT_EQ(s.warmed_up, 1);
    EXPECT_EQ(s.align_running, 1);
    EXPECT_EQ(s.align_armed, 0);
    EXPECT_EQ(s.work_state, 2);
    EXPECT_EQ(s.align_countdown, 5499);
    EXPECT_EQ(s.not_ready_lamp, 1);

    std::vector<int> stage = {0, s.align_stage};  // stage[k]: after countdown cycle k
    while (s.align_running == 1 && stage.size() < 7000) {
        cycle();
        stage.push_back(s.align_stage);
    }
    ASSERT_EQ(stage.size(), 5551u) << "completes on the 5550th countdown cycle";
    EXPECT_EQ(std::count(stage.begin(), stage.end(), 90), 999);
    EXPECT_EQ(std::count(stage.begin(), stage.end(), 1), 99);
    const std::pair<int, int> steps[] = {
        {999, 90}, {1000, 80}, {1999, 80}, {2000, 70}, {2499, 70}, {2500, 60}, {2999, 60},
        {3000, 50}, {3499, 50}, {3500, 40}, {3999, 40}, {4000, 31}, {4001, 30}, {5050, 10},
        {5051, 9},  {5450, 2},  {5451, 1},  {5549, 1},  {5550, 0},
    };
    for (auto [k, st] : steps) EXPECT_EQ(stage[k], st) << "countdown cycle " << k;
    EXPECT_EQ(s.align_done, 1);
    EXPECT_EQ(s.align_countdown, 0);
    EXPECT_EQ(s.align_armed, 0);
    EXPECT_EQ(s.attention_lamp, 0);
    EXPECT_EQ(s.nav_ready, 0) << "VYST does not make the unit ready";

    s.pur_selector = 3;
    cycle();
    EXPECT_EQ(s.nav_ready, 1);
    EXPECT_EQ(s.work_state, 3);
    EXPECT_EQ(s.got_var, 0) << "GOT lags readiness by one cycle";
    EXPECT_EQ(s.not_ready_lamp, 1);
    cycle();
    EXPECT_EQ(s.got_var, 1);
    EXPECT_EQ(s.not_ready_lamp, 0);
    EXPECT_EQ(s.align_done, 1);
}

TEST_F(SystemCycleTest, AlignmentFaults) {
    struct Case {
        const char* what;
        double lat_offset;   // entered start latitude minus the aircraft's
        bool lat_set, lon_set;
        int lat_entered_before;  // countdown cycle before which a late latitude is entered (0 none)
        double vibration;    // accumulator put in after the start
        int vibr_kontrol;
        int fault_cycle;     // countdown cycle the fault stops the alignment (0: completes)
        int lat_fault, lon_fault, vibration_fault;
    };
    const Case cases[] = {
        {"start latitude 0.2 north", 0.2, true, true, 0, 0, 1, 3000, 1, 0, 0},
        {"start latitude 0.2 south", -0.2, true, true, 0, 0, 1, 3000, 1, 0, 0},
        {"start latitude 0.166 off is good", 0.166, true, true, 0, 0, 1, 0, 0, 0, 0},
        {"start latitude never entered", 0, false, true, 0, 0, 1, 2000, 1, 0, 0},
        {"start latitude entered in time", 0, false, true, 2000, 0, 1, 0, 0, 0, 0},
        {"start latitude entered too late", 0, false, true, 2001, 0, 1, 2000, 1, 0, 0},
        {"start longitude never entered", 0, true, false, 0, 0, 1, 5301, 0, 1, 0},
        {"engines ran", 0, true, true, 0, 150, 1, 4051, 0, 0, 1},
        {"engines ran, fault value 2", 0, true, true, 0, 150, 2, 4051, 0, 0, 2},
        {"engines ran, monitor off", 0, true, true, 0, 150, 0, 0, 0, 0, 0},
        {"vibration exactly at the limit", 0, true, true, 0, 100, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s = NavState{};
        s.load_countdown = 0;
        s.vibr_kontrol = c.vibr_kontrol;
        to_last_warmup_cycle(c.lat_offset);
        s.start_lat_set = c.lat_set;
        s.start_lon_set = c.lon_set;
        cycle();
        ASSERT_EQ(s.align_running, 1);
        s.vibration_accum = c.vibration;
        int k = 1, fault_at = 0;
        while (s.align_running == 1 && k < 6000) {
            if (k + 1 == c.lat_entered_before) s.start_lat_set = 1;
            cycle();
            ++k;
        }
        if (s.attention_lamp == 1) fault_at = k;
        EXPECT_EQ(fault_at, c.fault_cycle);
        EXPECT_EQ(s.lat_fault, c.lat_fault);
        EXPECT_EQ(s.lon_fault, c.lon_fault);
        EXPECT_EQ(s.vibration_fault, c.vibration_fault);
        EXPECT_EQ(s.align_done, c.fault_cycle == 0);

        if (c.fault_cycle != 0) {
            const int held = s.align_countdown;
            cycles(5);
            EXPECT_EQ(s.align_countdown, held) << "a fault stops the countdown";
            EXPECT_EQ(s.attention_lamp, 1);
            s.pur_selector = 0;
            cycle();
            EXPECT_EQ(s.attention_lamp, 0);
            EXPECT_EQ(s.lat_fault + s.lon_fault + s.vibration_fault, 0);
            EXPECT_EQ(s.align_armed, 1);
        }
    }
}

// A countdown found far below zero (a damaged restore) ends the alignment instead of running
// through negative stages towards an integer overflow.
TEST_F(SystemCycleTest, CountdownFarBelowZeroCompletes) {
    for (int32_t count : {-500, INT32_MIN}) {
        s = NavState{};
        s.load_countdown = 0;
        s.pur_selector = 2;
        s.start_lat_set = s.start_lon_set = 1;
        s.align_running = 1;
        s.work_state = 2;
        s.align_countdown = count;
        cycle();
        EXPECT_EQ(s.align_done, 1) << count;
        EXPECT_EQ(s.align_stage, 0);
        EXPECT_EQ(s.align_countdown, 0);
        EXPECT_EQ(s.align_running, 0);
    }
}

TEST_F(SystemCycleTest, NavigOrKvBeforeCompletionCancelsUntilOtkl) {
    for (int8_t early : {int8_t{3}, int8_t{4}}) {
        s = NavState{};
        s.load_countdown = 0;
        to_last_warmup_cycle();
        cycles(101);
        s.pur_selector = early;
        cycle();
        EXPECT_EQ(s.align_running, 0);
        EXPECT_EQ(s.align_armed, 0);
        EXPECT_EQ(s.nav_ready, 0);
        EXPECT_EQ(s.start_lat_set, 0);
        const int held = s.align_countdown;
        s.pur_selector = 2;
        cycles(10);
        EXPECT_EQ(s.align_running, 0) << "disarmed until OTKL";
        EXPECT_EQ(s.align_countdown, held);
        s.pur_selector = 0;
        cycle();
        s.pur_selector = 2;
        cycles(180);
        EXPECT_EQ(s.align_running, 1) << "OTKL arms it again";
        EXPECT_EQ(s.align_countdown, 5499);
    }
}

TEST_F(SystemCycleTest, BackToVystKeepsTheAlignmentAndKvKeepsReadiness) {
    navigating();
    ASSERT_EQ(s.nav_ready, 1);
    s.pur_selector = 2;
    cycle();
    EXPECT_EQ(s.nav_ready, 0);
    EXPECT_EQ(s.align_done, 1);
    EXPECT_EQ(s.work_state, 3);
    EXPECT_EQ(s.align_running, 0);
    s.pur_selector = 3;
    cycle();
    EXPECT_EQ(s.nav_ready, 1);
    s.pur_selector = 4;
    cycles(3);
    EXPECT_EQ(s.nav_ready, 1);
    EXPECT_EQ(s.work_state, 3);
    s.pur_selector = 1;
    cycle();
    EXPECT_EQ(s.nav_ready, 0);
    EXPECT_EQ(s.work_state, 0);
    EXPECT_EQ(s.align_done, 0);
}

TEST_F(SystemCycleTest, OtklResetsTheStartAndTheRoute) {
    navigating();
    for (int i = 0; i < 10; ++i) s.ppm_lat[i] = s.ppm_lon[i] = 12.5;
    s.start_lat = 50;
    s.start_lon = 30;
    s.pur_selector = 0;
    cycle();
    EXPECT_EQ(s.start_lat, 99.0);
    EXPECT_EQ(s.start_lon, 999.0);
    EXPECT_EQ(s.ppm_lat[0], 50) << "the start point was copied before the reset";
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(s.ppm_lat[i], 99.0);
        EXPECT_EQ(s.ppm_lon[i], 999.0);
    }
    EXPECT_EQ(s.nav_ready, 0);
    EXPECT_EQ(s.unit_on, 0);
    cycle();
    EXPECT_EQ(s.ppm_lat[0], 99.0);
    EXPECT_EQ(s.ppm_lon[0], 999.0);
}

// ---- power -------------------------------------------------------------------------------

TEST_F(SystemCycleTest, BatteryAtOtklNeitherDrainsNorCharges) {
    fake_sim::g_values[753] = 0;
    s.battery_charge = 5000;
    cycles(20);
    EXPECT_EQ(s.battery_charge, 5000);
    EXPECT_EQ(s.power_lamp, 0);
    EXPECT_EQ(s.unit_powered, 1);
}

TEST_F(SystemCycleTest, ExternalPowerCharges) {
    s.pur_selector = 1;
    s.battery_charge = 10790;
    s.on_battery = 1;
    cycles(5);
    EXPECT_EQ(s.battery_charge, 10795);
    EXPECT_EQ(s.on_battery, 0);
    EXPECT_EQ(s.power_lamp, 0);
    cycles(20);
    EXPECT_EQ(s.battery_charge, 10800);
    s.battery_charge = 100;
    s.pur_selector = 0;
    cycle();
    EXPECT_EQ(s.battery_charge, 10800) << "OTKL on external power refills";
}

// ---- display hold ------------------------------------------------------------------------

TEST_F(SystemCycleTest, DisplayHoldFreezesTheCurrentPage) {
    struct Case {
        uint8_t mode;
        double NavState::*live;
        double NavState::*shown;
        int32_t NavState::*hold;
    };
    const Case cases[] = {
        {2, &NavState::present_lat, &NavState::shown_lat, &NavState::hold_coords},
        {2, &NavState::present_lon, &NavState::shown_lon, &NavState::hold_coords},
        {3, &NavState::heading_copy, &NavState::shown_heading, &NavState::hold_heading},
        {5, &NavState::track_angle, &NavState::shown_track_angle, &NavState::hold_track},
        {6, &NavState::dist_to_go, &NavState::shown_dist_to_go, &NavState::hold_distance},
        {6, &NavState::cross_track, &NavState::shown_cross_track, &NavState::hold_distance},
        {7, &NavState::ground_speed, &NavState::shown_ground_speed, &NavState::hold_speed},
        {7, &NavState::drift_angle, &NavState::shown_drift_angle, &NavState::hold_speed},
        {8, &NavState::time_to_go, &NavState::shown_time_to_go, &NavState::hold_time},
        {9, &NavState::wind_dir, &NavState::shown_wind_dir, &NavState::hold_wind},
        {9, &NavState::wind_speed, &NavState::shown_wind_speed, &NavState::hold_wind},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << int(c.mode));
        s = NavState{};
        s.load_countdown = 0;
        s.mode_switch = c.mode;
        navigating();
        // Another page keeps showing live values while this one is held.
        auto other_live = c.mode == 5 ? &NavState::wind_speed : &NavState::track_angle;
        auto other_shown = c.mode == 5 ? &NavState::shown_wind_speed : &NavState::shown_track_angle;

        s.*c.live = 11;
        cycle();
        EXPECT_EQ(s.*c.shown, 11);

        s.key_ost_ind = 1;
        s.*c.live = 22;
        s.*other_live = 7;
        cycle();
        EXPECT_EQ(s.*c.shown, 11) << "frozen at the press";
        EXPECT_EQ(s.*other_shown, 7);
        EXPECT_EQ(s.*c.hold, 1);
        EXPECT_EQ(s.ost_ind, 1);
        EXPECT_EQ(s.ost_ind_lamp, 1);
        EXPECT_EQ(s.key_ost_ind, 0);

        s.*c.live = 33;
        cycle();
        EXPECT_EQ(s.*c.shown, 11);

        s.mode_switch = 1;  // a further press on any page releases every page
        s.key_ost_ind = 1;
        s.*c.live = 44;
        cycle();
        EXPECT_EQ(s.*c.shown, 44);
        EXPECT_EQ(s.*c.hold, 0);
        EXPECT_EQ(s.ost_ind, 0);
        EXPECT_EQ(s.ost_ind_lamp, 0);
    }
}

TEST_F(SystemCycleTest, DisplayHoldHasNothingToHoldOnPagesOneAndFour) {
    for (uint8_t mode : {uint8_t{1}, uint8_t{4}}) {
        s = NavState{};
        s.load_countdown = 0;
        s.mode_switch = mode;
        navigating();
        s.key_ost_ind = 1;
        cycle();
        EXPECT_EQ(s.key_ost_ind, 0);
        EXPECT_EQ(s.ost_ind, 0) << "page " << int(mode);
        EXPECT_EQ(s.hold_coords + s.hold_heading + s.hold_track + s.hold_distance + s.hold_speed + s.hold_time +
                      s.hold_wind,
                  0);
    }
}

TEST_F(SystemCycleTest, DisplayHoldOnlyWhileNavigating) {
    s.mode_switch = 2;
    to_last_warmup_cycle();
    cycle();
    s.key_ost_ind = 1;
    cycle();
    EXPECT_EQ(s.ost_ind, 0) << "not in alignment";
    EXPECT_EQ(s.key_ost_ind, 0);

    s = NavState{};
    s.load_countdown = 0;
    s.mode_switch = 2;
    navigating();
    s.key_ost_ind = 1;
    cycle();
    ASSERT_EQ(s.ost_ind, 1);
    s.pur_selector = 2;  // VYST keeps work_state 3, and the hold with it
    cycle();
    EXPECT_EQ(s.ost_ind, 1);
    s.pur_selector = 1;
    cycle();
    EXPECT_EQ(s.work_state, 0);
    EXPECT_EQ(s.ost_ind, 1) << "the hold step ran before the state changed";
    cycle();
    EXPECT_EQ(s.ost_ind, 0);
    EXPECT_EQ(s.hold_coords, 0);
}

// ---- the rest of the cycle ---------------------------------------------------------------

TEST_F(SystemCycleTest, BlinkerHasA19CyclePeriodLitForNine) {
    std::vector<int> phase;
    for (int i = 0; i < 57; ++i) {
        cycle();
        phase.push_back(s.blink_phase);
    }
    for (int i = 0; i < 57; ++i) {
        const int counter = (i + 1) % 19;
        EXPECT_EQ(phase[size_t(i)], counter >= 10 ? 1 : 0) << "cycle " << i + 1;
    }
    EXPECT_EQ(std::count(phase.begin(), phase.end(), 1), 27);
}

TEST_F(SystemCycleTest, WheelIsCopiedAndTheStartPointEntersTheRoute) {
    s.ppm_wheel = 7;
    s.start_lat = 45.5;
    s.start_lon = -12.25;
    s.pur_selector = 1;
    cycle();
    EXPECT_EQ(s.ppm_select, 7);
    EXPECT_EQ(s.ppm_lat[0], 45.5);
    EXPECT_EQ(s.ppm_lon[0], -12.25);
}

TEST_F(SystemCycleTest, APartnerPublishedAfterInitialisationIsNotSeen) {
    named_bind(s);  // nothing published yet
    int32_t partner = 0;
    fake_sim::g_partner_hook = &partner;
    s.kbd_focus = 1;
    s.kbd_focus_timer = 1080;
    cycles(2);
    partner = 1;
    cycles(2);
    EXPECT_EQ(s.other_hook_ref.value, nullptr);
    EXPECT_EQ(s.kbd_focus, 1) << "blind to the partner until initialised again";
    named_bind(s);  // initialised again: the partner is seen, and its flag rises from 0
    cycle();
    EXPECT_EQ(s.kbd_focus, 0);
}

TEST_F(SystemCycleTest, KeyboardFocusIsLostToThePartnerAndLapses) {
    int32_t partner = 0;
    fake_sim::g_partner_hook = &partner;
    named_bind(s);  // found at initialisation
    s.kbd_focus = 1;
    s.kbd_focus_timer = 1080;
    cycle();
    EXPECT_EQ(s.kbd_focus_shown, 1);
    partner = 1;
    cycle();
    EXPECT_EQ(s.kbd_focus, 0);
    EXPECT_EQ(s.kbd_focus_shown, 0);

    s.kbd_focus = 1;  // taken back while the partner still holds its flag
    s.kbd_focus_timer = 3;
    cycles(2);
    EXPECT_EQ(s.kbd_focus, 1) << "only the partner's rising edge takes the focus";
    cycle();
    EXPECT_EQ(s.kbd_focus, 0) << "lapsed";

    // The partner is unloaded: its name is gone, and whatever its freed flag holds is not read.
    fake_sim::g_partner_hook = nullptr;
    partner = 0;
    cycle();
    s.kbd_focus = 1;
    s.kbd_focus_timer = 1080;
    partner = 1;
    cycles(3);
    EXPECT_EQ(s.other_hook_ref.value, nullptr);
    EXPECT_EQ(s.kbd_focus, 1);

    // Published again: the binding renewed every cycle finds it, and its rise takes the focus.
    fake_sim::g_partner_hook = &partner;
    cycle();
    EXPECT_EQ(s.other_hook_ref.value, &partner);
    EXPECT_EQ(s.kbd_focus, 0);
}

// ---- unit 2's own steps ------------------------------------------------------------------

TEST_F(SystemCycleTest, ConnectAsksForReloadsAndSeedsTheDrift) {
    fake_sim::g_values[1] = 37;
    system_connect(s);
    EXPECT_EQ(s.route_reload_request, 1);
    EXPECT_EQ(s.settings_reload_request, 1);
    EXPECT_EQ(fake_sim::g_reads, std::vector<int32_t>{1});
    EXPECT_EQ(s.drift_rate_east, 1900);
    EXPECT_EQ(s.drift_rate_north, 1800);

    fake_sim::g_values[1] = kNaN;  // no tick count: the coefficients stay
    system_connect(s);
    EXPECT_EQ(s.drift_rate_east, 1900);
    EXPECT_EQ(s.drift_rate_north, 1800);
}

TEST_F(SystemCycleTest, SettingsAreReadAtTheEndOfTheCycleOnRequest) {
    ASSERT_EQ(s.vibr_kontrol, 0);
    cycle();
    EXPECT_EQ(s.vibr_kontrol, 0);
    s.settings_reload_request = 1;
    cycle();
    EXPECT_EQ(s.settings_reload_request, 0);
    EXPECT_EQ(s.vibr_kontrol, 1) << "the default of a missing file";
}

TEST_F(SystemCycleTest, OnceASecondStepRunsWhenTheTickCountEntersANewSecond) {
    const std::pair<double, bool> ticks[] = {{36, true},  {37, false}, {53.9, false}, {54, true}, {54.5, false},
                                             {0, true},   {-1, true},  {-18, false},  {-19, true}, {17.9, true},
                                             {17.2, false}, {61, true}};
    double t = 100;
    for (auto [tick, runs] : ticks) {
        fake_sim::g_values[1] = tick;
        fake_sim::g_values[604] = t += 0.5;
        const double before = s.sim_time_last_second;
        cycle();
        EXPECT_EQ(s.sim_time_last_second, runs ? t : before) << "tick " << tick;
    }
}

// The error grows by coefficient / 7200 metres per simulated second times the sim rate, at any
// rate and from any tick count: the tick moves by several counts per cycle above rate 1.
TEST_F(SystemCycleTest, DriftGrowsAtEverySimRate) {
    const struct {
        double rate, first_tick;
    } cases[] = {{1, 0}, {1, 7}, {2, 0}, {2, 1}, {4, 3}, {8, 0}, {16, 5}, {0.5, 0}, {0.25, 11}};
    for (const auto& c : cases) {
        SCOPED_TRACE("rate " + std::to_string(c.rate) + " from tick " + std::to_string(c.first_tick));
        s = NavState{};
        s.load_countdown = 0;
        fake_sim::g_values[336] = c.rate;
        double tick = c.first_tick, time = 500;
        fake_sim::g_values[1] = tick;
        fake_sim::g_values[604] = time;
        navigating();
        s.drift_rate_north = 1800;
        s.drift_rate_east = -900;
        s.drift_north_m = s.drift_east_m = 0;
        const double start = time;
        for (int i = 0; i < 18 * 60; ++i) {  // one minute of 18 Hz frames
            fake_sim::g_values[1] = tick += c.rate;
            fake_sim::g_values[604] = time += c.rate / 18;
            cycle();
        }
        ASSERT_EQ(s.nav_ready, 1);
        const double sim_s = time - start;
        // Steps lag by up to a second, and the first one's time is lost against the start.
        const double per_s = c.rate / 7200;
        EXPECT_NEAR(s.drift_north_m, 1800 * per_s * sim_s, 1800 * per_s * 2.5);
        EXPECT_NEAR(s.drift_east_m, -900 * per_s * sim_s, 900 * per_s * 2.5);
    }
}

TEST_F(SystemCycleTest, StageNineClearsTheAccumulatedDrift) {
    to_last_warmup_cycle();
    cycle();
    s.drift_north_m = 500;
    s.drift_east_m = -300;
    cycles(5049);
    EXPECT_EQ(s.align_stage, 10);
    EXPECT_EQ(s.drift_north_m, 500);
    cycle();
    EXPECT_EQ(s.align_stage, 9);
    EXPECT_EQ(s.drift_north_m, 0);
    EXPECT_EQ(s.drift_east_m, 0);
}

TEST_F(SystemCycleTest, RestoreRunsOnTheTwentiethCycleAndSaveOnTheNineteenth) {
    s.load_countdown = 45;
    std::vector<int> queried_at;
    for (int i = 1; i <= 60; ++i) {
        const int before = fake_sim::g_flight_queries;
        cycle();
        if (fake_sim::g_flight_queries != before) queried_at.push_back(i);
    }
    EXPECT_EQ(queried_at, std::vector<int>{20});
    EXPECT_EQ(s.load_countdown, 0);

    s.save_countdown = 45;  // as the saved-flight event sets it
    queried_at.clear();
    for (int i = 1; i <= 60; ++i) {
        const int before = fake_sim::g_flight_queries;
        cycle();
        if (fake_sim::g_flight_queries != before) queried_at.push_back(i);
    }
    EXPECT_EQ(queried_at, std::vector<int>{19});
    EXPECT_EQ(s.save_countdown, 0);
}

}  // namespace
