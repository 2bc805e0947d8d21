// Soak flight: both units navigate a closed nine-waypoint loop for hours with unit 2 steering,
// through a pause, sim-rate changes, a stall, a settings reload, a save, an unload and restore.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/standin.h"
#include "tools/files.h"
#include "tools/geo.h"
#include "panels/panel_map.h"
#include "tools/readout.h"
#include "tools/route_cfg.h"
#include "tools/session.h"

#if defined(__SANITIZE_ADDRESS__)
#define Q14_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define Q14_SOAK_ASAN 1
#endif
#endif

namespace {

constexpr double kFrameHz = 18.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 111130.5555555;  // the units' error model
constexpr double kPerTwoHours = 1.0 / 7200.0;        // drift coefficient to metres per second
constexpr int kClockSlot = 1144;                     // clock_minutes in the saved ".insb" record
constexpr long kRssGrowthLimitKb = 1024;
const char* const kUnitNames[2] = {"Q14_N1_", "Q14_N2_"};
const char* const kGauges[] = {"Q14_UVI", "Q14_PUR", "Q_14_SYS", "DigTest", "QN14_def_AP_Key", "Koord_i", "Koord_s"};

struct Options {
    long frames = 0;
    double hours = 1;
    int text_every = 18;  // frames between full checks of the display texts
    bool quiet = false;
};

struct Report {
    long failures = 0;
    std::vector<std::string> first;  // the first few failure messages
    long value_checks = 0, text_checks = 0, error_checks = 0;
    long legs = 0;                   // unit 2's leg changes seen
    int clock_wraps = 0;
    double worst_error_miss_m = 0;   // largest |measured - expected| of unit 2's error
    double largest_error_m = 0;      // largest unit 2 error seen (distance)
    double final_error_n_m = 0, final_error_e_m = 0, final_expected_n_m = 0, final_expected_e_m = 0;
    double unit1_error_km = 0, unit1_worst_km = 0;
    double worst_lbu2_m = 0;          // unit 2's largest published deviation before the reload
    long worst_lbu2_frame = 0;
    long rss_start_kb = 0, rss_base_kb = 0, rss_max_kb = 0, rss_end_kb = 0;
    double saved_clock[2] = {-1, -1}, expected_clock[2] = {-1, -1};
};

Report g_report;
long g_frame = 0;

void fail(const std::string& what) {
    ++g_report.failures;
    if (g_report.first.size() < 20) g_report.first.push_back("frame " + std::to_string(g_frame) + ": " + what);
}

long rss_kb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long size = 0, resident = 0;
    int n = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// ---- the route -----------------------------------------------------------------------------

GeoPoint destination(GeoPoint from, double course_deg, double km) {
    const double d = km / kToolEarthRadiusKm, c = course_deg * kPi / 180;
    const double p1 = from.lat * kPi / 180, l1 = from.lon * kPi / 180;
    const double p2 = std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(c));
    const double l2 = l1 + std::atan2(std::sin(c) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * std::sin(p2));
    return {p2 * 180 / kPi, l2 * 180 / kPi};
}

// "deg*min.mmm,deg*min.mmm" for a point north and east of the equator and Greenwich.
std::string route_value(GeoPoint p) {
    const long lat = std::lround(p.lat * 60000), lon = std::lround(p.lon * 60000);  // thousandths of minutes
    char b[64];
    std::snprintf(b, sizeof b, "%ld*%ld.%03ld,%ld*%ld.%03ld", lat / 60000, lat % 60000 / 1000, lat % 1000, lon / 60000,
                  lon % 60000 / 1000, lon % 1000);
    return b;
}

// Nine waypoints on a circle of 250 km around 50N 30E, 40 degrees apart: legs of 171 km and
// 40-degree turns; after waypoint 9 the units go on to waypoint 1.
std::string route_file() {
    std::string cfg = "[PPM]\n";
    for (int w = 1; w <= 9; ++w)
        cfg += "ppm_0" + std::to_string(w) + "=" + route_value(destination({50, 30}, 40.0 * (w - 1), 250)) + "\n";
    cfg += "[SYS]\nq14_kp=60\nq14_kd=100\nq14_bank_time=3.5\nvibr_kontrol=1\nperc_pogr=0.23\n";
    return cfg;
}

// ---- panel work ------------------------------------------------------------------------------

void click(HostModule* m, const char* gauge, int area) {
    host_click(m, gauge, area);
    host_frames(2);
}

// Key 2 on page T/t opens the clock entry: four digits HHMM, then VVOD.
void enter_clock(HostModule* m, const char* hhmm) {
    set_page(m, kPageTime);
    click(m, "Q14_UVI", uvi::key_area(2));
    for (const char* c = hhmm; *c; ++c) click(m, "Q14_UVI", uvi::key_area(*c - '0'));
    click(m, "Q14_UVI", uvi::kEnter);
}

// The true airspeed is entered on the held wind page: hold, key 6, four digits, VVOD, release.
void enter_tas(HostModule* m, const char* kmh) {
    set_page(m, kPageWind);
    click(m, "Q14_UVI", uvi::kHold);
    click(m, "Q14_UVI", uvi::key_area(6));
    for (const char* c = kmh; *c; ++c) click(m, "Q14_UVI", uvi::key_area(*c - '0'));
    click(m, "Q14_UVI", uvi::kEnter);
    click(m, "Q14_UVI", uvi::kHold);
}

// ---- checks --------------------------------------------------------------------------------

// Every published value and every element value of both units: finite.
void check_values(HostModule* const unit[2]) {
    static const std::string names[2][3] = {{"Q14_N1_LBU", "Q14_N1_LBU_DIF", "Q14_N1_PU_DELTA"},
                                            {"Q14_N2_LBU", "Q14_N2_LBU_DIF", "Q14_N2_PU_DELTA"}};
    for (int u = 0; u < 2; ++u) {
        for (const std::string& n : names[u]) {
            if (!host_named_value(n)) continue;  // not published while the module is away
            if (!std::isfinite(host_named_double(n))) fail(n + " is " + std::to_string(host_named_double(n)));
        }
        for (const char* g : kGauges) {
            const int count = host_element_count(unit[u], g);
            for (int k = 1; k < count; ++k)
                if (!std::isfinite(host_element_value(unit[u], g, k)))
                    fail(std::string(kUnitNames[u]) + g + " element " + std::to_string(k) + " returned a non-number");
        }
    }
    ++g_report.value_checks;
}

// Every display text of both units: printable, no spelled-out non-number or overflow.
void check_texts(HostModule* const unit[2]) {
    for (int u = 0; u < 2; ++u)
        for (const char* g : kGauges) {
            const int count = host_element_count(unit[u], g);
            for (int k = 1; k < count; ++k) {
                if (host_element(unit[u], g, k)->kind != kElementString) continue;
                const std::string t = host_element_text(unit[u], g, k);
                bool printable = true;
                for (char c : t) printable = printable && c >= 0x20 && c < 0x7F;
                std::string lower = t;
                for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (!printable || lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos ||
                    lower.find("big") != std::string::npos)
                    fail(std::string(kUnitNames[u]) + g + " element " + std::to_string(k) + " shows '" + t + "'");
            }
        }
    if (!host_text_buffers_intact()) fail("a string callback wrote past its buffer");
    ++g_report.text_checks;
}

// A read-out's position (Koord_i: the simulator's, Koord_s: the unit's).
bool koord(HostModule* m, const char* gauge, GeoPoint& p) {
    return parse_koord_text(host_element_text(m, gauge, 1), false, p.lat) &&
           parse_koord_text(host_element_text(m, gauge, 2), true, p.lon);
}

// Unit 2's error (its position minus the true one) in metres north and east, as its model
// makes it: north metres on 111130.56 m per degree, east ones scaled by cos(latitude).
bool unit_error_m(HostModule* m, double& north, double& east) {
    GeoPoint truth, own;
    if (!koord(m, "Koord_i", truth) || !koord(m, "Koord_s", own)) return false;
    north = (own.lat - truth.lat) * kMetresPerDegree;
    east = geo_angle_diff(truth.lon, own.lon) * std::cos(truth.lat * 0.01745329267623711) * kMetresPerDegree;
    return true;
}

// The rates unit 2 seeds from the tick count when its window connects.
void seeded_rates(double ticks, double& north, double& east) {
    const long t = static_cast<long>(ticks);
    north = (static_cast<double>(((t % 40) + 40) % 40) - 19) * 100;
    east = (static_cast<double>(((t % 38) + 38) % 38) - 18) * 100;
}

double saved_clock(const std::string& file) {
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return -1;
    unsigned char rec[2048];
    size_t n = std::fread(rec, 1, sizeof rec, f);
    std::fclose(f);
    if (n != sizeof rec) return -1;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(rec[kClockSlot + i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool parse_args(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--hours" && i + 1 < argc) o.hours = std::atof(argv[++i]);
        else if (a == "--frames" && i + 1 < argc) o.frames = std::atol(argv[++i]);
        else if (a == "--text-every" && i + 1 < argc) o.text_every = std::atoi(argv[++i]);
        else if (a == "--quiet") o.quiet = true;
        else return false;
    }
    if (o.frames <= 0) o.frames = std::lround(o.hours * 3600 * kFrameHz);
    return o.frames >= 20000 && o.text_every > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parse_args(argc, argv, opt)) {
        std::fprintf(stderr,
                     "usage: q14_soak [--hours H | --frames N] [--text-every N] [--quiet]\n"
                     "  flies both units for H hours of frames at 18 Hz (default 1; at least 20000 frames)\n");
        return 2;
    }
    const auto wall_start = std::chrono::steady_clock::now();
    g_report.rss_start_kb = rss_kb();

    std::string dir, error;
    if (!make_scratch_dir(dir, error) || !make_dirs(dir + "/gauges/q14_cfg", error) ||
        !write_file_atomic(dir + "/gauges/q14_cfg/q14_ppm.cfg", route_file(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    FlightSetup setup;
    setup.sim_dir = dir;
    setup.speed_kmh = 800;
    setup.wind_from_deg = 250;
    setup.wind_kmh = 60;
    if (!route_from_cfg(route_file(), 0, setup.route, error)) {
        std::fprintf(stderr, "route: %s\n", error.c_str());
        remove_tree(dir);
        return 1;
    }
    Flight flight;
    if (!flight_prepare(flight, setup, error, opt.quiet ? nullptr : stdout)) {
        std::fprintf(stderr, "preparing the flight: %s\n", error.c_str());
        remove_tree(dir);
        return 1;
    }
    const std::string saved_flight = dir + "/soak.FLT";
    const std::string state_file = saved_flight + ".insb";
    host_set_flight_path(saved_flight);
    flight_take_off(flight);
    Aircraft& a = host_aircraft();
    HostModule* unit[2] = {flight.unit[0], flight.unit[1]};

    // The airspeed for the wind; clocks at 23:30 so that midnight passes half an hour in. Unit
    // 2's clock is set by the first of the two frames after its VVOD and runs in both.
    for (HostModule* m : unit) enter_tas(m, "0800");
    for (HostModule* m : unit) enter_clock(m, "2330");
    double clock = 23 * 60 + 30 + 2 / kFrameHz / 60;  // unit 2's clock as its rules make it
    for (HostModule* m : unit) set_page(m, kPageDistance);

    // The flight starts from a reset simulator: the units open, and unit 2 seeds, at tick 0.
    double rate_n, rate_e;
    seeded_rates(0, rate_n, rate_e);
    double weighted_s = 0;  // sum of sim_rate x simulated seconds while unit 2 navigates
    double error0_n = 0, error0_e = 0;  // unit 2's error when the count began
    if (!unit_error_m(unit[1], error0_n, error0_e)) fail("unit 2's read-outs cannot be read");

    // The events, at fractions of the flight.
    const long n = opt.frames;
    const long pause_at = n * 8 / 100, pause_end = pause_at + std::min(2160L, n / 50);
    const long rate2_at = n * 15 / 100, rate4_at = n * 25 / 100, rate8_at = n * 28 / 100, rate_half_at = n * 30 / 100;
    const long rate1_at = n * 33 / 100;
    const long stall_at = n * 35 / 100, lamp_at = n * 40 / 100, save_at = n / 2, reload_at = save_at + 1000;
    const long base_at = n / 10, final_save_at = n - 40;
    long save_seen_at = -1, reload_seen_at = -1, settled_at = 200;
    int to_digit = -1;
    int page = kPageDistance;

    for (g_frame = 0; g_frame < n; ++g_frame) {
        const long f = g_frame;
        if (f == pause_at) a.paused = true;
        if (f == pause_end) a.paused = false;
        // Sim rates 2, 4 and 8 move the tick count by several counts a frame (rate 2 starts on
        // an odd count: no count divisible by 18 comes any more), 0.5 by half a count.
        if (f == rate2_at) {
            a.ticks = std::floor(a.ticks);
            if (static_cast<long>(a.ticks) % 2 == 0) a.ticks += 1;
            a.sim_rate = 2;
        }
        if (f == rate4_at) a.sim_rate = 4;
        if (f == rate8_at) a.sim_rate = 8;
        if (f == rate_half_at) a.sim_rate = 0.5;
        if (f == rate1_at) a.sim_rate = 1;
        if (f == lamp_at)
            for (HostModule* m : unit) host_click(m, "Q14_PUR", pur::kLampTest);
        if (f == save_at || f == final_save_at) {
            std::remove(state_file.c_str());
            host_raise_event(38, saved_flight);
            save_seen_at = -1;
        }
        if (f == reload_at) {
            host_unload(unit[1]);
            unit[1] = flight.unit[1] = host_open_unit(2);
            if (!unit[1]) {
                fail("unit 2 did not load again: " + host_last_error());
                break;
            }
            seeded_rates(a.ticks, rate_n, rate_e);
            weighted_s = error0_n = error0_e = 0;  // a fresh module starts without error
            reload_seen_at = -1;
        }
        if (f % 5400 == 0 && f > 0) {  // every five minutes the next page, 1 to 9
            page = page % 9 + 1;
            for (HostModule* m : unit) set_page(m, page);
        }

        const bool u2_ready = host_named_int("Q14_N2_GOT") == 1;
        const double t0 = a.sim_time_s;
        const bool stall = f == stall_at;
        if (stall) host_set_frame_rate(0.5);  // a two-second gap of the performance counter
        host_frame();
        if (stall) host_set_frame_rate(kFrameHz);
        host_clear_key_events();
        const double sim_dt = a.sim_time_s - t0;
        if (u2_ready) weighted_s += a.sim_rate * sim_dt;
        // The unit clock: simulated time at the frame's real length, a stall counting one frame.
        if (sim_dt > 0) {
            clock += a.sim_rate * (stall ? 0.055 : 1.0 / kFrameHz) / 60;
            if (clock > 1440) {
                clock -= 1440;
                ++g_report.clock_wraps;
            }
        }

        check_values(unit);
        if (f % opt.text_every == 0) check_texts(unit);
        if (f % 18 == 0) {
            const std::string t = host_element_text(unit[1], "Q14_UVI", uvi::kToDigit);
            const int d = t.size() == 1 && t[0] >= '1' && t[0] <= '9' ? t[0] - '0' : -1;
            if (d > 0 && to_digit > 0 && d != to_digit) ++g_report.legs;
            if (d > 0) to_digit = d;
        }

        // The saves: the file lands on the 19th frame after the event (the event comes before
        // frame save_at, the first after it) and holds the clock.
        if ((f > save_at && f <= save_at + 30) || (f > final_save_at)) {
            struct stat st {};
            if (save_seen_at < 0 && stat(state_file.c_str(), &st) == 0) {
                save_seen_at = f;
                const int i = f > final_save_at ? 1 : 0;
                g_report.saved_clock[i] = saved_clock(state_file);
                g_report.expected_clock[i] = clock;
                if (!(std::fabs(g_report.saved_clock[i] - clock) < 0.01))
                    fail("saved clock " + std::to_string(g_report.saved_clock[i]) + " min, expected " +
                         std::to_string(clock));
                if (f - (i ? final_save_at : save_at) != 18)
                    fail("the save came " + std::to_string(f - (i ? final_save_at : save_at)) + " frames after the event");
            }
        }
        if (f == save_at + 30 && save_seen_at < 0) fail("no saved state after the save event");
        // The restore: navigating and steering again on the 20th frame after the reload, with
        // the clock of the save.
        if (f > reload_at && reload_seen_at < 0 && host_named_int("Q14_N2_GOT") == 1) {
            reload_seen_at = f;
            if (f - reload_at > 22) fail("unit 2 navigated again only " + std::to_string(f - reload_at) + " frames after loading");
            // Restored in the 20th frame (f = reload_at + 19) after that frame's clock step.
            clock = g_report.saved_clock[0] + a.sim_rate / kFrameHz / 60 * static_cast<double>(f - reload_at - 19);
            settled_at = f + 200;
        }
        if (f == reload_at + 40) {
            if (reload_seen_at < 0) fail("unit 2 did not navigate after the restore");
            if (host_element_value(unit[1], "QN14_def_AP_Key", apkey::kButton) != 2.0) fail("the restore did not bring back the steering");
        }

        // Once a minute: unit 2's error against its rates, unit 1's against the truth, memory.
        if (f % 1080 == 0 && f >= settled_at && u2_ready && host_named_int("Q14_N2_GOT") == 1) {
            double en, ee;
            if (!unit_error_m(unit[1], en, ee)) {
                fail("unit 2's read-outs cannot be read");
            } else {
                const double xn = error0_n + rate_n * kPerTwoHours * weighted_s;
                const double xe = error0_e + rate_e * kPerTwoHours * weighted_s;
                // Read-outs to a thousandth of a minute (1.9 m) and steps of up to two simulated
                // seconds (at rate 4) behind the frame.
                const double tol = 5 + 0.002 * std::hypot(xn, xe);
                const double miss = std::max(std::fabs(en - xn), std::fabs(ee - xe));
                g_report.worst_error_miss_m = std::max(g_report.worst_error_miss_m, miss);
                g_report.largest_error_m = std::max(g_report.largest_error_m, std::hypot(en, ee));
                if (miss > tol)
                    fail("unit 2's error " + std::to_string(en) + "/" + std::to_string(ee) + " m, its rates give " +
                         std::to_string(xn) + "/" + std::to_string(xe));
                g_report.final_error_n_m = en, g_report.final_error_e_m = ee;
                g_report.final_expected_n_m = xn, g_report.final_expected_e_m = xe;
                ++g_report.error_checks;
            }
            GeoPoint truth, own;
            if (koord(unit[0], "Koord_i", truth) && koord(unit[0], "Koord_s", own)) {
                g_report.unit1_error_km = geo_distance_km(truth, own);
                g_report.unit1_worst_km = std::max(g_report.unit1_worst_km, g_report.unit1_error_km);
            }
            // After the restore the unit starts again without its error, a jump of the position
            // it steers by; the steering is judged before that.
            if (f < reload_at && std::fabs(host_named_double("Q14_N2_LBU")) > g_report.worst_lbu2_m) {
                g_report.worst_lbu2_m = std::fabs(host_named_double("Q14_N2_LBU"));
                g_report.worst_lbu2_frame = f;
            }
            const long rss = rss_kb();
            if (f >= base_at && g_report.rss_base_kb == 0) g_report.rss_base_kb = rss;
            g_report.rss_max_kb = std::max(g_report.rss_max_kb, rss);
        }
        if (!opt.quiet && f % (n / 10) == 0 && f > 0)
            std::printf("%3ld%%  sim time %s  unit 2 leg changes %ld  failures %ld\n", f * 100 / n,
                        hms(a.sim_time_s).c_str(), g_report.legs, g_report.failures);
    }
    if (save_seen_at < 0) fail("no saved state after the final save event");

    g_report.rss_end_kb = rss_kb();
    const double sim_time_s = a.sim_time_s;
    const long growth = g_report.rss_end_kb - g_report.rss_base_kb;
#ifndef Q14_SOAK_ASAN
    if (growth > kRssGrowthLimitKb) fail("resident memory grew by " + std::to_string(growth) + " kB");
#endif
    if (g_report.clock_wraps < 1) fail("the clock never passed midnight");
    const double hours = static_cast<double>(n) / kFrameHz / 3600;
    if (g_report.legs < static_cast<long>(2 * hours)) fail("unit 2 changed legs only " + std::to_string(g_report.legs) + " times");
    if (g_report.error_checks < 1) fail("unit 2's error was never checked");
    host_reset();
    remove_tree(dir);

    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    std::printf("frames %ld (%.2f h at 18 Hz, %s simulated), wall %.1f s (%.0f frames/s)\n", n, hours,
                hms(sim_time_s).c_str(), wall, static_cast<double>(n) / wall);
    std::printf("checks: values %ld frames, texts %ld frames, unit 2 error %ld times\n", g_report.value_checks,
                g_report.text_checks, g_report.error_checks);
    std::printf("unit 2 leg changes %ld, clock wraps %d, largest unit 2 LBU before the reload %.0f m (frame %ld)\n",
                g_report.legs, g_report.clock_wraps, g_report.worst_lbu2_m, g_report.worst_lbu2_frame);
    std::printf("unit 2 error at the end (grown since the restore) N %.1f m E %.1f m; its rates give N %.1f m E %.1f m\n",
                g_report.final_error_n_m, g_report.final_error_e_m, g_report.final_expected_n_m,
                g_report.final_expected_e_m);
    std::printf("unit 2 error: largest %.1f m, worst miss against its rates %.1f m\n", g_report.largest_error_m,
                g_report.worst_error_miss_m);
    std::printf("unit 1 error at the end %.3f km, worst %.3f km\n", g_report.unit1_error_km, g_report.unit1_worst_km);
    std::printf("saved clock %.3f min (expected %.3f), final save %.3f min (expected %.3f)\n", g_report.saved_clock[0],
                g_report.expected_clock[0], g_report.saved_clock[1], g_report.expected_clock[1]);
    std::printf("resident memory kB: start %ld, at 10%% %ld, max %ld, end %ld (growth %ld%s)\n", g_report.rss_start_kb,
                g_report.rss_base_kb, g_report.rss_max_kb, g_report.rss_end_kb, growth,
#ifdef Q14_SOAK_ASAN
                ", not judged under AddressSanitizer"
#else
                ""
#endif
    );
    for (const std::string& s : g_report.first) std::printf("FAILED: %s\n", s.c_str());
    std::printf("%s: %ld failures\n", g_report.failures ? "FAIL" : "PASS", g_report.failures);
    return g_report.failures ? 1 : 0;
}
