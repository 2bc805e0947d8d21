// q14bench fly: both units aligned and given the route, unit 2 steering the aircraft's heading
// autopilot along it at fast time; progress on the terminal, then a plot, a summary and the
// track written to the output folder.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/flight_log.h"
#include "tools/flight_options.h"
#include "tools/options.h"
#include "panels/panel_map.h"
#include "tools/plot.h"
#include "tools/session.h"
#include "tools/stop_reason.h"
#include "tools/stop_signal.h"

const char* const kFlyUsage =
    "fly [--route FILE] [--speed KMH] [--wind TO/KMH | --wind-from FROM/KMH] [--full-align] [--every SEC] [--max-minutes M] [--out DIR]";
const char* const kFlySummary = "fly route 0 closed-loop with unit 2 steering; write plot, summary and track";
const char* const kFlyHelp =
    "Loads both units into the host stand-in, powers and aligns them on the aircraft standing at\n"
    "waypoint 1 (start position taken with the take-position area, alignment shortened unless\n"
    "--full-align), loads the route file through the route reload area, switches to NAVIG with\n"
    "the UVI knobs at S/Z and turns on unit 2's autopilot steering. The aircraft then flies at\n"
    "constant true airspeed, its heading autopilot turning at standard rate (3 deg/s) to the\n"
    "heading unit 2 commands. When unit 2 sequences past the last waypoint of the route (it\n"
    "changes to the leg that would wrap to waypoint 1, or to an empty waypoint; a turn lead\n"
    "before the waypoint), its steering is switched off and the aircraft flies direct to that\n"
    "waypoint; the flight ends abeam it. It also ends at the time limit.\n"
    "\n"
    "Options:\n"
    "%s"
    "  --every SEC       a progress line every SEC simulated seconds (default 60)\n"
    "  --max-minutes M   stop after M minutes of flight (default: 1.5 x the route's flying time + 20)\n"
    "  --out DIR         output folder (default out/), created if needed; receives route.svg,\n"
    "                    route.png (the map and the error graphs), summary.txt and track.csv,\n"
    "                    written into a new folder beside it that then replaces it whole (so it\n"
    "                    may hold nothing else). A flight of more than 20000 seconds is thinned\n"
    "                    in the plot and track.csv to keep them small, and the summary says so.\n"
    "\n"
    "Exit status: 0 flown (to the end, or to an explicit --max-minutes), 1 bad input or a unit\n"
    "that did not do what it was told, 2 bad usage, 3 the route was not finished in the default\n"
    "time limit, 130 or 143 stopped by SIGINT or SIGTERM (nothing written, earlier results kept).\n";

namespace {

const std::vector<std::string> kOutputs = {"route.svg", "route.png", "summary.txt", "track.csv"};
constexpr size_t kMaxOutputSamples = 20000;  // samples drawn and written; more are thinned
constexpr size_t kMaxTableRows = 200;        // rows of each summary table; more are counted

struct Recorder {
    std::vector<FlightSample> samples;
    std::vector<LegChange> changes;
    int leg[2][2] = {{0, 0}, {0, 0}};  // each unit's (from, to) as last seen
};

std::string leg_text(int from, int to) { return std::to_string(from) + "-" + std::to_string(to); }

std::string signed_km(double v, int decimals) {
    char b[32];
    std::snprintf(b, sizeof b, "%+.*f", decimals, v);
    return b;
}

double route_length_km(const std::vector<GeoPoint>& r) {
    double d = 0;
    for (size_t i = 0; i + 1 < r.size(); ++i) d += geo_distance_km(r[i], r[i + 1]);
    return d;
}

std::string wind_text(const FlightSetup& s) {
    if (s.wind_kmh <= 0) return "calm";
    char b[64];
    std::snprintf(b, sizeof b, "towards %03.0f deg (from %03.0f) at %.0f km/h", std::fmod(s.wind_from_deg + 180.0, 360.0),
                  s.wind_from_deg, s.wind_kmh);
    return b;
}

std::string summary_text(const FlightSetup& setup, const std::string& label, const Flight& f, const Recorder& rec,
                         const std::string& stop, const UnitReading end[2], GeoPoint truth_end, double t_end,
                         size_t thinned) {
    std::string s;
    char b[512];
    auto add = [&](const char* fmt, auto... args) {
        std::snprintf(b, sizeof b, fmt, args...);
        s += b;
    };
    add("q14bench fly\n");
    add("route file      %s, route 0: %zu waypoints, %.1f km\n", label.c_str(), setup.route.size(), route_length_km(setup.route));
    add("aircraft        %.0f km/h true airspeed, wind %s, standard-rate turns\n", setup.speed_kmh, wind_text(setup).c_str());
    add("settings        %s\n", settings_text(setup.check).c_str());
    add("alignment       %s, %d frames; unit 2 steering, unit 1 navigating alongside\n",
        setup.full_align ? "full" : "shortened with the shortcut area", f.align_frames);
    add("flown           %s simulated; %s\n\n", hms(t_end).c_str(), stop.c_str());

    if (thinned > 1)
        add("track           thinned to one sample in %zu: %zu of %zu in the plot and track.csv\n\n",
            thinned, (rec.samples.size() + thinned - 1) / thinned, rec.samples.size());

    add("Leg changes (time since take-off)\n  %-8s %-10s %-10s\n", "new leg", "unit 2", "unit 1");
    std::vector<std::pair<int, int>> legs;
    for (const LegChange& c : rec.changes)
        if (c.unit == 2) legs.push_back({c.from, c.to});
    if (legs.size() > kMaxTableRows) {
        add("  (the first %zu of %zu leg changes)\n", kMaxTableRows, legs.size());
        legs.resize(kMaxTableRows);
    }
    for (auto [from, to] : legs) {
        std::string t2 = "-", t1 = "-";
        for (const LegChange& c : rec.changes)
            if (c.from == from && c.to == to) (c.unit == 2 ? t2 : t1) = hms(c.t);
        add("  %-8s %-10s %-10s\n", leg_text(from, to).c_str(), t2.c_str(), t1.c_str());
    }
    for (size_t shown = 0; const LegChange& c : rec.changes) {
        if (shown == kMaxTableRows) break;
        bool also_on_2 = false;
        for (auto [from, to] : legs) also_on_2 = also_on_2 || (from == c.from && to == c.to);
        if (c.unit == 1 && !also_on_2 && ++shown)
            add("  %-8s %-10s %-10s\n", leg_text(c.from, c.to).c_str(), "-", hms(c.t).c_str());
    }
    if (rec.changes.empty()) add("  none\n");

    add("\nCross-track of the true position on each leg (right +): its offset when the leg began, when\n"
        "the turn onto it was over (line crossed, or no longer closing in), and the largest after that\n");
    add("  %-6s %-9s %-9s %-10s %-10s %s\n", "leg", "turn", "start", "offset", "turn over", "largest after the turn");
    std::vector<LegReport> reports = leg_reports(rec.samples, setup.route);
    if (reports.size() > kMaxTableRows) {
        add("  (the first %zu of %zu legs)\n", kMaxTableRows, reports.size());
        reports.resize(kMaxTableRows);
    }
    for (const LegReport& r : reports) {
        char turn[32];
        if (r.after_turn) std::snprintf(turn, sizeof turn, "%.0f %s", std::fabs(r.turn_deg), r.turn_deg < 0 ? "left" : "right");
        else std::snprintf(turn, sizeof turn, "take-off");
        std::string reached = r.reached_s < 0 ? "never" : "+" + hms(r.reached_s);
        std::string largest = r.reached_s < 0 ? "-" : signed_km(r.max_xtk_km, 3) + " km at " + hms(r.max_xtk_t);
        add("  %-6s %-9s %-9s %-10s %-10s %s\n", leg_text(r.from, r.to).c_str(), turn, hms(r.t_start).c_str(),
            (signed_km(r.start_xtk_km, 2) + " km").c_str(), reached.c_str(), largest.c_str());
    }
    add("\nPosition error at the end (computed position minus true position)\n");
    for (int u = 0; u < 2; ++u) {
        if (!end[u].pos_ok) {
            add("  unit %d  no readable Koord_s position\n", u + 1);
            continue;
        }
        double n, e;
        geo_offset_km(truth_end, end[u].pos, &n, &e);
        add("  unit %d  %6.0f m   (north %+.0f m, east %+.0f m)\n", u + 1, geo_distance_km(truth_end, end[u].pos) * 1000,
            n * 1000, e * 1000);
    }
    add("  (Koord_s shows thousandths of a minute: about 2 m of resolution)\n");
    return s;
}

// Every `step`-th sample and the last: a long flight's track, small enough to draw and keep.
std::vector<FlightSample> thin_track(const std::vector<FlightSample>& samples, size_t step) {
    if (step <= 1) return samples;
    std::vector<FlightSample> out;
    for (size_t i = 0; i < samples.size(); i += step) out.push_back(samples[i]);
    if (!samples.empty() && (samples.size() - 1) % step != 0) out.push_back(samples.back());
    return out;
}

bool stop_requested() { return stop_signal() != 0; }

std::string track_csv(const std::vector<FlightSample>& samples) {
    std::string s = "t_s,true_lat,true_lon,unit1_lat,unit1_lon,unit2_lat,unit2_lon,leg_from,leg_to,true_xtk_km\n";
    char b[256];
    for (const FlightSample& x : samples) {
        std::snprintf(b, sizeof b, "%.1f,%.6f,%.6f,", x.t, x.truth.lat, x.truth.lon);
        s += b;
        for (int u = 0; u < 2; ++u) {
            if (x.unit_ok[u]) std::snprintf(b, sizeof b, "%.6f,%.6f,", x.unit_pos[u].lat, x.unit_pos[u].lon);
            else std::snprintf(b, sizeof b, ",,");
            s += b;
        }
        std::snprintf(b, sizeof b, "%d,%d,%.4f\n", x.from, x.to, x.xtk_km);
        s += b;
    }
    return s;
}

// The heading that makes good the course from p to w against the wind (direct to w).
double direct_heading(GeoPoint p, GeoPoint w, const FlightSetup& s) {
    double course = geo_course_deg(p, w);
    double wind_to = s.wind_from_deg + 180.0;
    double cross = s.wind_kmh * std::sin((wind_to - course) * 3.14159265358979323846 / 180.0) / s.speed_kmh;
    double h = course - std::asin(std::fmax(-1.0, std::fmin(1.0, cross))) * 180.0 / 3.14159265358979323846;
    return std::fmod(h + 360.0, 360.0);
}

int usage_error(const std::string& e) {
    std::fprintf(stderr, "q14bench fly: %s (see q14bench fly --help)\n", e.c_str());
    return 2;
}

}  // namespace

int cmd_fly(int argc, char** argv) {
    FlightOptions fo;
    std::string out = "out", v, error;
    double every = 60, max_minutes = -1;
    CommandArgs args;
    split_args(argc, argv, args);
    argc = args.argc;
    argv = args.argv.data();
    if (!args.operands.empty()) return usage_error("fly takes no file of its own (got " + args.operands[0] + ")");
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n", kFlyUsage);
            std::printf(kFlyHelp, kFlightOptionsHelp);
            return 0;
        }
        if (take_flight_option(argc, argv, i, fo, error)) {
        } else if (take_option(argc, argv, i, "--every", v, error)) {
            if (error.empty() && !parse_number(v, 1, 86400, every)) error = "--every " + v + ": give 1 to 86400 seconds";
        } else if (take_option(argc, argv, i, "--max-minutes", v, error)) {
            if (error.empty() && !parse_number(v, 0.1, 10000, max_minutes)) error = "--max-minutes " + v + ": give 0.1 to 10000";
        } else if (take_option(argc, argv, i, "--out", v, error)) {
            out = v;
        } else {
            error = std::string("unknown option ") + argv[i];
        }
        if (!error.empty()) return usage_error(error);
    }

    FlightSetup setup;
    std::string scratch, label;
    if (!flight_setup_from(fo, setup, scratch, label, error)) {
        std::fprintf(stderr, "q14bench fly: %s\n", error.c_str());
        return 1;
    }
    struct Cleanup {
        std::string dir;
        ~Cleanup() {
            host_reset();
            remove_tree(dir);
        }
    } cleanup{scratch};
    if (!output_dir_replaceable(out, kOutputs, error) || !prepare_output_dir(out, error)) {
        std::fprintf(stderr, "q14bench fly: %s\n", error.c_str());
        return 1;
    }
    const size_t n = setup.route.size();
    std::printf("route: %s, route 0, %zu waypoints, %.1f km\n", label.c_str(), n, route_length_km(setup.route));
    for (const CheckFinding& note : setup.check_notes) std::printf("check: %s\n", format_finding(note).c_str());
    StopSignalGuard signals;
    auto interrupted = [&]() {
        std::fprintf(stderr, "q14bench fly: stopped by %s; nothing written, %s is as it was\n",
                     stop_signal_name(stop_signal()), out.c_str());
        return 128 + stop_signal();
    };
    Flight f;
    if (!flight_prepare(f, setup, error, stdout)) {
        if (stop_requested()) return interrupted();
        std::fprintf(stderr, "q14bench fly: %s\n", error.c_str());
        return 1;
    }
    bool auto_limit = max_minutes < 0;
    if (auto_limit) {
        double slowest = std::fmax(setup.speed_kmh - setup.wind_kmh, 100.0);
        max_minutes = route_length_km(setup.route) / slowest * 60 * 1.5 + 20;
    }
    std::printf("take-off at %.0f km/h, wind %s; a line every %.0f s, limit %.0f min\n", setup.speed_kmh,
                wind_text(setup).c_str(), every, max_minutes);
    std::printf("  %-8s %-5s %9s %8s %10s %9s %9s\n", "time", "leg", "S km", "Z km", "true XTK", "err u1 m", "err u2 m");
    flight_take_off(f);

    Recorder rec;
    std::vector<StopTracePoint> trace;  // unit 2's leg and distance to go, once a second
    for (int u = 0; u < 2; ++u) {
        UnitReading r = read_unit(f, u + 1);
        rec.leg[u][0] = r.from;
        rec.leg[u][1] = r.to;
    }
    const Aircraft& a = host_aircraft();
    int flown_from = 1, flown_to = 2;  // the leg the true cross-track is measured from
    bool run_out = false;              // past the final leg change, flying on to the last waypoint
    double run_out_start = 0, closest_km = 1e9;
    double next_sample = 0, next_print = every;
    std::string stop;
    int status = 0;
    for (;;) {
        if (stop_requested()) return interrupted();
        host_frame();
        double t = flight_time_s(f);
        GeoPoint truth{a.lat, a.lon};
        bool last_sample = false;
        for (int u = 0; u < 2; ++u) {
            UnitReading r = read_unit(f, u + 1);
            if (r.from < 0 || r.to < 0 || (r.from == rec.leg[u][0] && r.to == rec.leg[u][1])) continue;
            rec.changes.push_back({u + 1, t, truth, r.from, r.to});
            std::printf("  %-8s unit %d changes leg %s -> %s\n", hms(t).c_str(), u + 1,
                        leg_text(rec.leg[u][0], rec.leg[u][1]).c_str(), leg_text(r.from, r.to).c_str());
            rec.leg[u][0] = r.from;
            rec.leg[u][1] = r.to;
            if (u != 1) continue;
            if (static_cast<size_t>(r.from) == n && !run_out) {
                // The unit has sequenced past the last waypoint, a turn lead before it: its
                // steering goes off and the pilot flies on to the waypoint itself.
                run_out = true;
                run_out_start = t;
                host_click(f.unit[1], "QN14_def_AP_Key", apkey::kToggle);
                std::printf("  %-8s steering off; direct to waypoint %zu, %.2f km ahead\n", hms(t).c_str(), n,
                            geo_distance_km(truth, setup.route[n - 1]));
            } else if (!run_out && r.from >= 1 && r.to >= 1 && static_cast<size_t>(r.to) <= n) {
                flown_from = r.from;
                flown_to = r.to;
            }
        }
        const GeoPoint& wa = setup.route[static_cast<size_t>(flown_from) - 1];
        const GeoPoint& wb = setup.route[static_cast<size_t>(flown_to) - 1];
        if (run_out) {
            closest_km = std::fmin(closest_km, geo_distance_km(truth, wb));
            host_aircraft().ap_heading_bug = direct_heading(truth, wb, setup);
            if (geo_along_track_km(wa, wb, truth) >= geo_distance_km(wa, wb)) {
                char b[200];
                std::snprintf(b, sizeof b, "end of the route: abeam waypoint %zu, passed %.2f km from it", n, closest_km);
                stop = b;
                last_sample = true;
            } else if (t - run_out_start > 600) {
                stop = "the aircraft did not come abeam the last waypoint within 10 minutes of the final leg change";
                last_sample = true;
                status = 3;
            }
        }
        if (!last_sample && t >= max_minutes * 60) {
            char b[160];
            std::snprintf(b, sizeof b, "time limit of %.1f min reached on leg %s", max_minutes,
                          leg_text(rec.leg[1][0], rec.leg[1][1]).c_str());
            stop = b;
            {
                StopFacts facts;
                facts.speed_kmh = setup.speed_kmh;
                facts.wind_from_deg = setup.wind_from_deg;
                facts.wind_kmh = setup.wind_kmh;
                facts.kp = setup.check.settings[kSetKp];
                facts.kd = setup.check.settings[kSetKd];
                facts.check_notes = setup.check_notes;
                stop += "; the route was not finished: " + explain_unfinished(trace, facts);
            }
            last_sample = true;
            if (auto_limit) status = 3;
        }
        if (t >= next_sample || last_sample) {
            FlightSample s;
            s.t = t;
            s.truth = truth;
            for (int u = 0; u < 2; ++u) {
                UnitReading r = read_unit(f, u + 1);
                s.unit_ok[u] = r.pos_ok;
                s.unit_pos[u] = r.pos;
            }
            s.from = flown_from;
            s.to = flown_to;
            s.xtk_km = geo_cross_track_km(wa, wb, truth);
            rec.samples.push_back(s);
            UnitReading r2 = read_unit(f, 2);
            trace.push_back({t, truth, r2.from, r2.to, r2.s_ok && !run_out, r2.s_km});
            next_sample += 1.0;
        }
        if (t >= next_print || last_sample) {
            UnitReading r2 = read_unit(f, 2);
            const FlightSample& s = rec.samples.back();
            std::string e[2];
            for (int u = 0; u < 2; ++u)
                e[u] = s.unit_ok[u] ? std::to_string(std::lround(geo_distance_km(s.truth, s.unit_pos[u]) * 1000)) : "-";
            // Past the final leg change the unit's S and Z refer to a leg beyond the route.
            bool show = !run_out;
            std::printf("  %-8s %-5s %9s %8s %10s %9s %9s\n", hms(t).c_str(), leg_text(r2.from, r2.to).c_str(),
                        show && r2.s_ok ? signed_km(r2.s_km, 1).c_str() : "-",
                        show && r2.z_ok ? signed_km(r2.z_km, 1).c_str() : "-",
                        signed_km(s.xtk_km, 3).c_str(), e[0].c_str(), e[1].c_str());
            next_print += every;
        }
        if (last_sample) break;
    }
    double t_end = flight_time_s(f);
    UnitReading end[2] = {read_unit(f, 1), read_unit(f, 2)};
    GeoPoint truth_end{a.lat, a.lon};
    std::printf("stopped after %s: %s\n", hms(t_end).c_str(), stop.c_str());

    const size_t thinned = (rec.samples.size() + kMaxOutputSamples - 1) / kMaxOutputSamples;
    std::string summary = summary_text(setup, label, f, rec, stop, end, truth_end, t_end, thinned);
    if (thinned > 1) std::printf("the track is thinned to one sample in %zu for the plot and track.csv\n", thinned);
    const std::vector<FlightSample> track = thin_track(rec.samples, thinned);
    FlightPlot plot;
    plot.title = "q14bench fly: route 0, " + std::to_string(n) + " waypoints, " +
                 std::to_string(std::lround(route_length_km(setup.route))) + " km";
    char sub[256];
    std::snprintf(sub, sizeof sub, "%.0f km/h, wind %s, %s alignment; flown %s; %s", setup.speed_kmh,
                  wind_text(setup).c_str(), setup.full_align ? "full" : "short", hms(t_end).c_str(), stop.c_str());
    plot.subtitle = sub;
    plot.route = setup.route;
    plot.samples = track;
    plot.changes = rec.changes;
    std::string svg, png;
    if (stop_requested()) return interrupted();
    if (!render_flight_plot(plot, svg, png, error) ||
        !replace_output_dir(out, {{kOutputs[0], svg}, {kOutputs[1], png}, {kOutputs[2], summary}, {kOutputs[3], track_csv(track)}},
                            error, stop_requested)) {
        if (stop_requested()) return interrupted();
        std::fprintf(stderr, "q14bench fly: %s\n", error.c_str());
        return 1;
    }
    std::printf("\n%s\nwrote %s/route.svg, %s/route.png, %s/summary.txt, %s/track.csv\n", summary.c_str(), out.c_str(),
                out.c_str(), out.c_str(), out.c_str());
    return status;
}
