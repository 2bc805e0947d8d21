// q14session: runs a session script (host/session_script.h) on both units in the native host
// stand-in and prints its trace, one line per frame, for comparison with the browser trainer.
// Usage: q14session <script> [route file]  (default: the bundled sample route)
#include <cstdio>
#include <string>
#include <vector>

#include "host/session_script.h"
#include "host/sim_dir.h"
#include "tools/commands.h"
#include "tools/files.h"
#include "tools/route_cfg.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: q14session <script> [route file]\n");
        return 2;
    }
    std::string script, cfg, error;
    const std::string cfg_path =
        argc == 3 ? argv[2] : std::string(bundled_sim_dir()) + "/gauges/q14_cfg/q14_ppm.cfg";
    if (!read_whole_file(argv[1], script, error) || !read_whole_file(cfg_path, cfg, error)) {
        std::fprintf(stderr, "q14session: %s\n", error.c_str());
        return 1;
    }
    // The aircraft starts where the trainer parks it: on waypoint 1 of route 0.
    std::vector<GeoPoint> route;
    GeoPoint start{55.97, 37.41};
    if (route_from_cfg(cfg, 0, route, error)) start = route[0];
    const std::string dir = host_make_sim_dir("q14session", cfg);
    HostModule* units[2] = {};
    std::string trace;
    bool ok = !dir.empty() && session_open(dir, dir + "/Trainer.FLT", start.lat, start.lon, units, error) &&
              session_run(units, script, trace, error);
    host_reset();
    host_remove_sim_dir(dir);
    if (!ok) {
        std::fprintf(stderr, "q14session: %s\n", dir.empty() ? "cannot make a simulator folder" : error.c_str());
        return 1;
    }
    std::fputs(trace.c_str(), stdout);
    return 0;
}
