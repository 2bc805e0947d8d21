// Options shared by fly and panel, and the simulator folder prepared from them: the route file
// is read and checked here first, so a bad file is refused before any unit is loaded.
#include "tools/flight_options.h"

#include <cmath>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/options.h"
#include "tools/route_cfg.h"

bool take_flight_option(int argc, char** argv, int& i, FlightOptions& o, std::string& error) {
    std::string v;
    if (take_option(argc, argv, i, "--route", v, error)) {
        o.route_file = v;
        return true;
    }
    if (take_speed_option(argc, argv, i, o.speed_kmh, error)) return true;
    // --wind gives the direction the wind blows towards, as the units' page 9 shows it;
    // --wind-from the direction it blows from, as a weather briefing gives it.
    for (const bool from : {false, true}) {
        const char* name = from ? "--wind-from" : "--wind";
        if (!take_option(argc, argv, i, name, v, error)) continue;
        size_t slash = v.find('/');
        double dir = 0;
        if (error.empty() && (slash == std::string::npos || !parse_number(v.substr(0, slash), 0, 360, dir) ||
                              !parse_number(v.substr(slash + 1), 0, 500, o.wind_kmh)))
            error = std::string(name) + " " + v + ": give DIR/KMH, the direction it blows " +
                    (from ? "from" : "towards") + " (0..360) and its speed (0..500 km/h)";
        o.wind_from_deg = from ? dir : std::fmod(dir + 180.0, 360.0);
        return true;
    }
    if (std::string(argv[i]) == "--full-align") {
        o.full_align = true;
        return true;
    }
    return false;
}

bool flight_setup_from(const FlightOptions& o, FlightSetup& setup, std::string& scratch, std::string& label,
                       std::string& error) {
    scratch.clear();
    std::string file = o.route_file.empty() ? std::string(bundled_sim_dir()) + "/gauges/q14_cfg/q14_ppm.cfg" : o.route_file;
    label = o.route_file.empty() ? "the bundled sample route (" + file + ")" : file;
    std::string text;
    if (!read_whole_file(file, text, error, 1u << 20)) {
        error = "cannot read the route file: " + error;
        return false;
    }
    setup = FlightSetup{};
    // The route flown and the settings the units use must read as written; what merely looks
    // unintended is shown and flown all the same.
    RouteFileCheck check = check_route_file(text, file, o.speed_kmh);
    std::string errors;
    int n_errors = 0;
    for (const CheckFinding& f : check.findings) {
        const bool concerns_flight = f.part != CheckPart::kRoute || f.route == 0;
        if (!concerns_flight) continue;
        if (f.severity == CheckSeverity::kError) {
            errors += "\n  " + format_finding(f);
            ++n_errors;
        } else {
            setup.check_notes.push_back(f);
        }
    }
    if (n_errors) {
        error = "the route check found " + std::to_string(n_errors) +
                " error(s) in route 0 or the settings; nothing was flown (q14bench check tells more):" + errors;
        return false;
    }
    if (!route_from_check(check, 0, setup.route, error)) {
        error = file + ": " + error;
        return false;
    }
    setup.check = check;
    setup.speed_kmh = o.speed_kmh;
    setup.wind_from_deg = o.wind_from_deg;
    setup.wind_kmh = o.wind_kmh;
    setup.full_align = o.full_align;
    if (o.route_file.empty()) {
        setup.sim_dir = bundled_sim_dir();
        return true;
    }
    // The units find their file below the simulator's folder: give them a folder of their own.
    if (!make_scratch_dir(scratch, error)) return false;
    std::string dir = scratch + "/gauges/q14_cfg";
    if (!make_dirs(dir, error) || !write_file_atomic(dir + "/q14_ppm.cfg", text, error)) {
        remove_tree(scratch);
        scratch.clear();
        return false;
    }
    setup.sim_dir = scratch;
    return true;
}
