// The route a bench flight flies, taken from the route check's reading of the file: refused
// when the check finds an error in it, so the tool never flies what the units would misread.
#include "tools/route_cfg.h"

bool route_from_check(const RouteFileCheck& c, int route, std::vector<GeoPoint>& waypoints, std::string& error) {
    waypoints.clear();
    for (const CheckFinding& f : c.findings) {
        if (f.severity != CheckSeverity::kError) continue;
        if (f.part != CheckPart::kFile && !(f.part == CheckPart::kRoute && f.route == route)) continue;
        const std::string reason = finding_reason(f);
        error = f.key.empty() ? reason : f.key;
        if (!f.key.empty()) error += (f.line ? " (line " + std::to_string(f.line) + ")" : "") + ": " + reason;
        return false;
    }
    for (int w = 1; w <= 9 && !route_point_is_empty(c.lat[route][w], c.lon[route][w]); ++w)
        waypoints.push_back({c.lat[route][w], c.lon[route][w]});
    if (waypoints.size() < 2) {
        error = "route " + std::to_string(route) + " has " + std::to_string(waypoints.size()) +
                " waypoint(s) before its first empty one; at least two are needed";
        waypoints.clear();
        return false;
    }
    return true;
}

bool route_from_cfg(const std::string& text, int route, std::vector<GeoPoint>& waypoints, std::string& error) {
    return route_from_check(check_route_file(text, ""), route, waypoints, error);
}
