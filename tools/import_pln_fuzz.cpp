// libFuzzer target: arbitrary bytes as a flight plan. The parser must never crash, must give
// a message for every refusal, and every waypoint it accepts must lie on the earth and survive
// the route file's value format and a rewrite of a route file.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/import_pln.h"
#include "tools/route_cfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    PlnResult r = parse_pln(bytes);
    if (!r.ok) {
        if (r.error.empty() || !r.waypoints.empty()) std::abort();
        return 0;
    }
    if (r.waypoints.empty()) std::abort();
    std::vector<GeoPoint> points;
    for (const PlnWaypoint& w : r.waypoints) {
        if (!(std::fabs(w.lat) <= 90) || !(std::fabs(w.lon) <= 180) || w.line < 1) std::abort();
        double lat, lon;
        std::string why;
        if (!route_value_strict(format_route_value(w.lat, w.lon), lat, lon, why)) std::abort();
        if (std::fabs(lat - w.lat) > 1e-5 || std::fabs(lon - w.lon) > 1e-5) std::abort();
        if (points.size() < 9) points.push_back({w.lat, w.lon});
    }
    // The plan's own text stands in for a damaged route file: the rewrite must still work.
    CfgEdit e = cfg_set_route(bytes, 1, points);
    if (!e.ok) std::abort();
    std::vector<GeoPoint> back;
    std::string error;
    if (points.size() >= 2 && e.text.find('\0') == std::string::npos) {
        std::string value;
        if (!ini_lookup(e.text, "PPM", route_key(1, 1), value)) std::abort();
    }
    return 0;
}
