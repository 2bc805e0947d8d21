// A bench flight driven as a pilot would: selector clicks, the take-position and shortcut
// areas during alignment, the route reload area, the knob, the leg entry and the autopilot
// button; every step is checked against what the panels then show.
#include "tools/session.h"

#include <cmath>
#include <limits>

#include "display/digits.h"
#include "panels/panel_map.h"
#include "tools/readout.h"

namespace {

const char* const kUvi = "Q14_UVI";
const char* const kPur = "Q14_PUR";

void say(FILE* log, const char* fmt, const std::string& a = "", const std::string& b = "") {
    if (log) std::fprintf(log, fmt, a.c_str(), b.c_str());
}

bool lit(HostModule* m, const char* gauge, int k) { return host_element_value(m, gauge, k) == 0.0; }

int selector_of(HostModule* m) {
    double v = host_element_value(m, kPur, pur::kKnob);
    return std::isfinite(v) ? trunc_to_i32(std::floor(v / 30.0 + 0.5)) : -1;
}

bool set_selector(HostModule* m, int position) {
    for (int i = 0; i < 6 && selector_of(m) != position; ++i) {
        host_click(m, kPur, selector_of(m) < position ? pur::kSelectorUp : pur::kSelectorDown);
        host_update_elements(m, kPur);
    }
    return selector_of(m) == position;
}

int digit_of(const std::string& text) {
    return text.size() == 1 && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : -1;
}

int wheel_of(HostModule* m) { return trunc_to_i32(host_element_value(m, kUvi, uvi::kWheel)); }

bool set_wheel(HostModule* m, int w) {
    for (int i = 0; i < 12 && wheel_of(m) != w; ++i) {
        host_click(m, kUvi, wheel_of(m) < w ? uvi::kWheelUp : uvi::kWheelDown);
        host_update_elements(m, kUvi);
    }
    return wheel_of(m) == w;
}

std::string line(HostModule* m, int k) { return host_element_text(m, kUvi, k); }

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// The coordinate pair the page 2 or 4 lines show, with their signs.
bool shown_position(HostModule* m, GeoPoint& p) {
    return parse_display_coordinate(line(m, uvi::kUpperLine), sign_frame_of(host_element_value(m, kUvi, uvi::kUpperSign)), p.lat) &&
           parse_display_coordinate(line(m, uvi::kLowerLine), sign_frame_of(host_element_value(m, kUvi, uvi::kLowerSign)), p.lon);
}

// The display shows tenths of a minute, rounded: a true value is within 0.06' of it.
bool shows_close(GeoPoint shown, GeoPoint want) {
    return std::fabs(shown.lat - want.lat) <= 0.06 / 60 && std::fabs(geo_angle_diff(want.lon, shown.lon)) <= 0.06 / 60;
}

std::string coord_text(GeoPoint p) {
    char b[64];
    std::snprintf(b, sizeof b, "%.5f %.5f", p.lat, p.lon);
    return b;
}

// Lets frames pass until `done` holds for every unit; false after `limit` frames.
template <typename Pred>
bool run_until(Flight& f, int limit, Pred done, int* frames = nullptr) {
    for (int i = 0; i < limit; ++i) {
        bool all = true;
        for (HostModule* m : f.unit) all = all && done(m);
        if (all) {
            if (frames) *frames = i;
            return true;
        }
        host_frame();
    }
    return false;
}

bool set_leg(HostModule* m, int from, int to) {
    auto leg_is = [&] {
        return digit_of(host_element_text(m, kUvi, uvi::kFromDigit)) == from &&
               digit_of(host_element_text(m, kUvi, uvi::kToDigit)) == to;
    };
    if (leg_is()) return true;
    // The leg entry works in RUCHN only: IZM MARSH, the two digits, VVOD; then back to AVT.
    host_click(m, kUvi, uvi::kManual);
    host_frames(2);
    for (int area : {static_cast<int>(uvi::kRouteChange), uvi::key_area(from), uvi::key_area(to), static_cast<int>(uvi::kEnter)}) {
        host_click(m, kUvi, area);
        host_frames(2);
    }
    host_click(m, kUvi, uvi::kAuto);
    host_frames(2);
    return leg_is();
}

}  // namespace

std::string hms(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    long long s = std::llround(seconds);
    char b[32];
    std::snprintf(b, sizeof b, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return b;
}

int page_of(HostModule* m) {
    double v = host_element_value(m, kUvi, uvi::kModeKnob);  // 120 + 30 x page degrees
    if (!std::isfinite(v)) return 0;
    int p = trunc_to_i32(std::floor((v - 120.0) / 30.0 + 0.5));
    return p >= 1 && p <= 9 ? p : 0;
}

bool set_page(HostModule* m, int page) {
    for (int i = 0; i < 10 && page_of(m) != page; ++i) {
        host_click(m, kUvi, page_of(m) < page ? uvi::kModeUp : uvi::kModeDown);
        host_update_elements(m, kUvi);
    }
    return page_of(m) == page;
}

bool flight_prepare(Flight& f, const FlightSetup& setup, std::string& error, FILE* log) {
    f = Flight{};
    f.setup = setup;
    if (setup.route.size() < 2) {
        error = "the route needs at least two waypoints";
        return false;
    }
    host_reset();
    host_set_sim_dir(setup.sim_dir);
    Aircraft& a = host_aircraft();
    a.lat = setup.route[0].lat;
    a.lon = setup.route[0].lon;
    a.heading = geo_course_deg(setup.route[0], setup.route[1]);
    a.tas_kmh = setup.speed_kmh;
    a.wind_to_deg = std::fmod(setup.wind_from_deg + 180.0, 360.0);
    a.wind_kmh = setup.wind_kmh;
    a.turn_rate_dps = 3;  // standard rate
    a.fly = false;        // parked until take-off
    a.ext_power = true;

    for (int u = 0; u < 2; ++u) {
        f.unit[u] = host_open_unit(u + 1);
        if (!f.unit[u]) {
            error = "cannot load unit " + std::to_string(u + 1) + ": " + host_last_error();
            return false;
        }
    }
    host_frame();
    auto unit_error = [&](HostModule* m, const std::string& what) {
        error = (m == f.unit[0] ? "unit 1: " : "unit 2: ") + what;
        return false;
    };

    say(log, "power on, warm-up (OBOGR)\n");
    for (HostModule* m : f.unit)
        if (!set_selector(m, kSelWarmUp)) return unit_error(m, "the PUR selector did not move to OBOGR");
    // Warmed up and powered, not yet ready: the NEGOT lamp lights.
    if (!run_until(f, 400, [](HostModule* m) { return lit(m, kPur, pur::kNegot); }))
        return unit_error(f.unit[0], "the NEGOT lamp never lit: the units did not warm up");

    say(log, "alignment (VYST): start position taken from the aircraft, route loaded%s\n",
        setup.full_align ? "" : ", alignment shortened");
    for (HostModule* m : f.unit) {
        if (!set_selector(m, kSelAlign)) return unit_error(m, "the PUR selector did not move to VYST");
        if (!set_page(m, kPagePhiLambda)) return unit_error(m, "the UVI knob did not turn to phi/lambda");
    }
    host_frames(2);
    for (HostModule* m : f.unit) {
        host_click(m, kUvi, uvi::kTakePosition);
        host_click(m, kUvi, uvi::kRouteReload);
    }
    host_frames(2);
    for (HostModule* m : f.unit) {
        GeoPoint shown;
        if (!shown_position(m, shown) || !shows_close(shown, {a.lat, a.lon}))
            return unit_error(m, "the start position did not show on phi/lambda after the take-position click ('" +
                                     line(m, uvi::kUpperLine) + "' '" + line(m, uvi::kLowerLine) + "')");
        if (!setup.full_align) host_click(m, kUvi, uvi::kAlignShortcut);
    }

    // The unit's own reading of the route: page PPM, wheel 1..9.
    for (int u = 0; u < 2; ++u) {
        HostModule* m = f.unit[u];
        if (!set_page(m, kPagePpm)) return unit_error(m, "the UVI knob did not turn to PPM");
        for (int w = 1; w <= 9; ++w) {
            if (!set_wheel(m, w)) return unit_error(m, "the waypoint wheel did not turn to " + std::to_string(w));
            host_frames(2);
            GeoPoint shown;
            bool shows = shown_position(m, shown);
            if (static_cast<size_t>(w) <= setup.route.size()) {
                if (!shows || !shows_close(shown, setup.route[static_cast<size_t>(w) - 1]))
                    return unit_error(m, "waypoint " + std::to_string(w) + " shows as '" + line(m, uvi::kUpperLine) +
                                             "' '" + line(m, uvi::kLowerLine) + "', the route file gives " +
                                             coord_text(setup.route[static_cast<size_t>(w) - 1]));
            } else if (!blank(line(m, uvi::kUpperLine)) || !blank(line(m, uvi::kLowerLine))) {
                return unit_error(m, "waypoint " + std::to_string(w) + " should be empty but shows '" +
                                         line(m, uvi::kUpperLine) + "' '" + line(m, uvi::kLowerLine) + "'");
            }
        }
        set_wheel(m, 1);
    }

    // Alignment complete: the IK/PG page shows the heading; a fault lights VNIM.
    for (HostModule* m : f.unit)
        if (!set_page(m, kPageHeading)) return unit_error(m, "the UVI knob did not turn to IK/PG");
    // The lines still show the PPM page (a ninth waypoint is not blank) until a display cycle
    // has run on IK/PG.
    host_frame();
    bool fault = false;
    int limit = setup.full_align ? 6000 : 1200;
    bool aligned = run_until(f, limit, [&](HostModule* m) {
        if (lit(m, kPur, pur::kVnim)) fault = true;
        return fault || !blank(line(m, uvi::kUpperLine));
    }, &f.align_frames);
    for (HostModule* m : f.unit)
        if (lit(m, kPur, pur::kVnim)) return unit_error(m, "alignment fault: the VNIM lamp lit");
    if (!aligned) return unit_error(f.unit[1], "the alignment did not end within " + std::to_string(limit) + " frames");
    say(log, "aligned after %s frames; navigation (NAVIG), unit 2 steering\n", std::to_string(f.align_frames));

    for (HostModule* m : f.unit)
        if (!set_selector(m, kSelNavig)) return unit_error(m, "the PUR selector did not move to NAVIG");
    host_frames(3);
    for (int u = 0; u < 2; ++u)
        if (host_named_int(u == 0 ? "Q14_N1_GOT" : "Q14_N2_GOT") != 1)
            return unit_error(f.unit[u], "GOT did not become 1 in NAVIG");
    for (HostModule* m : f.unit) {
        if (!set_page(m, kPageDistance)) return unit_error(m, "the UVI knob did not turn to S/Z");
        host_click(m, kUvi, uvi::kAuto);
        host_frames(2);
        if (!set_leg(m, 1, 2)) return unit_error(m, "the leg did not become 1-2");
    }
    host_click(f.unit[1], "QN14_def_AP_Key", apkey::kToggle);
    host_frames(2);
    if (host_element_value(f.unit[1], "QN14_def_AP_Key", apkey::kButton) != 2.0)
        return unit_error(f.unit[1], "the autopilot steering button did not light");
    return true;
}

void flight_take_off(Flight& f) {
    Aircraft& a = host_aircraft();
    a.ap_heading_bug = a.heading;
    a.autopilot_heading_mode = true;
    a.fly = true;
    f.start_s = a.sim_time_s;
}

double flight_time_s(const Flight& f) { return host_aircraft().sim_time_s - f.start_s; }

UnitReading read_unit(const Flight& f, int unit) {
    UnitReading r;
    HostModule* m = f.unit[unit == 1 ? 0 : 1];
    r.from = digit_of(host_element_text(m, kUvi, uvi::kFromDigit));
    r.to = digit_of(host_element_text(m, kUvi, uvi::kToDigit));
    r.pos_ok = parse_koord_text(host_element_text(m, "Koord_s", 1), false, r.pos.lat) &&
               parse_koord_text(host_element_text(m, "Koord_s", 2), true, r.pos.lon);
    if (page_of(m) == kPageDistance) {
        double s, z;
        int s_sign = sign_frame_of(host_element_value(m, kUvi, uvi::kUpperSign));
        int z_sign = sign_frame_of(host_element_value(m, kUvi, uvi::kLowerSign));
        r.s_ok = parse_display_number(line(m, uvi::kUpperLine), s);
        r.z_ok = parse_display_number(line(m, uvi::kLowerLine), z);
        r.s_km = s_sign == 4 ? -s : s;
        r.z_km = z_sign == 4 ? -z : z;
        if (!r.s_ok) r.s_km = 0;
        if (!r.z_ok) r.z_km = 0;
    }
    r.lbu_m = host_named_double(unit == 1 ? "Q14_N1_LBU" : "Q14_N2_LBU");
    return r;
}
