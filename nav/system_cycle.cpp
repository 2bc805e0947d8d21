// The system cycle of Q_14_SYS: once per frame it reads the simulator, keeps power, warm-up,
// alignment and readiness, the display hold and the lamps, and runs the navigation work.
#include "nav/system_cycle.h"

#include <cmath>

#include "display/digits.h"
#include "frame/host_api.h"
#include "frame/unit_profile.h"
#include "nav/error_model.h"
#include "nav/named_vars.h"
#include "nav/navigation.h"
#include "nav/settings.h"
#include "persist/flight_state.h"
#include "platform/platform.h"

// ---- simulator variables -----------------------------------------------------------------

// Records the host writes into; word 0 is the variable number, the rest belongs to the host.
static constinit SimVarRecord var_tick = {1, {}, {}, {}};         // 18 Hz tick counter
static constinit SimVarRecord var_lat = {71, {}, {}, {}};         // metres north of the equator
static constinit SimVarRecord var_lon = {72, {}, {}, {}};         // 2^48 per turn
static constinit SimVarRecord var_heading = {86, {}, {}, {}};     // degrees
static constinit SimVarRecord var_engine[4] = {
    {135, {}, {}, {}}, {170, {}, {}, {}}, {205, {}, {}, {}}, {240, {}, {}, {}}};  // 16384 = 100 %
static constinit SimVarRecord var_power = {753, {}, {}, {}};      // external power above 20
static constinit SimVarRecord var_time = {604, {}, {}, {}};       // seconds
static constinit SimVarRecord var_gs_north = {554, {}, {}, {}};   // ft/s
static constinit SimVarRecord var_gs_east = {555, {}, {}, {}};    // ft/s
static constinit SimVarRecord var_rate = {336, {}, {}, {}};       // simulation rate

static constexpr double kDegPerLatValue = 8.998425275576774e-06;   // 90 / 10001750 m
static constexpr double kDegPerLonValue = 1.2789769243681803e-12;  // 360 / 2^48
static constexpr double kEnginePctPerValue = 0.006103515625;       // 25 / 4096
static constexpr double kKmhPerFtS = 1.09728;

// A host that hands over NaN or infinity (or a value whose conversion overflows) gives us no
// reading at all: the field keeps what the last cycle left, so nothing undefined reaches the
// integer conversions, the lamps or the navigation.
static bool read_converted(SimVarRecord& r, double scale, double& out) {
    double v = host_read_sim_variable(r) * scale;
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

static void read_simulator(NavState& s) {
    double v;
    // The tick count feeds only the seeded drift of unit 2.
    if (kUnit.seeded_drift && read_converted(var_tick, 1.0, v)) s.tick_count = trunc_to_i32(v);
    read_converted(var_lat, kDegPerLatValue, s.aircraft_lat);
    read_converted(var_lon, kDegPerLonValue, s.aircraft_lon);
    if (read_converted(var_heading, 1.0, v)) {
        if (v > 360) v -= 360;
        if (v < 0) v += 360;
        s.heading = v;
    }
    for (int i = 0; i < 4; ++i) {
        if (read_converted(var_engine[i], kEnginePctPerValue, v)) s.engine_pct[i] = v < 6 ? 0.0 : v;
    }
    vibration_step(s);  // between the engines and the power: sees the previous stage
    if (read_converted(var_power, 1.0, v)) s.ext_power = v > 20 ? 1 : 0;
    // A time that cannot be read counts as a time that did not move.
    if (read_converted(var_time, 1.0, v)) {
        s.sim_time = s.sim_time_copy = v;
        s.sim_running = v != s.sim_time_prev ? 1 : 0;
        s.sim_time_prev = v;
    } else {
        s.sim_running = 0;
    }
    read_converted(var_gs_north, kKmhPerFtS, s.gs_north);
    read_converted(var_gs_east, kKmhPerFtS, s.gs_east);
    read_converted(var_rate, 1.0, s.sim_rate);
}

// ---- frame time --------------------------------------------------------------------------

static constexpr double kStallFrameS = 0.055;  // one 18 Hz frame

// Seconds since the last cycle. A gap above one second (a stall, the first cycle) counts as
// one ordinary frame so the clock does not jump; so does a counter that ran backwards or a
// frequency the platform could not give, which would otherwise run the clock backwards.
static void frame_time(NavState& s) {
    int64_t freq = plat_perf_frequency();
    int64_t now = plat_perf_counter();
    int64_t ticks = static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(s.perf_count_prev));
    s.perf_count_prev = now;
    double dt = freq > 0 ? static_cast<double>(ticks) / static_cast<double>(freq) : kStallFrameS;
    s.frame_dt = (dt > 1.0 || dt < 0.0) ? kStallFrameS : dt;
}

// ---- power, warm-up and alignment --------------------------------------------------------

static void power_step(NavState& s) {
    if (s.ext_power == 0) {
        if (s.pur_selector != 0) {
            s.on_battery = 1;
            s.battery_charge = s.battery_charge > 0 ? s.battery_charge - 1 : 0;
        }
    } else {
        s.on_battery = 0;
        s.battery_charge = s.battery_charge < s.battery_capacity ? s.battery_charge + 1 : s.battery_capacity;
    }
    s.battery_has_charge = s.battery_charge != 0;
    s.power_lamp = s.battery_charge < s.battery_capacity / 2 && s.pur_selector != 0 && s.on_battery == 1;
    s.unit_powered = s.ext_power || s.battery_has_charge;
}

static constexpr int32_t kWarmupCycles = 180;
static constexpr int32_t kAlignCycles = 5500;

// Alignment stage shown for a countdown value: fixed steps of ten down to 40, then one stage
// per 50 cycles.
struct StageStep {
    int32_t above;  // countdown values above this show `stage`
    int32_t stage;
};
static constexpr StageStep kStageSteps[] = {
    {4500, 90}, {3500, 80}, {3000, 70}, {2500, 60}, {2000, 50}, {1500, 40},
};

static int32_t stage_for(int32_t count) {
    for (const StageStep& step : kStageSteps)
        if (count > step.above) return step.stage;
    return count / 50 + 1;
}

static void countdown_step(NavState& s) {
    if (s.align_countdown > INT32_MIN) --s.align_countdown;
    s.align_stage = stage_for(s.align_countdown);
    // Stage 0 ends the alignment; a countdown already far below it (a shortened or restored
    // count) ends it too instead of showing negative stages for ever.
    if (s.align_stage <= 0) {
        s.align_stage = 0;
        s.align_done = 1;
        s.align_countdown = 0;
        s.align_running = 0;
        s.align_armed = 0;
    }

    const int32_t st = s.align_stage;
    if (s.vibration_accum > 100 && st < 30) s.vibration_fault = s.vibr_kontrol;
    // During alignment present_lat holds the entered start latitude; one that is not a number
    // is no closer than 0.166 degrees either.
    if (!(std::fabs(s.present_lat - s.aircraft_lat) <= 0.166) && st < 60) s.lat_fault = 1;
    if (s.start_lat_set == 0 && st < 80) s.lat_fault = 1;
    if (s.start_lon_set == 0 && st < 5) s.lon_fault = 1;

    if (s.lat_fault != 0 || s.lon_fault != 0 || s.vibration_fault != 0) {
        s.attention_lamp = 1;
        s.align_running = 0;
    } else {
        s.attention_lamp = 0;
        // Unit 2's position error starts from zero at the end of every clean alignment.
        if (kUnit.seeded_drift && s.align_running == 1 && st == 9) s.drift_north_m = s.drift_east_m = 0;
    }
}

static void alignment_step(NavState& s) {
    if (s.warmup_counter < kWarmupCycles) ++s.warmup_counter;
    s.warmed_up = s.warmup_counter > kWarmupCycles - 1;

    if (s.pur_selector == 2 && s.warmed_up && s.unit_powered && s.align_armed == 1) {
        s.work_state = 2;
        s.align_running = 1;
        s.align_armed = 0;
        countdown_step(s);
    } else if (s.align_running == 1) {
        countdown_step(s);
    }
}

static void operating_state(NavState& s) {
    s.not_ready_lamp = s.nav_ready != 1 && s.unit_powered && s.warmed_up;
    s.unit_on = s.unit_powered && s.pur_selector != 0;

    switch (s.pur_selector) {
        case 3:
            if (s.align_done == 1) {
                s.nav_ready = 1;
                s.work_state = 3;
            }
            break;
        case 2: s.nav_ready = 0; break;
        case 1:
        case 0:
            s.nav_ready = 0;
            s.work_state = 0;
            s.align_done = 0;
            break;
        default: break;  // KV keeps what NAVIG left
    }
}

// OTKL or no power: everything back to the start, alignment armed again; NAVIG or KV before
// completion, or no power, cancels the alignment until the next OTKL.
static void reset_step(NavState& s) {
    if (s.pur_selector == 0 || s.unit_powered == 0) {
        s.warmup_counter = 0;
        s.align_done = 0;
        s.work_state = 0;
        s.nav_ready = 0;
        s.align_countdown = kAlignCycles;
        s.align_armed = 1;
        s.lat_fault = s.lon_fault = s.vibration_fault = 0;
        s.start_lat_set = s.start_lon_set = 0;
        s.attention_lamp = 0;
        s.power_lamp = 0;
        if (s.ext_power == 1) s.battery_charge = s.battery_capacity;
        s.start_lat = kEmptyLat;
        s.start_lon = kEmptyLon;
        for (int i = 1; i < 10; ++i) {
            s.ppm_lat[i] = kEmptyLat;
            s.ppm_lon[i] = kEmptyLon;
        }
    }
    if (s.pur_selector == 3 || s.pur_selector == 4 || s.unit_powered == 0) {
        s.align_running = 0;
        s.align_armed = 0;
        s.start_lat_set = 0;
        s.start_lon_set = 0;
    }
}

// ---- display hold (OST INDIK) ------------------------------------------------------------

// The pages that can be held, their hold flag and the displayed values they freeze.
struct HeldPage {
    uint8_t mode;                     // mode_switch position
    int32_t NavState::*hold;
    double NavState::*shown[2];       // second entry null for one-value pages
    double NavState::*live[2];
};
static constexpr HeldPage kHeldPages[] = {
    {2, &NavState::hold_coords, {&NavState::shown_lat, &NavState::shown_lon},
     {&NavState::present_lat, &NavState::present_lon}},
    {3, &NavState::hold_heading, {&NavState::shown_heading, nullptr}, {&NavState::heading_copy, nullptr}},
    {5, &NavState::hold_track, {&NavState::shown_track_angle, nullptr}, {&NavState::track_angle, nullptr}},
    {6, &NavState::hold_distance, {&NavState::shown_dist_to_go, &NavState::shown_cross_track},
     {&NavState::dist_to_go, &NavState::cross_track}},
    {7, &NavState::hold_speed, {&NavState::shown_ground_speed, &NavState::shown_drift_angle},
     {&NavState::ground_speed, &NavState::drift_angle}},
    {8, &NavState::hold_time, {&NavState::shown_time_to_go, nullptr}, {&NavState::time_to_go, nullptr}},
    {9, &NavState::hold_wind, {&NavState::shown_wind_dir, &NavState::shown_wind_speed},
     {&NavState::wind_dir, &NavState::wind_speed}},
};

static void clear_holds(NavState& s) {
    for (const HeldPage& p : kHeldPages) s.*p.hold = 0;
}

// A first press freezes the current page (while navigating); any further press releases all.
static void display_hold(NavState& s) {
    if (s.key_ost_ind == 1) {
        if (s.ost_ind == 0 && s.work_state == 3) {
            for (const HeldPage& p : kHeldPages)
                if (p.mode == s.mode_switch) s.*p.hold = 1;
        } else {
            clear_holds(s);
        }
        s.key_ost_ind = 0;
    }
    if (s.work_state != 3) clear_holds(s);
    s.ost_ind = 0;
    for (const HeldPage& p : kHeldPages)
        if (s.*p.hold != 0) s.ost_ind = 1;
    s.ost_ind_lamp = s.ost_ind;
}

static void copy_shown_values(NavState& s) {
    for (const HeldPage& p : kHeldPages) {
        if (s.*p.hold != 0) continue;
        for (int i = 0; i < 2; ++i)
            if (p.shown[i]) s.*p.shown[i] = s.*p.live[i];
    }
}

// ---- the rest of the cycle ---------------------------------------------------------------

// 19-cycle period, lit for counter values 10 to 18.
static void blinker(NavState& s) {
    ++s.blink_counter;
    if (s.blink_counter > 18) {
        s.blink_counter = 0;
        s.blink_phase = 0;
    } else {
        s.blink_phase = s.blink_counter >= 10;
    }
}

// Whole blocks of 18 ticks (simulated seconds), floored so that negative counts step alike.
static int32_t tick_block(int32_t tick) { return tick >= 0 ? tick / 18 : -((-(tick + 1)) / 18) - 1; }

// Unit 2: restore once on the 20th cycle after load, save on the 19th after the save event.
static void persistence_countdowns(NavState& s) {
    if (s.load_countdown > 0) {
        --s.load_countdown;
        if (s.load_countdown == 25) load_navigator_state(s);
    }
    if (s.save_countdown > 0) {
        --s.save_countdown;
        if (s.save_countdown == 26) save_navigator_state(s);
    }
}

void system_cycle(NavState& s) {
    if (kUnit.dead_reckoning) debug_copies(s);  // unit 1's read-out shows its calibration
    s.ppm_select = static_cast<uint8_t>(s.ppm_wheel);
    focus_arbitration_start(s);
    display_hold(s);
    copy_shown_values(s);
    read_simulator(s);
    frame_time(s);

    s.ppm_lat[0] = s.start_lat;
    s.ppm_lon[0] = s.start_lon;
    s.got_var = s.nav_ready;  // published GOT lags readiness by one cycle

    power_step(s);
    alignment_step(s);
    operating_state(s);
    reset_step(s);
    s.heading_copy = s.heading;

    // Once a simulated second: in the cycle in which the tick count enters a new block of 18.
    // Waiting for a count divisible by 18 misses it whenever the count moves by more than one
    // per cycle: never again at sim rate 2 from an odd count, only every fourth second at rate
    // 8 (a gap the step takes for a time jump), so the error stood still.
    if (kUnit.seeded_drift && tick_block(s.tick_count) != s.drift_tick_block) {
        s.drift_tick_block = tick_block(s.tick_count);
        drift_second_step(s);
    }
    present_position_update(s);
    navigation_step(s);
    if (kUnit.dead_reckoning) calibration_step(s);
    leg_switching_step(s);

    blinker(s);
    focus_arbitration_end(s);
    if (kUnit.settings_in_system_cycle && s.settings_reload_request == 1) {
        settings_read(s);
        s.settings_reload_request = 0;
    }
    if (kUnit.persists_flights) persistence_countdowns(s);
}

void system_connect(NavState& s) {
    s.route_reload_request = 1;
    s.settings_reload_request = 1;
    double tick;
    // A tick count that cannot be read leaves the coefficients as they were.
    if (kUnit.seeded_drift && read_converted(var_tick, 1.0, tick)) drift_seed(s, tick);
}
