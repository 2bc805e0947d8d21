// q14bench import-pln: a simulator flight plan written as one route of q14_ppm.cfg, the rest
// of the file kept; the new file replaces the old one only when it is complete.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/import_pln.h"
#include "tools/options.h"
#include "tools/route_cfg.h"

const char* const kImportPlnUsage = "import-pln PLAN.pln --cfg FILE [--route 0..3]";
const char* const kImportPlnSummary = "write a flight plan's first nine waypoints as one route of a q14_ppm.cfg";
const char* const kImportPlnHelp =
    "Reads a simulator flight plan, in either form:\n"
    "  XML: <ATCWaypoint> entries whose <WorldPosition> reads like\n"
    "       N55\xC2\xB0 45' 30.00\",E37\xC2\xB0 36' 12.00\",+000500.00\n"
    "  INI: a [flightplan] section with lines like\n"
    "       waypoint.0=, UUEE, , UUEE, A, N55* 58.37', E37* 24.90', +000622.00,\n"
    "and writes its first nine waypoints as route N of the route file: the keys ppm_N1..ppm_N9 of\n"
    "section [PPM] (ppm_01..ppm_09 for route 0). A waypoint at the same place as the one before\n"
    "it is dropped; a plan of fewer than nine leaves the remaining keys empty (99*0,999*0), so\n"
    "the units show them blank and 'fly' ends the route at the last waypoint; waypoints after the\n"
    "ninth are listed as left out. Every other line of the file (other routes, [SYS], comments)\n"
    "stays as it was; missing keys are added to the [PPM] section (created if needed). The file\n"
    "is written to a temporary file and renamed into place: it is never left half-written.\n"
    "Route 0 is the one the units copy into their working route when the route reload area is\n"
    "clicked.\n"
    "\n"
    "Options:\n"
    "  --cfg FILE        the q14_ppm.cfg to change (created when it does not exist)\n"
    "  --route N         the route to replace, 0 to 3 (default 0)\n";

namespace {

int fail(const std::string& e, int status = 1) {
    std::fprintf(stderr, "q14bench import-pln: %s\n", e.c_str());
    return status;
}

std::string name_of(const PlnWaypoint& w) { return plan_waypoint_name(w); }

}  // namespace

int cmd_import_pln(int argc, char** argv) {
    std::string plan_path, cfg_path, v, error;
    double route = 0;
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n%s", kImportPlnUsage, kImportPlnHelp);
            return 0;
        }
        if (take_option(argc, argv, i, "--cfg", v, error)) {
            cfg_path = v;
        } else if (take_option(argc, argv, i, "--route", v, error)) {
            if (error.empty() && (!parse_number(v, 0, 3, route) || route != static_cast<int>(route)))
                error = "--route " + v + ": give a route number 0 to 3";
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            error = std::string("unknown option ") + argv[i];
        } else if (plan_path.empty()) {
            plan_path = argv[i];
        } else {
            error = std::string("one flight plan at a time (also got ") + argv[i] + ")";
        }
        if (!error.empty()) return fail(error + " (see q14bench import-pln --help)", 2);
    }
    if (plan_path.empty()) return fail("name the flight plan to read (see q14bench import-pln --help)", 2);
    if (cfg_path.empty()) return fail("name the route file to change with --cfg FILE", 2);

    std::string bytes;
    if (!read_whole_file(plan_path, bytes, error)) return fail("cannot read the flight plan: " + error);
    PlnResult plan = parse_pln(bytes);
    if (!plan.ok) return fail(plan_path + ": " + plan.error);

    std::vector<PlnWaypoint> kept;
    std::vector<std::string> notes;
    if (!plan_route_waypoints(plan, kept, notes, error)) return fail(plan_path + ": " + error);
    for (const std::string& n : notes) std::printf("%s\n", n.c_str());

    std::string original;
    struct stat st;
    bool exists = ::stat(cfg_path.c_str(), &st) == 0;
    if (exists && !read_whole_file(cfg_path, original, error, 1u << 20)) return fail("cannot read the route file: " + error);
    std::vector<GeoPoint> points;
    for (const PlnWaypoint& w : kept) points.push_back({w.lat, w.lon});
    CfgEdit edit = cfg_set_route(original, static_cast<int>(route), points);
    if (!edit.ok) return fail(edit.error);
    if (!write_file_atomic(cfg_path, edit.text, error)) return fail(error);

    int r = static_cast<int>(route);
    std::printf("%s %s: route %d from %s (%s form, %zu waypoint(s) in the plan); %d key(s) rewritten, %d added%s\n",
                exists ? "updated" : "created", cfg_path.c_str(), r, plan_path.c_str(), plan.form.c_str(),
                plan.waypoints.size(), edit.replaced, edit.added, edit.section_added ? " in a new [PPM] section" : "");
    for (int w = 1; w <= 9; ++w) {
        if (static_cast<size_t>(w) <= kept.size()) {
            const PlnWaypoint& p = kept[static_cast<size_t>(w) - 1];
            std::printf("  %s=%-26s %s %s\n", route_key(r, w).c_str(), format_route_value(p.lat, p.lon).c_str(),
                        name_of(p).c_str(), p.type.c_str());
        } else {
            std::printf("  %s=%-26s (empty)\n", route_key(r, w).c_str(), "99*0,999*0");
        }
    }
    return 0;
}
