// Keypad data entry, one pass per display cycle: entry signs, key decoding, leg entry,
// digit collection, cancel, commit, entry state and lamps, latch clearing, entry texts.
#include "display/keypad_entry.h"

#include <cmath>

#include "display/digits.h"
#include "frame/unit_profile.h"
#include "nav/geometry.h"

namespace {

constexpr double kMetresPerDegree = 111130.5555555;

// Text layouts: '1'..'6' stand for entry_digits[1..6], every other character is shown as it
// stands.
constexpr const char* kLatLayout = "  54*32,1'";
constexpr const char* kLonLayout = " 654*32,1'";
constexpr const char* kClockLayout = "    43*21'";
constexpr const char* kTasLayout = "      4321";

bool in_work(const NavState& s) { return s.work_state == 2 || s.work_state == 3; }

bool upper_coord_entry(const NavState& s) { return s.entry_lat_start || s.entry_lat_ppm || s.entry_lat_corr; }
bool lower_coord_entry(const NavState& s) { return s.entry_lon_start || s.entry_lon_ppm || s.entry_lon_corr; }

bool any_entry(const NavState& s) {
    return upper_coord_entry(s) || lower_coord_entry(s) || s.entry_upper_mode8 || s.entry_lower_mode9 ||
           s.entry_ppm_number || s.route_change_active;
}

void end_all_entries(NavState& s) {
    s.entry_lat_start = s.entry_lat_ppm = s.entry_lat_corr = s.entry_upper_mode8 = 0;
    s.entry_lon_start = s.entry_lon_ppm = s.entry_lon_corr = s.entry_lower_mode9 = 0;
    s.entry_ppm_number = 0;
    s.route_change_active = 0;
    s.entry_value = 0;
}

// A working-route slot the waypoint entries may write; a restored wheel can hold anything.
bool waypoint_slot_ok(int slot) { return slot >= 0 && slot <= 9; }

// Digit k (1..6) of the entry, always 0..9 whatever the record holds.
int digit(const NavState& s, int k) {
    int d = s.entry_digits[k];
    return (d >= 0 && d <= 9) ? d : 0;
}

// ---- entry signs --------------------------------------------------------------------------------

void entry_signs(NavState& s) {
    if (s.entry_active == 1 && s.unit_on == 1 && s.mode_switch < 5) {
        s.entry_sign_upper = s.entry_lat_sign < 0 ? 2 : 1;
        s.entry_sign_lower = s.entry_lon_sign < 0 ? 2 : 1;
    } else {
        s.entry_sign_upper = 0;
        s.entry_sign_lower = 0;
    }
}

// ---- key decoding -------------------------------------------------------------------------------

// The coordinate entry a hemisphere key starts on this page and in this state, or null.
int32_t* coord_entry_for(NavState& s, bool latitude) {
    const bool waypoint_page = s.mode_switch == 4 && s.ppm_wheel != 0;
    if (s.work_state == 2) {
        if (s.mode_switch == 2) return latitude ? &s.entry_lat_start : &s.entry_lon_start;
        if (waypoint_page) return latitude ? &s.entry_lat_ppm : &s.entry_lon_ppm;
    } else if (s.work_state == 3) {
        if (waypoint_page) return latitude ? &s.entry_lat_ppm : &s.entry_lon_ppm;
        if (s.mode_switch == 2 && s.hold_coords == 1) return latitude ? &s.entry_lat_corr : &s.entry_lon_corr;
    }
    return nullptr;
}

void start_coord_entry(NavState& s, bool latitude) {
    if (int32_t* flag = coord_entry_for(s, latitude)) *flag = 1;
    s.entry_digits_left = latitude ? 5 : 6;
}

void decode_keys(NavState& s) {
    const int m = s.mode_switch;
    const bool swap = s.kbd_ns_swap == 1;
    if (s.key_2 == 1 && m < 8) {
        start_coord_entry(s, true);
        s.key_2 = 0;
        s.entry_lat_sign = swap ? -1 : 1;
    } else if (s.key_8 == 1 && m < 8) {
        start_coord_entry(s, true);
        s.key_8 = 0;
        s.entry_lat_sign = swap ? 1 : -1;
    } else if (s.key_6 == 1 && m < 8) {
        start_coord_entry(s, false);
        s.key_6 = 0;
        s.entry_lon_sign = 1;
    } else if (s.key_4 == 1) {
        start_coord_entry(s, false);
        s.key_4 = 0;
        s.entry_lon_sign = -1;
    }
    if (s.key_0 == 1 && in_work(s) && m == 4 && s.ppm_wheel != 0) {
        s.key_0 = 0;
        s.entry_ppm_number = 1;
        s.entry_digits_left = 1;
    }
    // The clock opens with the N key: 2 on the panel, 8 on the PC keypad.
    if (in_work(s) && m == 8 && ((s.key_2 == 1 && !swap) || (s.key_8 == 1 && swap))) {
        s.entry_upper_mode8 = 1;
        s.entry_digits_left = 4;
        if (swap) s.key_8 = 0;
        else s.key_2 = 0;
    }
    if (s.key_6 == 1 && s.work_state == 3 && m == 9 && s.ost_ind == 1) {
        s.entry_lower_mode9 = 1;
        s.entry_digits_left = 4;
        s.key_6 = 0;
    }
    s.kbd_ns_swap = 0;
}

// ---- leg entry start ----------------------------------------------------------------------------

void leg_entry_start(NavState& s) {
    if (s.key_route_change == 1 && s.auto_manual == 0 && s.route_change_active == 0) {
        if (s.work_state == 3) {
            s.route_change_active = 1;
            s.entry_digits_left = 2;
        } else {
            s.route_change_active = 0;
        }
    } else if (s.work_state != 3) {
        s.route_change_active = 0;
    }
    s.route_change_lamp = s.route_change_active;
}

// ---- digit collection ---------------------------------------------------------------------------

constexpr int32_t NavState::*kDigitKeys[10] = {
    &NavState::key_0, &NavState::key_1, &NavState::key_2, &NavState::key_3, &NavState::key_4,
    &NavState::key_5, &NavState::key_6, &NavState::key_7, &NavState::key_8, &NavState::key_9};

// The digit typed this pass: the lowest digit key latched, or -1.
int typed_digit(const NavState& s) {
    for (int d = 0; d < 10; ++d)
        if (s.*kDigitKeys[d] == 1) return d;
    return -1;
}

void collect_digit(NavState& s) {
    const int h = s.entry_digits_left;
    if (s.entry_active != 1 || h <= 0) return;
    const int d = typed_digit(s);
    if (d < 0) return;
    if (s.route_change_active == 1) {
        // FROM lands in position 2, TO in position 1.
        if (h <= 6) s.entry_digits[h] = d;
        s.entry_digits_left = h - 1;
        s.*kDigitKeys[d] = 0;
        return;
    }
    // The six digits never exceed 999999, so the value cannot overflow; a value the record
    // brought in out of range starts again from the digit.
    if (s.entry_value < 0 || s.entry_value > 99999) s.entry_value = 0;
    s.entry_value = s.entry_value * 10 + d;
    s.entry_digits_left = h - 1;
    for (int k = 1; k <= 6; ++k) s.entry_digits[k] = digit_at(s.entry_value, k - 1);
}

// ---- commit -------------------------------------------------------------------------------------

// Degrees and minutes of a coordinate entry: D4, D5 (and D6 for longitude) are degrees,
// D3 D2 , D1 the minutes.
double entry_degrees(const NavState& s, bool longitude) {
    return digit(s, 4) + 10.0 * digit(s, 5) + (longitude ? 100.0 * digit(s, 6) : 0.0);
}
double entry_minutes(const NavState& s) { return digit(s, 2) + 10.0 * digit(s, 3) + 0.1 * digit(s, 1); }

// The entered coordinate, or false when it is out of range (latitude up to 89 59.9,
// longitude up to 179 59.9).
bool entered_coordinate(const NavState& s, bool longitude, double* value) {
    const double deg = entry_degrees(s, longitude);
    const double min = entry_minutes(s);
    const bool ok = (longitude ? deg < 180 : deg <= 89) && min < 60;
    if (ok) *value = (min / 60 + deg) * (longitude ? s.entry_lon_sign : s.entry_lat_sign);
    return ok;
}

void commit_latitude(NavState& s) {
    double v;
    if (!entered_coordinate(s, false, &v)) return;
    if (s.entry_lat_ppm && waypoint_slot_ok(s.ppm_select)) s.ppm_lat[s.ppm_select] = v;
    if (s.entry_lat_start) {
        s.start_lat_set = 1;
        s.start_lat = v;
        s.present_lat = v;
    }
    if (s.entry_lat_corr) {
        s.present_lat = s.present_lat + v - s.shown_lat;
        s.shown_lat = v;
        // The drift then reproduces the corrected position.
        if (kUnit.seeded_drift) s.drift_north_m = (s.present_lat - s.aircraft_lat) * kMetresPerDegree;
    }
}

void commit_longitude(NavState& s) {
    double v;
    if (!entered_coordinate(s, true, &v)) return;
    if (s.entry_lon_ppm && waypoint_slot_ok(s.ppm_select)) s.ppm_lon[s.ppm_select] = v;
    if (s.entry_lon_start) {
        s.start_lon_set = 1;
        s.start_lon = v;
        s.present_lon = v;
    }
    if (s.entry_lon_corr) {
        // Across the date line the correction is the short way round, and the position stays
        // within -180..180, so the drift is never a turn of the earth too large.
        s.present_lon = wrap180(s.present_lon + wrap180(v - s.shown_lon));
        s.shown_lon = v;
        if (kUnit.seeded_drift)
            s.drift_east_m = std::cos(s.aircraft_lat * K1) * wrap180(s.present_lon - s.aircraft_lon) * kMetresPerDegree;
    }
}

// The file entry the waypoint-number entry chose, or -1 when there is none: the route digit
// not typed yet, a route above 3, or a wheel out of 1..9.
int chosen_file_entry(const NavState& s) {
    if (s.entry_digits_left != 0) return -1;
    const int route = digit(s, 1);
    if (route > 3 || s.ppm_select < 1 || s.ppm_select > 9) return -1;
    return 10 * route + s.ppm_select;
}

void commit(NavState& s) {
    if (s.entry_active != 1 || s.key_enter != 1) return;
    if (s.entry_lat_ppm || s.entry_lat_start || s.entry_lat_corr) commit_latitude(s);
    if (s.entry_lon_ppm || s.entry_lon_start || s.entry_lon_corr) commit_longitude(s);
    if (s.route_change_active) {
        s.ppm_from = static_cast<uint8_t>(digit(s, 2));
        s.ppm_to = static_cast<uint8_t>(digit(s, 1));
        if (s.ppm_from == 0) {  // waypoint 0 becomes the present position
            s.start_lat = s.present_lat;
            s.start_lon = s.present_lon;
        }
    }
    if (s.entry_upper_mode8) {
        const int hours = digit(s, 3) + 10 * digit(s, 4);
        const int minutes = digit(s, 1) + 10 * digit(s, 2);
        if (hours < 24 && minutes < 60) s.clock_minutes = 60.0 * hours + minutes;
        s.clock_set = 1;
    }
    if (s.entry_lower_mode9)
        s.tas_entered = digit(s, 1) + 10.0 * digit(s, 2) + 100.0 * digit(s, 3) + 1000.0 * digit(s, 4);
    if (s.entry_ppm_number) {
        // Without a valid choice nothing is copied (the stale index would copy an entry the
        // pilot never chose, or the empty entry 40 right after a load).
        const int e = chosen_file_entry(s);
        if (e >= 0) {
            s.file_ppm_index = e;
            s.ppm_lat[s.ppm_select] = s.file_ppm_lat[e];
            s.ppm_lon[s.ppm_select] = s.file_ppm_lon[e];
        }
    }
    end_all_entries(s);
}

// ---- entry state and latch clearing -------------------------------------------------------------

void entry_state(NavState& s) {
    s.entry_active = (s.unit_on == 1 && any_entry(s)) ? 1 : 0;
    s.enter_lamp = s.entry_active;
    if (s.entry_active == 0) {
        for (int k = 1; k <= 6; ++k) s.entry_digits[k] = 0;
        s.entry_value = 0;
    }
}

// OST INDIK is left to the system cycle, which acts on it and clears it: cleared here, a press
// would be lost whenever the host runs this gauge before the system gauge in a frame.
void clear_latches(NavState& s) {
    for (int32_t NavState::*key : kDigitKeys) s.*key = 0;
    s.key_enter = s.key_reset = s.key_route_change = 0;
}

// ---- entry texts --------------------------------------------------------------------------------

// Writes one ten-character entry line from its layout; all blanks while nothing is typed.
void layout_text(const NavState& s, const char* layout, bool blank, char* out) {
    for (int i = 0; i < 10; ++i) {
        const char c = layout[i];
        if (blank) out[i] = ' ';
        else if (c >= '1' && c <= '6') out[i] = digit_char(digit(s, c - '0'), 0);
        else out[i] = c;
    }
    out[10] = '\0';
}

void file_entry_texts(NavState& s) {
    static constexpr char kLat[] = "LAT PPM   ";
    static constexpr char kLon[] = "LON PPM   ";
    for (int i = 0; i < 11; ++i) {
        s.upper_entry_text[i] = kLat[i];
        s.lower_entry_text[i] = kLon[i];
    }
    if (s.entry_digits_left > 0) return;
    const int e = chosen_file_entry(s);
    char pair[2] = {'-', '-'};
    if (e >= 0) {
        pair[0] = digit_char(e, 1);
        pair[1] = digit_char(e, 0);
        s.file_ppm_index = e;
    }
    s.upper_entry_text[8] = s.lower_entry_text[8] = pair[0];
    s.upper_entry_text[9] = s.lower_entry_text[9] = pair[1];
}

void entry_texts(NavState& s) {
    const int h = s.entry_digits_left;
    if (upper_coord_entry(s)) layout_text(s, kLatLayout, h > 4, s.upper_entry_text);
    if (lower_coord_entry(s)) layout_text(s, kLonLayout, h > 5, s.lower_entry_text);
    if (s.entry_upper_mode8) layout_text(s, kClockLayout, h > 3, s.upper_entry_text);
    if (s.entry_lower_mode9) layout_text(s, kTasLayout, h > 3, s.lower_entry_text);
    if (s.entry_ppm_number) file_entry_texts(s);
}

}  // namespace

void keypad_entry(NavState& s) {
    entry_signs(s);
    if (s.entry_active == 0) decode_keys(s);
    leg_entry_start(s);
    collect_digit(s);
    if (s.key_reset == 1 || !in_work(s)) end_all_entries(s);
    commit(s);
    entry_state(s);
    clear_latches(s);
    entry_texts(s);
}
