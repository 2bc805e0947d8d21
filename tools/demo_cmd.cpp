// q14bench demo: both units from cold through warm-up, alignment and navigation, clicked as a
// pilot would, with both units' panels printed after each step and every page of unit 1.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/standin.h"
#include "panels/panel_map.h"
#include "tools/commands.h"
#include "tools/options.h"

const char* const kDemoSummary =
    "load both units, warm up, align and navigate for a few hundred frames; print the panels";
const char* const kDemoUsage = "demo [--lat D] [--lon D] [--heading D] [--speed KMH] [--sim-dir DIR]";
const char* const kDemoHelp =
    "Loads both units into the host stand-in with the aircraft flying straight and level, then,\n"
    "clicking their panels as a pilot would: powers them (OBOGR) and lets them warm up, aligns\n"
    "them (VYST) on the aircraft's position with the shortened alignment, loads the route file\n"
    "of the simulator folder through the route reload area, switches them to\n"
    "navigation (NAVIG) for ten seconds, and turns unit 1's page knob through all nine pages.\n"
    "After each step both units' panels are printed:\n"
    "  PUR       the selector position and the lamps NEGOT (not ready), VNIM (attention),\n"
    "            KV, OTKAZ (fault) and PIT (power); then the UVI page and keyboard focus\n"
    "  UVI       the two display lines with their sign (N/S, E/W, +/-), the leg digits OT and DO,\n"
    "            and the lamps VVOD (entry), IZM (route change), OST (display hold), LZP (leg change)\n"
    "  Koord_i, Koord_s, DigTest   the read-outs' texts\n"
    "A lamp is shown as '*' when lit and '.' when dark. At the end the named variables both units\n"
    "publish and the aircraft's position and heading are printed.\n"
    "\n"
    "Options:\n"
    "  --lat D           the aircraft's latitude, -89 to 89 degrees (default 55.97)\n"
    "  --lon D           its longitude, -180 to 180 degrees (default 37.41)\n"
    "  --heading D       its true heading, 0 to 360 degrees (default 90)\n"
    "  --speed KMH       its true airspeed, 150 to 1500 km/h (default 600; --tas is the same)\n"
    "  --sim-dir DIR     a simulator folder whose gauges/q14_cfg/q14_ppm.cfg the units read: its\n"
    "                    route 0 becomes their working route, shown on page PPM (default: none,\n"
    "                    so every route waypoint reads 1*0,1*0 and the settings their defaults)\n"
    "\n"
    "Exit status: 0 done, 1 a unit could not be loaded, 2 bad usage.\n";

namespace {

// ---- reading the panels --------------------------------------------------------------------
using uvi::kModeDown, uvi::kModeUp, uvi::kTakePosition, uvi::kAlignShortcut;
using pur::kSelectorUp;
const char* const kSelector[kSelectorCount] = {"OTKL", "OBOGR", "VYST", "NAVIG", "KV"};
const char* const kPages[kPageCount] = {"", "KONTR", "phi/lambda", "IK/PG", "PPM", "ZPU/PU", "S/Z", "W/US", "T/t", "delta/U"};

char sign_char(double frame, bool lower) {
    static const char upper_signs[] = " NS+-8";
    static const char lower_signs[] = " EW+-8";
    int f = frame >= 0 && frame <= 5 ? static_cast<int>(frame) : 0;
    return (lower ? lower_signs : upper_signs)[f];
}

char lamp(HostModule* m, const char* gauge, int k) { return host_element_value(m, gauge, k) == 0.0 ? '*' : '.'; }

int selector_of(HostModule* m) {
    int s = static_cast<int>(host_element_value(m, "Q14_PUR", pur::kKnob) / 30.0 + 0.5);
    return s >= kSelOff && s <= kSelectorLast ? s : kSelOff;
}

int page_of(HostModule* m) {
    int p = static_cast<int>((host_element_value(m, "Q14_UVI", uvi::kModeKnob) - 120.0) / 30.0 + 0.5);
    return p >= kPageFirst && p <= kPageLast ? p : kPageFirst;
}

void print_panels(HostModule* m, int unit) {
    std::printf("  unit %d  PUR %-5s lamps NEGOT%c VNIM%c KV%c OTKAZ%c PIT%c   page %-10s focus%c\n", unit,
                kSelector[selector_of(m)], lamp(m, "Q14_PUR", pur::kNegot), lamp(m, "Q14_PUR", pur::kVnim),
                lamp(m, "Q14_PUR", pur::kKv), lamp(m, "Q14_PUR", pur::kOtkaz), lamp(m, "Q14_PUR", pur::kPit),
                kPages[page_of(m)], lamp(m, "Q14_UVI", uvi::kFocus));
    std::printf("          UVI %c[%-10s]  OT %s DO %s   VVOD%c IZM%c OST%c LZP%c\n",
                sign_char(host_element_value(m, "Q14_UVI", uvi::kUpperSign), false),
                host_element_text(m, "Q14_UVI", uvi::kUpperLine).c_str(), host_element_text(m, "Q14_UVI", uvi::kFromDigit).c_str(),
                host_element_text(m, "Q14_UVI", uvi::kToDigit).c_str(), lamp(m, "Q14_UVI", uvi::kEnterLamp),
                lamp(m, "Q14_UVI", uvi::kRouteLamp), lamp(m, "Q14_UVI", uvi::kHoldLamp), lamp(m, "Q14_UVI", uvi::kLzpLamp));
    std::printf("              %c[%-10s]\n", sign_char(host_element_value(m, "Q14_UVI", uvi::kLowerSign), true),
                host_element_text(m, "Q14_UVI", uvi::kLowerLine).c_str());
    std::printf("          Koord_i %s %s   Koord_s %s %s   DigTest %s | %s\n",
                host_element_text(m, "Koord_i", 1).c_str(), host_element_text(m, "Koord_i", 2).c_str(),
                host_element_text(m, "Koord_s", 1).c_str(), host_element_text(m, "Koord_s", 2).c_str(),
                host_element_text(m, "DigTest", 1).c_str(), host_element_text(m, "DigTest", 2).c_str());
}

void print_named() {
    std::printf("  named:");
    for (const std::string& n : host_named_names()) std::printf(" %s=%g", n.c_str(), host_named_double(n));
    std::printf("\n");
}

void clicks(HostModule* m, const char* gauge, int area, int n) {
    for (int i = 0; i < n; ++i) host_click(m, gauge, area);
}

// The compass point of a heading, for the progress lines.
const char* compass_point(double heading) {
    static const char* const kPoints[] = {"north", "north-east", "east", "south-east",
                                          "south", "south-west", "west", "north-west"};
    int i = static_cast<int>(std::floor(std::fmod(heading + 22.5, 360.0) / 45.0));
    return kPoints[i >= 0 && i < 8 ? i : 0];
}

}  // namespace

// Both units from cold: warm-up, alignment on the aircraft's position (shortened), navigation
// while the aircraft flies straight on; then every page of unit 1.
int cmd_demo(int argc, char** argv) {
    double lat = 55.97, lon = 37.41, heading = 90, tas = 600;
    std::string v, error, sim_dir;
    CommandArgs args;
    split_args(argc, argv, args);
    argc = args.argc;
    argv = args.argv.data();
    if (!args.operands.empty()) {
        std::fprintf(stderr, "q14bench demo: demo takes no file of its own (got %s)\n", args.operands[0].c_str());
        return 2;
    }
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n%s", kDemoUsage, kDemoHelp);
            return 0;
        }
        auto number = [&](const char* opt, double lo, double hi, double& out, const char* what) {
            if (!take_option(argc, argv, i, opt, v, error)) return false;
            if (error.empty() && !parse_number(v, lo, hi, out))
                error = std::string(opt) + " " + v + ": give " + what;
            return true;
        };
        if (number("--lat", -89, 89, lat, "a latitude, -89 to 89 degrees") ||
            number("--lon", -180, 180, lon, "a longitude, -180 to 180 degrees") ||
            number("--heading", 0, 360, heading, "a true heading, 0 to 360 degrees") ||
            number("--speed", 150, 1500, tas, "the true airspeed in km/h, 150 to 1500") ||
            number("--tas", 150, 1500, tas, "the true airspeed in km/h, 150 to 1500")) {
        } else if (take_option(argc, argv, i, "--sim-dir", v, error)) {
            struct stat st;
            if (error.empty() && (::stat(v.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
                error = "--sim-dir " + v + ": no such folder";
            sim_dir = v;
        } else {
            error = std::string("unknown option ") + argv[i];
        }
        if (!error.empty()) {
            std::fprintf(stderr, "q14bench demo: %s (see q14bench demo --help)\n", error.c_str());
            return 2;
        }
    }
    if (!sim_dir.empty()) host_set_sim_dir(sim_dir.c_str());
    Aircraft& a = host_aircraft();
    a.lat = lat;
    a.lon = lon;
    a.heading = heading;
    a.tas_kmh = tas;
    a.fly = true;
    HostModule* units[2] = {host_open_unit(1), host_open_unit(2)};
    for (HostModule* m : units)
        if (!m) {
            std::fprintf(stderr, "q14bench demo: %s\n", host_last_error().c_str());
            return 1;
        }
    auto show = [&](const char* what) {
        std::printf("frame %llu (%.1f s): %s\n", static_cast<unsigned long long>(host_frame_number()),
                    a.sim_time_s, what);
        for (int u = 0; u < 2; ++u) print_panels(units[u], u + 1);
    };
    host_frame();
    show("both units off");
    for (HostModule* m : units) clicks(m, "Q14_PUR", kSelectorUp, 1);
    host_frames(200);
    show("warm-up done");
    for (HostModule* m : units) {
        clicks(m, "Q14_PUR", kSelectorUp, 1);
        clicks(m, "Q14_UVI", kModeUp, 1);  // phi/lambda
    }
    host_frames(2);
    for (HostModule* m : units) {
        host_click(m, "Q14_UVI", kTakePosition);
        host_click(m, "Q14_UVI", uvi::kRouteReload);
        host_click(m, "Q14_UVI", kAlignShortcut);
    }
    if (sim_dir.empty())
        std::printf("route: no simulator folder (--sim-dir), so every waypoint reads 1*0,1*0\n");
    else
        std::printf("route: %s/gauges/q14_cfg/q14_ppm.cfg, route 0 loaded with the route reload area\n",
                    sim_dir.c_str());
    host_frames(100);
    show("aligning on the aircraft's position");
    host_frames(450);
    for (HostModule* m : units) clicks(m, "Q14_PUR", kSelectorUp, 1);
    host_frames(180);
    char flying[96];
    std::snprintf(flying, sizeof flying, "navigating, flying heading %03.0f (%s) at %.0f km/h", a.heading,
                  compass_point(a.heading), tas);
    show(flying);
    std::printf("pages of unit 1:\n");
    HostModule* m = units[0];
    clicks(m, "Q14_UVI", kModeDown, kPageLast);
    for (int page = kPageFirst; page <= kPageLast; ++page) {
        host_frames(2);
        std::printf("  %-10s %c[%-10s] %c[%-10s]\n", kPages[page_of(m)],
                    sign_char(host_element_value(m, "Q14_UVI", uvi::kUpperSign), false),
                    host_element_text(m, "Q14_UVI", uvi::kUpperLine).c_str(),
                    sign_char(host_element_value(m, "Q14_UVI", uvi::kLowerSign), true),
                    host_element_text(m, "Q14_UVI", uvi::kLowerLine).c_str());
        host_click(m, "Q14_UVI", kModeUp);
    }
    print_named();
    std::printf("aircraft at %.5f %.5f heading %.1f; %zu key events; text buffers %s\n", a.lat, a.lon, a.heading,
                host_key_events().size(), host_text_buffers_intact() ? "intact" : "OVERRUN");
    host_reset();
    return 0;
}
