// libFuzzer target: arbitrary bytes as a flight plan. The parser must never crash, must give
// a message for every refusal, and every waypoint it accepts must lie on the earth and survive
// the route file's value format, the choice of nine, and a rewrite of a route file with the
// waypoints' names as comments, which the route check must then read as written.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/import_pln.h"
#include "tools/route_cfg.h"
#include "tools/route_file_form.h"
#include "tools/route_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Kept from one input to the next, so that each run does not allocate them anew.
    static std::string bytes;
    static std::vector<GeoPoint> points;
    static std::vector<std::string> names;
    bytes.assign(reinterpret_cast<const char*>(data), size);
    PlnResult r = parse_pln(bytes);
    if (!r.ok) {
        if (r.error.empty() || !r.waypoints.empty()) std::abort();
        return 0;
    }
    if (r.waypoints.empty()) std::abort();
    for (const PlnWaypoint& w : r.waypoints) {
        if (!(std::fabs(w.lat) <= 90) || !(std::fabs(w.lon) <= 180) || w.line < 1) std::abort();
        double lat, lon;
        std::string why;
        if (!route_value_strict(format_route_value(w.lat, w.lon), lat, lon, why)) std::abort();
        if (std::fabs(lat - w.lat) > 1e-5 || std::fabs(lon - w.lon) > 1e-5) std::abort();
    }
    // The nine chosen keep the plan's order, its first and (unless cut at nine) its last.
    for (bool first_nine : {false, true}) {
        std::vector<PlnDrop> dropped;
        std::vector<size_t> kept = choose_route_points(r.waypoints, 600, first_nine, dropped);
        if (kept.size() > 9 || kept.size() + dropped.size() != r.waypoints.size() || kept.empty() || kept[0] != 0)
            std::abort();
        for (size_t k = 1; k < kept.size(); ++k)
            if (kept[k] <= kept[k - 1]) std::abort();
        if (!first_nine && kept.back() != r.waypoints.size() - 1) {
            bool same_place = false;
            for (const PlnDrop& d : dropped)
                same_place = same_place || (d.index == r.waypoints.size() - 1 && d.why.find("same place") != std::string::npos);
            if (!same_place) std::abort();
        }
    }
    std::vector<PlnDrop> dropped;
    std::vector<size_t> kept = choose_route_points(r.waypoints, 600, false, dropped);
    points.clear();
    names.resize(kept.size());
    for (size_t k = 0; k < kept.size(); ++k) {
        const PlnWaypoint& w = r.waypoints[kept[k]];
        points.push_back({w.lat, w.lon});
        names[k].assign(w.ident).append(" ").append(w.name);
    }
    // The plan's own text stands in for a damaged route file: the rewrite must still work, and
    // when the importer takes the file, the units must find the route written, in the file's form.
    CfgEdit e = cfg_set_route(bytes, 1, points, names);
    if (!e.ok) std::abort();
    RouteFileForm form;
    std::string text, why;
    if (points.size() >= 2 && route_file_open(bytes, form, text, why)) {
        if (route_file_save(text, form) != bytes) std::abort();
        CfgEdit kept = cfg_set_route(text, 1, points, names);
        const std::string saved = route_file_save(kept.text, form);
        if (!kept.ok || profile_encoding(saved.data(), saved.size()) != form.encoding) std::abort();
        std::string value;
        if (!ini_lookup(saved, "PPM", route_key(1, 1), value)) std::abort();
        // A clean file gets exactly the route written, read back by the units' rules.
        CfgEdit fresh = cfg_set_route("", 1, points, names);
        RouteFileCheck c = check_route_file(fresh.text, "fuzz");
        for (size_t w = 1; w <= points.size(); ++w)
            if (std::fabs(c.lat[1][w] - points[w - 1].lat) > 1e-5 || std::fabs(c.lon[1][w] - points[w - 1].lon) > 1e-5)
                std::abort();
    }
    return 0;
}
