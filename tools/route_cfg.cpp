// The route file as the bench tool reads it. The look-up follows the units' profile reader
// so that the tool and the units agree on every value; the value parser is stricter than the
// units' and says what is wrong instead of reading a damaged value as some number.
#include "tools/route_cfg.h"

#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool same_nocase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Reads one number at `p` (blanks first); false unless a number is there.
bool number_at(const char*& p, double& out) {
    char* end = nullptr;
    out = std::strtod(p, &end);
    if (end == p) return false;
    p = end;
    return std::isfinite(out);
}

bool separator_at(const char*& p, char c) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != c) return false;
    ++p;
    return true;
}

}  // namespace

bool ini_lookup(const std::string& text, const std::string& section, const std::string& key, std::string& value,
                int* line) {
    bool in_section = false;
    int n = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string ln = trim(text.substr(pos, nl - pos));
        ++n;
        pos = nl + 1;
        if (ln.empty() || ln[0] == ';') continue;
        if (ln[0] == '[') {
            size_t close = ln.find(']');
            if (close != std::string::npos) in_section = same_nocase(trim(ln.substr(1, close - 1)), section);
            continue;
        }
        if (!in_section) continue;
        size_t eq = ln.find('=');
        if (eq == std::string::npos || !same_nocase(trim(ln.substr(0, eq)), key)) continue;
        std::string v = trim(ln.substr(eq + 1));
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
        value = v;
        if (line) *line = n;
        return true;
    }
    return false;
}

std::string route_key(int route, int waypoint) {
    return "ppm_" + std::to_string(route) + std::to_string(waypoint);
}

bool parse_route_value(const std::string& value, double& lat, double& lon, std::string& why) {
    const char* p = value.c_str();
    double lat_deg, lat_min, lon_deg, lon_min;
    if (!number_at(p, lat_deg)) return why = "no latitude degrees at the start", false;
    if (!separator_at(p, '*')) return why = "no '*' after the latitude degrees", false;
    if (!number_at(p, lat_min)) return why = "no latitude minutes after the '*'", false;
    if (!separator_at(p, ',')) return why = "no ',' between latitude and longitude", false;
    if (!number_at(p, lon_deg)) return why = "no longitude degrees after the ','", false;
    if (!separator_at(p, '*')) return why = "no '*' after the longitude degrees", false;
    if (!number_at(p, lon_min)) return why = "no longitude minutes after the '*'", false;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return why = std::string("unexpected '") + *p + "' after the longitude minutes", false;
    // As the units read it: minutes follow the sign of negative degrees (so -0 keeps them north).
    if (lat_deg < 0) lat_min = -lat_min;
    if (lon_deg < 0) lon_min = -lon_min;
    lat = lat_min / 60 + lat_deg;
    lon = lon_min / 60 + lon_deg;
    return true;
}

bool route_point_is_empty(double lat, double lon) { return lat == 99.0 || lon == 999.0; }

bool route_from_cfg(const std::string& text, int route, std::vector<GeoPoint>& waypoints, std::string& error) {
    waypoints.clear();
    // A refused route leaves no waypoints behind.
    auto refuse = [&](const std::string& why) {
        error = why;
        waypoints.clear();
        return false;
    };
    int first_empty = 0;  // number of the first empty waypoint, 0 while none
    for (int w = 1; w <= 9; ++w) {
        std::string key = route_key(route, w), value, why;
        int line = 0;
        std::string where = "route " + std::to_string(route) + " waypoint " + std::to_string(w) + " (" + key;
        if (!ini_lookup(text, "PPM", key, value, &line))
            return refuse(where + "): the key is missing from section [PPM]; the units would read it as 1*0,1*0");
        where += ", line " + std::to_string(line) + ")";
        double lat, lon;
        if (!parse_route_value(value, lat, lon, why))
            return refuse(where + ": '" + value + "' is not deg*min,deg*min: " + why);
        if (route_point_is_empty(lat, lon)) {
            if (!first_empty) first_empty = w;
            continue;
        }
        if (std::fabs(lat) > 90 || std::fabs(lon) > 180)
            return refuse(where + ": '" + value + "' lies off the earth (latitude within 90, longitude within 180)");
        if (first_empty)
            return refuse(where + ": waypoint " + std::to_string(first_empty) +
                          " before it is empty; a route cannot continue after an empty waypoint");
        if (!waypoints.empty() && geo_distance_km(waypoints.back(), {lat, lon}) < 0.01)
            return refuse(where + ": the same point as waypoint " + std::to_string(w - 1) +
                          "; the leg between them has no course");
        waypoints.push_back({lat, lon});
    }
    if (waypoints.size() < 2)
        return refuse("route " + std::to_string(route) + " has " + std::to_string(waypoints.size()) +
                      " waypoint(s) before its first empty one; at least two are needed");
    return true;
}
