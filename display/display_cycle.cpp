// The display gauge's per-frame cycle: loads the page the mode knob chooses, formats its two
// lines and sign frames, then runs the keypad entry, the route load and copy and (unit 1) the
// settings read.
#include "display/display_cycle.h"

#include <cmath>

#include "display/digits.h"
#include "display/keypad_entry.h"
#include "display/line_format.h"
#include "display/route_file.h"
#include "frame/unit_profile.h"
#include "nav/settings.h"

// Sign-icon frames (upper N/S, lower E/W on frames 1 and 2).
constexpr int8_t kSignBlank = 0, kSignNorthEast = 1, kSignSouthWest = 2, kSignPlus = 3, kSignMinus = 4,
                 kSignAll = 5;

// The frozen copy while the page is held, else the live value.
static double held(int32_t hold, double shown, double live) { return hold == 1 ? shown : live; }

// Loads one line's scaled value and writes its text, or the blank line when the page's rule
// hides it. A NaN source has no digits to show and blanks the line too.
static void show_line(int32_t& value, char* text, double source, double scale, LineFormat f, bool visible) {
    value = trunc_to_i32(source * scale);
    if (!visible || std::isnan(source)) blank_line(text);
    else value = format_line(f, value, text);
}

static void blank_both(NavState& s) {
    blank_line(s.upper_text);
    blank_line(s.lower_text);
}

static bool wheel_valid(const NavState& s) { return s.ppm_wheel >= 0 && s.ppm_wheel <= 9; }

// Steps 1 and 2: the page's sources, scaled, in their line formats.
static void page_lines(NavState& s) {
    const int ws = s.work_state;
    const bool nav = ws == 3;
    switch (s.mode_switch) {
        case 1:  // the panel shows its test pattern; the texts keep what they held
            return;
        case 2: {
            double lat, lon;
            if (ws == 3) {
                lat = held(s.hold_coords, s.shown_lat, s.present_lat);
                lon = held(s.hold_coords, s.shown_lon, s.present_lon);
            } else if (ws == 2) {
                lat = s.start_lat;
                lon = s.start_lon;
            } else {
                blank_both(s);
                return;
            }
            // Blank on the start marks in navigation too: nothing was aligned from them.
            show_line(s.upper_value, s.upper_text, lat, 10000, kFormatLatitude, s.start_lat != kEmptyLat);
            show_line(s.lower_value, s.lower_text, lon, 10000, kFormatLongitude, s.start_lon != kEmptyLon);
            return;
        }
        case 3:
            show_line(s.upper_value, s.upper_text, held(s.hold_heading, s.shown_heading, s.heading_copy), 100,
                      kFormatAngle, nav || (ws == 2 && s.align_done == 1));
            show_line(s.lower_value, s.lower_text, s.align_stage, 1, kFormatStage, ws == 2 && s.warmed_up == 1);
            return;
        case 4: {
            // The wheel indexes the route; a wheel outside 0..9 has no waypoint to show.
            if (!wheel_valid(s) || (ws != 2 && ws != 3)) {
                blank_both(s);
                return;
            }
            const double lat = s.ppm_lat[s.ppm_wheel], lon = s.ppm_lon[s.ppm_wheel];
            show_line(s.upper_value, s.upper_text, lat, 10000, kFormatLatitude, lat != kEmptyLat);
            show_line(s.lower_value, s.lower_text, lon, 10000, kFormatLongitude, lon != kEmptyLon);
            return;
        }
        case 5:
            show_line(s.upper_value, s.upper_text, s.leg_course, 100, kFormatAngle, nav);
            show_line(s.lower_value, s.lower_text, held(s.hold_track, s.shown_track_angle, s.track_angle), 100,
                      kFormatAngle, nav);
            return;
        case 6:
            show_line(s.upper_value, s.upper_text, held(s.hold_distance, s.shown_dist_to_go, s.dist_to_go), 100,
                      kFormatDistance, nav);
            show_line(s.lower_value, s.lower_text, held(s.hold_distance, s.shown_cross_track, s.cross_track), 100,
                      kFormatSignedAngle6, nav);
            return;
        case 7:
            show_line(s.upper_value, s.upper_text, held(s.hold_speed, s.shown_ground_speed, s.ground_speed), 10,
                      kFormatSpeedW, nav);
            show_line(s.lower_value, s.lower_text, held(s.hold_speed, s.shown_drift_angle, s.drift_angle), 100,
                      kFormatSignedAngle7, nav);
            return;
        case 8:
            // Both lines follow the live time to go, held or not: no arrival, nothing to show.
            show_line(s.upper_value, s.upper_text, s.eta_hours, 1000, kFormatClock,
                      nav && s.clock_set != 0 && s.time_to_go != 0);
            show_line(s.lower_value, s.lower_text, held(s.hold_time, s.shown_time_to_go, s.time_to_go), 100,
                      kFormatMinutes, nav && s.time_to_go != 0);
            return;
        case 9:
            show_line(s.upper_value, s.upper_text, held(s.hold_wind, s.shown_wind_dir, s.wind_dir), 10,
                      kFormatDirection, nav && s.wind_dir != 0);
            show_line(s.lower_value, s.lower_text, held(s.hold_wind, s.shown_wind_speed, s.wind_speed), 10,
                      kFormatSpeedU, nav && s.wind_speed != 0);
            return;
        default:  // a knob position the panel cannot produce
            blank_both(s);
            return;
    }
}

// N/E for zero and above, S/W below; a NaN has no side and shows no sign.
static int8_t hemisphere_sign(double x) { return x >= 0 ? kSignNorthEast : x < 0 ? kSignSouthWest : kSignBlank; }
static int8_t plus_minus_sign(double x) { return x >= 0 ? kSignPlus : x < 0 ? kSignMinus : kSignBlank; }

// Step 3. Pages 4, 6 and 7 set their signs in every operating state.
static void page_signs(NavState& s) {
    int8_t upper = kSignBlank, lower = kSignBlank;
    const bool on = s.unit_on == 1;
    switch (on ? s.mode_switch : 0) {
        case 1:
            upper = lower = kSignAll;
            break;
        case 2:
            if (s.work_state == 3) {
                upper = hemisphere_sign(held(s.hold_coords, s.shown_lat, s.present_lat));
                lower = hemisphere_sign(held(s.hold_coords, s.shown_lon, s.present_lon));
            } else if (s.work_state == 2) {
                upper = s.start_lat == kEmptyLat ? kSignBlank : hemisphere_sign(s.start_lat);
                lower = s.start_lon == kEmptyLon ? kSignBlank : hemisphere_sign(s.start_lon);
            }
            break;
        case 4:
            if (wheel_valid(s)) {
                const double lat = s.ppm_lat[s.ppm_wheel], lon = s.ppm_lon[s.ppm_wheel];
                upper = lat == kEmptyLat ? kSignBlank : hemisphere_sign(lat);
                lower = lon == kEmptyLon ? kSignBlank : hemisphere_sign(lon);
            }
            break;
        case 6:
            upper = plus_minus_sign(held(s.hold_distance, s.shown_dist_to_go, s.dist_to_go));
            lower = plus_minus_sign(held(s.hold_distance, s.shown_cross_track, s.cross_track));
            break;
        case 7:
            lower = plus_minus_sign(held(s.hold_speed, s.shown_drift_angle, s.drift_angle));
            break;
        default:
            break;
    }
    s.sign_upper = upper;
    s.sign_lower = lower;
}

void display_cycle(NavState& s) {
    page_lines(s);
    page_signs(s);
    keypad_entry(s);
    // The cycle that carries a request out clears it; a load and a copy raised together load
    // the new route 0 and copy it in the same pass.
    if (s.route_reload_request != 0) {
        route_load(s);
        s.route_reload_request = 0;
    }
    if (s.route_copy_request != 0) {
        route_copy(s);
        s.route_copy_request = 0;
    }
    if (!kUnit.settings_in_system_cycle && s.settings_reload_request != 0) {
        settings_read(s);
        s.settings_reload_request = 0;
    }
}
