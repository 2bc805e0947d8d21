// q14bench check: the route check over a q14_ppm.cfg, every finding on a line of its own
// with file, line and key, and an exit status a script can act on.
#include <cstdio>
#include <string>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/options.h"
#include "tools/route_check.h"

const char* const kCheckUsage = "check [FILE] [--speed KMH]";
const char* const kCheckSummary = "check a q14_ppm.cfg as the units read it: all four routes and the settings";
const char* const kCheckHelp =
    "Reads the route and settings file exactly as the navigation units do (the same look-up of\n"
    "keys, the same reading of deg*min,deg*min values and of the settings, 99*0,999*0 as the\n"
    "empty waypoint) and reports, one line each as FILE:LINE: KIND: KEY: reason,\n"
    "  errors    what the units would misread: a damaged value, a number that is none (abc, nan,\n"
    "            1e999), a missing key (read as 1*0,1*0), half of an empty waypoint (99*0,37*0), a\n"
    "            place off the earth, a real waypoint after an empty one;\n"
    "  warnings  what reads but is probably not meant: -0 degrees (-0*35.6 is north), minutes of\n"
    "            60 or more, signed minutes, waypoints at a pole, legs between nearly opposite\n"
    "            points, turns near 180 degrees, legs shorter than their turn lead plus 1 km,\n"
    "            settings outside their sensible range, keys the units never read, text they skip.\n"
    "'fly' and 'panel' run the same check and refuse a file with errors in route 0 or the settings.\n"
    "\n"
    "Arguments:\n"
    "  FILE              the file to check (default: the bundled sample\n"
    "                    data/sim/gauges/q14_cfg/q14_ppm.cfg)\n"
    "  --speed KMH       true airspeed for the turn leads, 150..1500 km/h (default 600, as 'fly')\n"
    "\n"
    "Exit status: 0 clean, 1 errors found (warnings too, perhaps), 2 bad usage or a file that\n"
    "cannot be read, 3 warnings only.\n";

namespace {

int usage_error(const std::string& e) {
    std::fprintf(stderr, "q14bench check: %s (see q14bench check --help)\n", e.c_str());
    return 2;
}

}  // namespace

int cmd_check(int argc, char** argv) {
    std::string file, error;
    double speed = kCheckDefaultSpeedKmh;
    CommandArgs args;
    split_args(argc, argv, args);
    argc = args.argc;
    argv = args.argv.data();
    for (const std::string& o : args.operands)
        if (file.empty()) file = o;
        else return usage_error("one file at a time (also got " + o + ")");
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n%s", kCheckUsage, kCheckHelp);
            return 0;
        }
        if (take_speed_option(argc, argv, i, speed, error)) {
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            error = std::string("unknown option ") + argv[i];
        } else if (file.empty()) {
            file = argv[i];
        } else {
            error = std::string("one file at a time (also got ") + argv[i] + ")";
        }
        if (!error.empty()) return usage_error(error);
    }
    if (file.empty()) file = std::string(bundled_sim_dir()) + "/gauges/q14_cfg/q14_ppm.cfg";
    std::string text;
    if (!read_whole_file(file, text, error, 1u << 20)) {
        std::fprintf(stderr, "q14bench check: cannot read the route file: %s\n", error.c_str());
        return 2;
    }
    RouteFileCheck c = check_route_file(text, file, speed);
    for (const CheckFinding& f : c.findings) std::printf("%s\n", format_finding(f).c_str());
    if (c.errors + c.warnings == 0)
        std::printf("%s: clean: four routes and the settings read as written (turn leads at %g km/h)\n", file.c_str(),
                    speed);
    else
        std::printf("%s: %d error(s), %d warning(s) (turn leads at %g km/h)\n", file.c_str(), c.errors, c.warnings,
                    speed);
    std::printf("settings as the units use them: %s\n", settings_text(c).c_str());
    return c.errors ? 1 : c.warnings ? 3 : 0;
}
