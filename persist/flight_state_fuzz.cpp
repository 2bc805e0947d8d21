// Fuzz target: arbitrary .insb file bytes through the restore. Whatever a shared file holds,
// every restored index stays in range, no restored double is a non-number, and a restored
// state saves and restores to itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "persist/flight_state.h"

namespace {

void require(bool ok) {
    if (!ok) __builtin_trap();
}

bool in(int v, int lo, int hi) { return v >= lo && v <= hi; }

void check_state(const NavState& s) {
    require(in(s.mode_switch, 1, 9));
    require(in(s.ppm_wheel, 0, 9));
    require(in(s.pur_selector, 0, 4));
    require(in(s.ppm_from, 0, 9) && in(s.ppm_to, 0, 9) && in(s.ppm_next, 0, 9) && in(s.ppm_to_copy, 0, 9));
    require(in(s.file_ppm_index, 0, 63));
    require(s.work_state == 0 || s.work_state == 2 || s.work_state == 3);
    for (int32_t flag : {s.unit_on, s.align_done, s.warmed_up, s.nav_ready, s.align_running, s.unit_powered,
                         s.ext_power, s.on_battery, s.battery_has_charge, s.got_var, s.clock_set, s.ap_steering_on,
                         s.auto_manual, s.lat_fault, s.lon_fault, s.start_lon_set, s.start_lat_set, s.leg_switched,
                         s.lzp_prompt_latch, s.leg_switch_armed, s.align_armed})
        require(in(flag, 0, 1));
    require(in(s.battery_capacity, 1, 10800) && in(s.battery_charge, 0, s.battery_capacity));
    require(in(s.align_countdown, -50, 5500));
    require(in(s.leg_switch_timer, 0, 90) && in(s.lzp_prompt_timer, 0, 720) && in(s.warmup_counter, 0, 180));
    require(s.clock_minutes >= 0 && s.clock_minutes <= 1440);
    require(s.tas_entered >= 0 && s.tas_entered <= 9999);
    for (double v : {s.present_lat, s.start_lat, s.present_lon, s.start_lon, s.shown_lat, s.shown_lon,
                     s.shown_heading, s.shown_track_angle, s.shown_dist_to_go, s.shown_cross_track,
                     s.shown_ground_speed, s.shown_drift_angle, s.shown_time_to_go, s.shown_wind_dir,
                     s.shown_wind_speed, s.next_leg_course, s.leg_final_course, s.turn_angle})
        require(std::isfinite(v));
    for (int k = 0; k < 10; ++k) require(std::isfinite(s.ppm_lat[k]) && std::isfinite(s.ppm_lon[k]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto s = std::make_unique<NavState>();
    // The first byte chooses what the record held before the file was read: nothing, or a save
    // of the start state. The rest is the file; a short one fills only the start of the record.
    if (size > 0 && (data[0] & 1)) navigator_state_to_record(*s);
    if (size > 0) {
        ++data;
        --size;
    }
    std::memcpy(s->save_record, data, size < sizeof s->save_record ? size : sizeof s->save_record);
    navigator_state_from_record(*s);
    check_state(*s);

    // Saving what was restored and restoring it again changes nothing.
    auto again = std::make_unique<NavState>(*s);
    navigator_state_to_record(*again);
    auto back = std::make_unique<NavState>();
    std::memcpy(back->save_record, again->save_record, sizeof back->save_record);
    navigator_state_from_record(*back);
    navigator_state_to_record(*back);
    require(std::memcmp(back->save_record + 8, again->save_record + 8, 1560 - 8) == 0);
    return 0;
}
