// The layout of unit 2's ".insb" record: which field each 8-byte slot holds and the values the
// restore accepts. Shared by the save and restore and by the record check a page runs first.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "frame/records.h"
#include "nav/state.h"

namespace state_record {

constexpr int kLatSlotBase = 0;     // latitude slot k at 8*k
constexpr int kLonSlotBase = 512;   // longitude slot k at 512 + 8*k
constexpr int kStateSlotBase = 1024;
constexpr int kSlotBytes = 8;

// Byte order of the file, whatever the host's: the double's bits as an integer, then bytes
// from the least significant up.
inline void put_le_f64(uint8_t* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline double get_le_f64(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(p[i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

enum SlotKind : uint8_t {
    kSlotInt,    // int32_t field
    kSlotU8,     // uint8_t field
    kSlotI8,     // int8_t field
    kSlotDouble, // double field, copied bit for bit
    kSlotKeep,   // reserved: left as the record holds it
    kSlotZero,   // reserved: written as 0.0
    kSlotOne,    // reserved: written as 1.0
};

enum SlotCheck : uint8_t {
    kCheckRange,      // lo <= value <= hi
    kCheckWorkState,  // 0, 2 or 3
    kCheckCharge,     // 0 .. battery_capacity (as restored just before)
};

struct StateSlot {
    int16_t offset;             // bytes into the record
    SlotKind kind;
    SlotCheck check;
    int32_t NavState::*i32;
    uint8_t NavState::*u8;
    int8_t NavState::*i8;
    double NavState::*f64;
    double lo, hi;              // valid values (integers: after truncation)
    const char* name = nullptr; // the field's name, for the record check's findings
};

constexpr StateSlot named(const char* name, StateSlot slot) {
    slot.name = name;
    return slot;
}

constexpr double kAnyDouble = std::numeric_limits<double>::max();

constexpr StateSlot int_slot(int off, int32_t NavState::*m, double lo, double hi, SlotCheck c = kCheckRange) {
    return {static_cast<int16_t>(off), kSlotInt, c, m, nullptr, nullptr, nullptr, lo, hi};
}
constexpr StateSlot flag_slot(int off, int32_t NavState::*m) { return int_slot(off, m, 0, 1); }
constexpr StateSlot u8_slot(int off, uint8_t NavState::*m, double lo, double hi, SlotCheck c = kCheckRange) {
    return {static_cast<int16_t>(off), kSlotU8, c, nullptr, m, nullptr, nullptr, lo, hi};
}
constexpr StateSlot i8_slot(int off, int8_t NavState::*m, double lo, double hi) {
    return {static_cast<int16_t>(off), kSlotI8, kCheckRange, nullptr, nullptr, m, nullptr, lo, hi};
}
constexpr StateSlot f64_slot(int off, double NavState::*m, double lo = -kAnyDouble, double hi = kAnyDouble) {
    return {static_cast<int16_t>(off), kSlotDouble, kCheckRange, nullptr, nullptr, nullptr, m, lo, hi};
}
constexpr StateSlot reserved_slot(int off, SlotKind kind) {
    return {static_cast<int16_t>(off), kind, kCheckRange, nullptr, nullptr, nullptr, nullptr, 0, 0};
}

using S = NavState;
constexpr StateSlot kStateSlots[] = {
    named("file_ppm_index", int_slot(1024, &S::file_ppm_index, 0, 63)),
    named("unit_on", flag_slot(1032, &S::unit_on)),
    named("align_done", flag_slot(1040, &S::align_done)),
    named("align_countdown", int_slot(1048, &S::align_countdown, -50, 5500)),
    named("warmed_up", flag_slot(1056, &S::warmed_up)),
    named("nav_ready", flag_slot(1064, &S::nav_ready)),
    named("align_running", flag_slot(1072, &S::align_running)),
    named("unit_powered", flag_slot(1080, &S::unit_powered)),
    named("ext_power", flag_slot(1088, &S::ext_power)),
    named("on_battery", flag_slot(1096, &S::on_battery)),
    named("battery_has_charge", flag_slot(1104, &S::battery_has_charge)),
    named("battery_capacity", int_slot(1112, &S::battery_capacity, 1, 10800)),
    named("battery_charge", int_slot(1120, &S::battery_charge, 0, 10800, kCheckCharge)),
    named("work_state", u8_slot(1128, &S::work_state, 0, 3, kCheckWorkState)),
    named("pur_selector", i8_slot(1136, &S::pur_selector, 0, 4)),
    named("clock_minutes", f64_slot(1144, &S::clock_minutes, 0, 1440)),
    named("tas_entered", f64_slot(1152, &S::tas_entered, 0, 9999)),
    reserved_slot(1160, kSlotKeep),
    named("got_var", flag_slot(1168, &S::got_var)),
    named("clock_set", flag_slot(1176, &S::clock_set)),
    named("ap_steering_on", flag_slot(1184, &S::ap_steering_on)),
    reserved_slot(1192, kSlotKeep),
    named("mode_switch", u8_slot(1200, &S::mode_switch, 1, 9)),
    reserved_slot(1208, kSlotZero),
    named("ppm_wheel", i8_slot(1216, &S::ppm_wheel, 0, 9)),
    named("ppm_from", u8_slot(1224, &S::ppm_from, 0, 9)),
    named("ppm_to", u8_slot(1232, &S::ppm_to, 0, 9)),
    reserved_slot(1240, kSlotOne),
    named("auto_manual", flag_slot(1248, &S::auto_manual)),
    named("present_lat", f64_slot(1256, &S::present_lat)),
    named("start_lat", f64_slot(1264, &S::start_lat)),
    named("present_lon", f64_slot(1272, &S::present_lon)),
    named("start_lon", f64_slot(1280, &S::start_lon)),
    named("shown_lat", f64_slot(1288, &S::shown_lat)),
    named("shown_lon", f64_slot(1296, &S::shown_lon)),
    named("shown_heading", f64_slot(1304, &S::shown_heading)),
    named("shown_track_angle", f64_slot(1312, &S::shown_track_angle)),
    named("shown_dist_to_go", f64_slot(1320, &S::shown_dist_to_go)),
    named("shown_cross_track", f64_slot(1328, &S::shown_cross_track)),
    named("shown_ground_speed", f64_slot(1336, &S::shown_ground_speed)),
    named("shown_drift_angle", f64_slot(1344, &S::shown_drift_angle)),
    named("shown_time_to_go", f64_slot(1352, &S::shown_time_to_go)),
    named("shown_wind_dir", f64_slot(1360, &S::shown_wind_dir)),
    named("shown_wind_speed", f64_slot(1368, &S::shown_wind_speed)),
    named("lat_fault", flag_slot(1376, &S::lat_fault)),
    named("lon_fault", flag_slot(1384, &S::lon_fault)),
    // Takes the value of the vibr_kontrol setting, which may be any integer.
    named("vibration_fault", int_slot(1392, &S::vibration_fault, -2147483648.0, 2147483647.0)),
    named("start_lon_set", flag_slot(1400, &S::start_lon_set)),
    named("start_lat_set", flag_slot(1408, &S::start_lat_set)),
    reserved_slot(1416, kSlotZero),
    reserved_slot(1424, kSlotZero),
    reserved_slot(1432, kSlotZero),
    reserved_slot(1440, kSlotZero),
    reserved_slot(1448, kSlotOne),
    reserved_slot(1456, kSlotOne),
    named("next_leg_course", f64_slot(1464, &S::next_leg_course)),
    named("ppm_to_copy", u8_slot(1472, &S::ppm_to_copy, 0, 9)),
    named("ppm_next", u8_slot(1480, &S::ppm_next, 0, 9)),
    named("leg_final_course", f64_slot(1488, &S::leg_final_course)),
    named("turn_angle", f64_slot(1496, &S::turn_angle)),
    named("leg_switched", flag_slot(1504, &S::leg_switched)),
    named("lzp_prompt_latch", flag_slot(1512, &S::lzp_prompt_latch)),
    named("leg_switch_armed", flag_slot(1520, &S::leg_switch_armed)),
    named("leg_switch_timer", int_slot(1528, &S::leg_switch_timer, 0, 90)),
    named("lzp_prompt_timer", int_slot(1536, &S::lzp_prompt_timer, 0, 720)),
    named("warmup_counter", int_slot(1544, &S::warmup_counter, 0, 180)),
    named("align_armed", flag_slot(1552, &S::align_armed)),
};

// Every slot in order, one every 8 bytes from 1024, inside the record.
constexpr bool slots_contiguous() {
    int i = 0;
    for (const StateSlot& slot : kStateSlots)
        if (slot.offset != kStateSlotBase + kSlotBytes * i++) return false;
    return kStateSlotBase + kSlotBytes * i == 1560;
}
static_assert(slots_contiguous());
static_assert(kSaveRecordSize == 2048);

// v truncated toward zero when it lies in [lo, hi] after truncation; NaN and infinities fail.
inline bool valid_integer(double v, double lo, double hi, double* out) {
    double t = std::trunc(v);
    if (!(t >= lo && t <= hi)) return false;
    *out = t;
    return true;
}

}  // namespace state_record
