// The navigator state: the one record every gauge, callback and the keyboard hook of a module
// share. Angles in degrees, distances in km, speeds in km/h, times in minutes unless named.
#pragma once

#include <cstdint>

#include "frame/host_tables.h"
#include "frame/records.h"

inline constexpr double kEmptyLat = 99.0;   // latitude not entered
inline constexpr double kEmptyLon = 999.0;  // longitude not entered
inline constexpr int kTextSize = 16;        // display texts: ten characters, terminator, slack
inline constexpr int kSaveRecordSize = 2048;

struct NavState {
    // Panel selectors and switches
    uint8_t mode_switch = 1;          // UVI mode knob 1..9 (1 KONTR .. 9 delta/U); UVI panel
    int8_t ppm_wheel = 1;             // waypoint wheel 0..9; UVI panel, keyboard
    uint8_t ppm_select = 0;           // wheel as the display cycle reads it; panel, keyboard, system cycle
    int32_t auto_manual = 1;          // 1 AVT, 0 RUCHN; UVI panel
    int8_t pur_selector = 0;          // 0 OTKL, 1 OBOGR, 2 VYST, 3 NAVIG, 4 KV; PUR panel

    // Command latches and requests (0/1): set by controls, cleared by the cycle acting on them
    int32_t key_0 = 0, key_1 = 0, key_2 = 0, key_3 = 0, key_4 = 0;  // digit keys; panel, keyboard
    int32_t key_5 = 0, key_6 = 0, key_7 = 0, key_8 = 0, key_9 = 0;
    int32_t key_enter = 0;            // VVOD
    int32_t key_reset = 0;            // SBROS
    int32_t key_route_change = 0;     // IZM MARSH
    int32_t key_ost_ind = 0;          // OST INDIK; acted on by the system cycle
    int32_t kbd_ns_swap = 0;          // last 2/8 came from the PC keypad; keyboard, entry
    int32_t route_reload_request = 0; // re-read the route file; panels, system cycle
    int32_t route_copy_request = 0;   // copy route 0 into the working route; UVI panel
    int32_t settings_reload_request = 0; // re-read section "SYS"; PUR panel, system cycle

    // Keyboard focus
    int32_t kbd_focus = 0;            // this unit takes the PC keyboard; published as HOOK
    int32_t kbd_focus_timer = 0;      // cycles before the focus lapses; panel, keyboard, system cycle
    int32_t kbd_focus_timeout = 1080; // cycles, constant
    int32_t kbd_focus_shown = 0;      // kbd_focus at the end of the last system cycle
    int32_t other_kbd_focus = 0;      // partner's HOOK this cycle; named variables
    int32_t other_kbd_focus_prev = 0; // the same one cycle earlier
    NamedValueRef other_hook_ref = {};// host record bound to the partner's HOOK
    int32_t partner_found_at_init = 0;// the binding at the last initialisation found the partner

    // Power, warm-up, alignment and readiness (system cycle)
    int32_t ext_power = 0;            // external power present
    int32_t on_battery = 0;           // running on the unit's battery
    int32_t battery_capacity = 10800; // cycles, constant
    int32_t battery_charge = 10800;   // cycles, 0..capacity
    int32_t battery_has_charge = 0;
    int32_t unit_powered = 0;
    int32_t unit_on = 0;              // powered and selector not OTKL
    int32_t warmup_counter = 0;       // cycles since reset, up to 180
    int32_t warmed_up = 0;
    int32_t align_armed = 0;
    int32_t align_running = 0;
    int32_t align_countdown = 5500;   // cycles; UVI shortcut sets 500
    int32_t align_stage = 0;          // 90 down to 1
    int32_t align_done = 0;
    int32_t nav_ready = 0;
    uint8_t work_state = 0;           // 0 off/warm-up, 2 alignment, 3 navigation
    int32_t lat_fault = 0;
    int32_t lon_fault = 0;
    int32_t vibration_fault = 0;      // takes the value of vibr_kontrol
    double vibration_accum = 0;       // 0..500; error model

    // Lamps and indications
    int32_t not_ready_lamp = 0;       // NEGOT; system cycle
    int32_t attention_lamp = 0;       // VNIM; system cycle
    int32_t power_lamp = 0;           // PIT; system cycle
    int32_t kv_lamp = 0;              // KV; never set
    int32_t failure_lamp = 0;         // OTKAZ; never set
    int32_t lamp_test = 0;            // PUR lamp test active; PUR panel
    int8_t lamp_test_timer = 0;       // PUR cycles left in the lamp test
    int32_t enter_lamp = 0;           // VVOD lamp; entry
    int32_t route_change_lamp = 0;    // IZM MARSH lamp; entry
    int32_t ost_ind_lamp = 0;         // OST INDIK lamp; system cycle
    int32_t lzp_change_lamp = 0;      // SMENA LZP; navigation
    int32_t blink_counter = 0;        // 0..18; system cycle
    int32_t blink_phase = 0;          // 1 for counter 10..18
    int32_t lzp_prompt_latch = 0;     // navigation
    int32_t lzp_prompt_timer = 0;     // cycles, 720 from the prompt

    // Simulator inputs (system cycle)
    double aircraft_lat = 0, aircraft_lon = 0; // true position, degrees
    double heading = 0;               // degrees 0..360
    double heading_copy = 0;          // source of the displayed heading
    double gs_north = 0, gs_east = 0; // km/h
    double sim_time = 0;              // seconds
    double sim_time_copy = 0;         // seconds
    double sim_time_prev = 0;         // seconds, previous cycle
    double sim_time_last_second = 0;  // seconds, last once-a-second step (unit 2)
    int32_t sim_running = 1;          // simulator time moved this cycle
    double frame_dt = 0;              // seconds since the previous system cycle
    double sim_rate = 0;              // simulation rate
    int32_t tick_count = 0;           // unit 2: 18 Hz tick counter
    double engine_pct[4] = {};        // percent, 0 below 6; system cycle
    int64_t perf_count_prev = 0;      // performance counter at the previous cycle

    // Route
    double ppm_lat[10] = {};          // working route; [0] start point; 99 empty
    double ppm_lon[10] = {};          // 999 empty
    double file_ppm_lat[64] = {};     // route file waypoints by key number; route load, entry
    double file_ppm_lon[64] = {};
    int32_t file_ppm_index = 0;       // key number while loading, then the chosen file entry
    uint8_t ppm_from = 1;             // FROM waypoint (OT); navigation, entry
    uint8_t ppm_to = 2;               // TO waypoint (DO)
    uint8_t ppm_next = 0;             // waypoint after TO
    uint8_t ppm_to_copy = 0;          // ppm_to as of the last system cycle
    double start_lat = 0;             // 99 not entered; entry, UVI panel, system cycle
    double start_lon = 0;             // 999 not entered
    int32_t start_lat_set = 0;
    int32_t start_lon_set = 0;

    // Navigation solution (navigation computations and error model)
    double present_lat = 0, present_lon = 0; // the unit's own position, longitude -180..180
    double leg_course = 0;            // ZPU, 0..360
    double leg_final_course = 0;      // course of the leg at TO
    double next_leg_course = 0;       // initial course TO -> NEXT
    double turn_angle = 0;            // 0..110
    double turn_lead = 0;             // LUR, km
    double dist_to_go = 0;            // S, km, negative past TO
    double cross_track = 0;           // Z, km, positive right of the leg
    double ground_track = 0;          // 0..360
    double track_angle = 0;           // PU, 0..360
    double track_error = 0;           // PU - ZPU, -180..180
    double ground_speed = 0;          // W, km/h
    double drift_angle = 0;           // US, -180..180
    double time_to_go = 0;            // minutes 0..1000
    double eta_hours = 0;             // hours 0..24
    double clock_minutes = 0;         // minutes 0..1440; T entry
    int32_t clock_set = 0;            // T entry
    double wind_dir = 0, wind_speed = 0; // degrees (the way the wind blows to), km/h
    double tas_entered = 0;           // km/h; entry
    int32_t leg_switch_armed = 0;
    int32_t leg_switch_timer = 0;     // cycles, 90 down to 0
    int32_t leg_switched = 0;
    double drift_north_m = 0, drift_east_m = 0;       // unit 2: accumulated error, metres
    double drift_rate_north = 0, drift_rate_east = 0; // unit 2: seeded coefficients
    int32_t drift_tick_block = 0;     // unit 2: tick count / 18 (floored) at the last once-a-second step; system cycle
    // Working values of one navigation pass
    double convergence = 0;           // degrees
    double dist_direct = 0;           // km, present position to TO

    // Unit 1 calibration (error model)
    double scale_north = 1.0, scale_east = 1.0;  // velocity scale factors 0.995..1.005
    double filt_north = 0, filt_east = 0;        // filtered relative errors
    int32_t calib_counter = 0;                   // cycles
    int32_t calib_period = 90;                   // cycles
    double ref_present_lat = 0, ref_present_lon = 0;
    double ref_aircraft_lat = 0, ref_aircraft_lon = 0;

    // Display hold and displayed values (system cycle, display cycle, entry)
    int32_t hold_coords = 0, hold_heading = 0, hold_track = 0, hold_distance = 0;
    int32_t hold_speed = 0, hold_time = 0, hold_wind = 0;
    int32_t ost_ind = 0;              // any hold active; published
    double shown_lat = 0, shown_lon = 0, shown_heading = 0, shown_track_angle = 0;
    double shown_dist_to_go = 0, shown_cross_track = 0, shown_ground_speed = 0;
    double shown_drift_angle = 0, shown_time_to_go = 0, shown_wind_dir = 0, shown_wind_speed = 0;
    char upper_text[kTextSize] = {};  // display lines in normal display; display cycle
    char lower_text[kTextSize] = {};
    char upper_entry_text[kTextSize] = {}; // display lines during an entry; entry
    char lower_entry_text[kTextSize] = {};
    int8_t sign_upper = 0, sign_lower = 0;             // 0 blank,1 N/E,2 S/W,3 +,4 -,5 all
    int8_t entry_sign_upper = 0, entry_sign_lower = 0; // during an entry
    int32_t upper_value = 0, lower_value = 0;          // scaled line values; display cycle

    // Data entry (entry)
    int32_t entry_active = 0;
    int32_t entry_value = 0;          // number typed so far
    int32_t entry_digits[7] = {};     // [1] last digit typed
    int32_t entry_digits_left = 0;
    int32_t entry_lat_start = 0, entry_lat_ppm = 0, entry_lat_corr = 0, entry_upper_mode8 = 0;
    int32_t entry_lon_start = 0, entry_lon_ppm = 0, entry_lon_corr = 0, entry_lower_mode9 = 0;
    int32_t entry_ppm_number = 0;
    int32_t route_change_active = 0;
    int8_t entry_lat_sign = 1;
    int8_t entry_lon_sign = 1;

    // Published values
    int32_t got_var = 1;              // previous cycle's nav_ready
    double lbu_var = 0;               // metres
    double lbu_dif_var = 0;           // km/h
    double pu_delta_var = 0;          // degrees

    // Settings, section "SYS"
    double perc_pogr = 0.23;          // percent
    int32_t vibr_kontrol = 0;
    double bank_time = 3.5;           // seconds
    double kd = 100;
    double kp = 60;

    // Auxiliary gauges
    int32_t ap_steering_on = 0;       // autopilot steering button
    SimVarRecord ap_heading_var = {81, {}, {}, {}}; // variable 81, heading in degrees
    double ap_correction = 0;         // degrees, last computation
    double ap_heading = 0;            // degrees, last computation
    int32_t koord_i_visible = 1, koord_s_visible = 1;
    double dbg_err_north_pct = 0, dbg_err_east_pct = 0, dbg_scale_north = 0, dbg_scale_east = 0;
    char dbg_line_text[4][32] = {};   // DigTest lines as last formatted; debug read-out
    double dbg_line_value[4] = {};    // the values those texts show; debug read-out
    int32_t dbg_line_formatted[4] = {}; // 1 once the line's text has been formatted; debug read-out
    char koord_i_lat_text[kTextSize] = {}, koord_i_lon_text[kTextSize] = {};
    char koord_s_lat_text[kTextSize] = {}, koord_s_lon_text[kTextSize] = {};

    // Persistence (unit 2)
    int8_t load_countdown = 45;       // cycles to the restore (restore at 25)
    int8_t save_countdown = 0;        // cycles to the save (save at 26)
    uint8_t save_record[kSaveRecordSize] = {}; // the one save record, lives with the module

    // Module frame
    void* hook_handle = nullptr;      // keyboard hook, null when installation failed
};

// The module's one navigator state.
extern NavState g_nav;

// Puts a record into its load-time state (the unit's debug start values included).
void nav_state_reset_to_load(NavState& s);
