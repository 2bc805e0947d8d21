// Saving the navigator state beside a saved flight and restoring it from there (unit 2): the
// 2048-byte ".insb" record, the saved-flight event and the file work.
#include "persist/flight_state.h"

#include "persist/state_record.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "frame/host_api.h"
#include "frame/unit_profile.h"
#include "platform/platform.h"

// The ".insb" record: 256 slots of 8 bytes, each a little-endian IEEE-754 double. Integers
// and bytes are stored converted to double and read back truncated toward zero.
//
//   bytes        content
//   0..7         reserved (kept as the record holds it)
//   8..503       latitude slots 1..62 at 8*k: 1..9 = ppm_lat[1..9], 10..62 reserved
//   504..519     reserved
//   520..1015    longitude slots 1..62 at 512 + 8*k: 1..9 = ppm_lon[1..9], 10..62 reserved
//   1016..1023   reserved
//   1024..1559   the state slots of kStateSlots below, one every 8 bytes:
//     1024 file_ppm_index      1032 unit_on            1040 align_done       1048 align_countdown
//     1056 warmed_up           1064 nav_ready          1072 align_running    1080 unit_powered
//     1088 ext_power           1096 on_battery         1104 battery_has_charge
//     1112 battery_capacity    1120 battery_charge     1128 work_state       1136 pur_selector
//     1144 clock_minutes       1152 tas_entered        1160 reserved         1168 got_var
//     1176 clock_set           1184 ap_steering_on     1192 reserved         1200 mode_switch
//     1208 written as 0        1216 ppm_wheel          1224 ppm_from         1232 ppm_to
//     1240 written as 1        1248 auto_manual        1256 present_lat      1264 start_lat
//     1272 present_lon         1280 start_lon          1288 shown_lat        1296 shown_lon
//     1304 shown_heading       1312 shown_track_angle  1320 shown_dist_to_go 1328 shown_cross_track
//     1336 shown_ground_speed  1344 shown_drift_angle  1352 shown_time_to_go 1360 shown_wind_dir
//     1368 shown_wind_speed    1376 lat_fault          1384 lon_fault        1392 vibration_fault
//     1400 start_lon_set       1408 start_lat_set      1416..1440 written as 0
//     1448, 1456 written as 1  1464 next_leg_course    1472 ppm_to_copy      1480 ppm_next
//     1488 leg_final_course    1496 turn_angle         1504 leg_switched     1512 lzp_prompt_latch
//     1520 leg_switch_armed    1528 leg_switch_timer   1536 lzp_prompt_timer 1544 warmup_counter
//     1552 align_armed
//   1560..2047   reserved
//
// Saved files are passed between users, so a restored slot is taken only when it holds a
// value of its field's range (finite for doubles); otherwise the field keeps its value.

using namespace state_record;

namespace {

constexpr int kSavedFlightEvent = 38;
constexpr int8_t kSaveCountdownStart = 45;
constexpr char kStateFileSuffix[] = ".insb";
constexpr int kStateFileSuffixLen = sizeof kStateFileSuffix - 1;

void restore_slot(NavState& s, const StateSlot& slot, double v) {
    if (slot.kind == kSlotDouble) {
        if (v >= slot.lo && v <= slot.hi) s.*slot.f64 = v;
        return;
    }
    double hi = slot.check == kCheckCharge ? s.battery_capacity : slot.hi;
    double t;
    if (!valid_integer(v, slot.lo, hi, &t)) return;
    if (slot.check == kCheckWorkState && t == 1) return;
    switch (slot.kind) {
        case kSlotInt: s.*slot.i32 = static_cast<int32_t>(t); break;
        case kSlotU8: s.*slot.u8 = static_cast<uint8_t>(t); break;
        case kSlotI8: s.*slot.i8 = static_cast<int8_t>(t); break;
        default: break;
    }
}

double slot_value(const NavState& s, const StateSlot& slot) {
    switch (slot.kind) {
        case kSlotInt: return s.*slot.i32;
        case kSlotU8: return s.*slot.u8;
        case kSlotI8: return s.*slot.i8;
        case kSlotDouble: return s.*slot.f64;
        case kSlotZero: return 0.0;
        case kSlotOne: return 1.0;
        default: return 0.0;
    }
}

// The current flight's path, from byte 4 of the host's record; null without a host table, an
// unterminated text or an empty path (no flight loaded: nothing to save beside).
const char* current_flight_path(char (&record)[kFlightRecordSize]) {
    std::memset(record, 0, sizeof record);
    if (!host_current_flight(record)) return nullptr;
    const char* path = record + 4;
    if (!std::memchr(path, '\0', sizeof record - 4)) return nullptr;
    return path[0] != '\0' ? path : nullptr;
}

// "<path>.insb", or false when there is no flight or the name would exceed 255 characters.
bool state_file_name(char (&name)[kStateFileNameMax + 1]) {
    char record[kFlightRecordSize];
    const char* path = current_flight_path(record);
    if (!path) return false;
    size_t n = std::strlen(path);
    if (n + kStateFileSuffixLen > static_cast<size_t>(kStateFileNameMax)) return false;
    std::memcpy(name, path, n);
    std::memcpy(name + n, kStateFileSuffix, kStateFileSuffixLen + 1);
    return true;
}

}  // namespace

void navigator_state_to_record(NavState& s) {
    uint8_t* r = s.save_record;
    for (int k = 1; k <= 9; ++k) {
        put_le_f64(r + kLatSlotBase + kSlotBytes * k, s.ppm_lat[k]);
        put_le_f64(r + kLonSlotBase + kSlotBytes * k, s.ppm_lon[k]);
    }
    for (const StateSlot& slot : kStateSlots)
        if (slot.kind != kSlotKeep) put_le_f64(r + slot.offset, slot_value(s, slot));
}

void navigator_state_from_record(NavState& s) {
    const uint8_t* r = s.save_record;
    for (int k = 1; k <= 9; ++k) {
        double lat = get_le_f64(r + kLatSlotBase + kSlotBytes * k);
        double lon = get_le_f64(r + kLonSlotBase + kSlotBytes * k);
        if (std::isfinite(lat)) s.ppm_lat[k] = lat;
        if (std::isfinite(lon)) s.ppm_lon[k] = lon;
    }
    for (const StateSlot& slot : kStateSlots)
        if (slot.kind != kSlotKeep && slot.kind != kSlotZero && slot.kind != kSlotOne)
            restore_slot(s, slot, get_le_f64(r + slot.offset));
    // A smaller capacity restored over a charge slot that was not: the battery is full.
    if (s.battery_charge > s.battery_capacity) s.battery_charge = s.battery_capacity;
}

void Q14_STDCALL on_host_event(int32_t event, void* data, uint32_t, uint32_t) {
    if (!kUnit.persists_flights || event != kSavedFlightEvent) return;
    char record[kFlightRecordSize];
    const char* path = current_flight_path(record);
    if (!path) return;
    size_t n = std::strlen(path);
    // The event's path starts at byte 4; it must be readable up to our path's terminator.
    if (plat_is_bad_read_ptr(data, n + 5)) return;
    // Byte for byte, stopping at the first difference: a shorter event text is never read past
    // its own terminator.
    const char* text = static_cast<const char*>(data) + 4;
    for (size_t i = 0; i <= n; ++i)
        if (text[i] != path[i]) return;
    g_nav.save_countdown = kSaveCountdownStart;
}

void save_navigator_state(NavState& s) {
    if (!kUnit.persists_flights) return;
    char name[kStateFileNameMax + 1];
    if (!state_file_name(name)) return;
    navigator_state_to_record(s);
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return;
    std::fwrite(s.save_record, 1, sizeof s.save_record, f);
    std::fclose(f);
}

void load_navigator_state(NavState& s) {
    if (!kUnit.persists_flights) return;
    char name[kStateFileNameMax + 1];
    if (!state_file_name(name)) return;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return;
    // A short file fills only the start of the record; the rest keeps what it held.
    std::fread(s.save_record, 1, sizeof s.save_record, f);
    std::fclose(f);
    navigator_state_from_record(s);
    // Clock and once-a-second logic continue from the present simulator time.
    s.sim_time_prev = s.sim_time;
    s.sim_time_last_second = s.sim_time_copy;
}
