// Flight-plan import: the two .PLN forms parsed into waypoints with the line of each, and the
// route keys of q14_ppm.cfg rewritten line by line so that the rest of the file survives. The
// XML tree itself comes from read_plan_xml (pugixml natively, the browser's parser in the trainer).
#include "tools/import_pln.h"

#include <strings.h>

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tools/geo.h"
#include "tools/route_cfg.h"

namespace {

// ---- text encodings ------------------------------------------------------------------------

void append_utf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 (after its byte-order mark) to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(const std::string& b, size_t start, bool big_endian) {
    std::string out;
    auto unit = [&](size_t i) {
        auto hi = static_cast<unsigned char>(b[i + (big_endian ? 0 : 1)]);
        auto lo = static_cast<unsigned char>(b[i + (big_endian ? 1 : 0)]);
        return static_cast<uint32_t>(hi << 8 | lo);
    };
    for (size_t i = start; i + 1 < b.size(); i += 2) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < b.size()) {
            uint32_t v = unit(i + 2);
            if (v >= 0xDC00 && v < 0xE000) {
                append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                i += 2;
                continue;
            }
        }
        append_utf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    return out;
}

// The plan as 8-bit text: UTF-16 converted, a UTF-8 byte-order mark dropped.
bool plan_text(const std::string& bytes, std::string& text, std::string& error) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = utf16_to_utf8(bytes, 2, false);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        text = utf16_to_utf8(bytes, 2, true);
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = bytes.substr(3);
    } else {
        text = bytes;
    }
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        error = "byte " + std::to_string(nul) + " is a NUL character: not a text file (UTF-16 needs its byte-order mark)";
        return false;
    }
    return true;
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool same_nocase(const std::string& a, const char* b) {
    size_t n = std::char_traits<char>::length(b);
    return a.size() == n && strncasecmp(a.data(), b, n) == 0;
}

void skip_blanks(const char*& p) {
    while (*p == ' ' || *p == '\t') ++p;
}

// An unsigned decimal number (digits, optional fraction); strtod would also take signs,
// hexadecimal and "inf", none of which belongs in a plan's coordinate.
bool plain_number(const char*& p, double& out) {
    const char* s = p;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (*p == '.') {
        ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
    }
    if (p == s || (p == s + 1 && *s == '.')) {
        p = s;
        return false;
    }
    out = std::strtod(std::string(s, p).c_str(), nullptr);
    return true;
}

bool degree_mark(const char*& p) {
    if (*p == '*') return ++p, true;
    if (static_cast<unsigned char>(p[0]) == 0xC2 && static_cast<unsigned char>(p[1]) == 0xB0) return p += 2, true;
    if (static_cast<unsigned char>(p[0]) == 0xB0) return ++p, true;
    return false;
}

// ---- the XML form --------------------------------------------------------------------------

bool parse_world_position(const std::string& s, double& lat, double& lon, std::string& why) {
    const char* p = s.c_str();
    skip_blanks(p);
    if (!parse_pln_coordinate(p, false, lat, why)) return false;
    skip_blanks(p);
    if (*p != ',') return why = "no ',' after the latitude", false;
    ++p;
    skip_blanks(p);
    if (!parse_pln_coordinate(p, true, lon, why)) return false;
    skip_blanks(p);
    if (*p == ',') {  // the altitude, which the route does not keep
        ++p;
        skip_blanks(p);
        if (*p == '+' || *p == '-') ++p;
        double alt;
        if (!plain_number(p, alt)) return why = "the altitude after the longitude is not a number", false;
        skip_blanks(p);
    }
    if (*p != '\0') return why = std::string("unexpected '") + *p + "' at the end", false;
    return true;
}

PlnResult parse_xml(const std::string& text) {
    PlnResult r;
    r.form = "XML";
    PlnXmlPlan tree = read_plan_xml(text);
    if (!tree.ok) {
        r.error = tree.error;
        return r;
    }
    for (const PlnXmlWaypoint& w : tree.waypoints) {
        PlnWaypoint wp;
        wp.line = w.line;
        wp.ident = trim(w.ident);
        if (wp.ident.empty()) wp.ident = trim(w.icao_ident);
        wp.type = trim(w.type);
        std::string name = "waypoint " + std::to_string(r.waypoints.size() + 1) +
                           (wp.ident.empty() ? "" : " (" + wp.ident + ")");
        if (!w.has_position) {
            r.error = "line " + std::to_string(wp.line) + ": " + name + " has no <WorldPosition>";
            return r;
        }
        std::string why;
        if (!parse_world_position(w.position, wp.lat, wp.lon, why)) {
            r.error = "line " + std::to_string(w.position_line) + ": " + name + ": WorldPosition '" + trim(w.position) +
                      "' is not like N55\xC2\xB0 45' 30.00\",E37\xC2\xB0 36' 12.00\",+000500.00: " + why;
            return r;
        }
        r.waypoints.push_back(wp);
    }
    r.ok = true;
    return r;
}

// ---- the INI form --------------------------------------------------------------------------

std::vector<std::string> split_fields(const std::string& s) {
    std::vector<std::string> f;
    size_t b = 0;
    for (;;) {
        size_t c = s.find(',', b);
        f.push_back(trim(s.substr(b, c == std::string::npos ? std::string::npos : c - b)));
        if (c == std::string::npos) break;
        b = c + 1;
    }
    return f;
}

bool parse_ini_coordinate(const std::string& field, bool longitude, double& v, std::string& why) {
    const char* p = field.c_str();
    if (!parse_pln_coordinate(p, longitude, v, why)) return false;
    skip_blanks(p);
    if (*p != '\0') return why = std::string("unexpected '") + *p + "' after it", false;
    return true;
}

PlnResult parse_ini(const std::string& text) {
    PlnResult r;
    r.form = "INI";
    std::map<long, PlnWaypoint> by_number;
    bool in_plan = false, seen_plan = false;
    int line = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string ln = trim(text.substr(pos, nl - pos));
        pos = nl + 1;
        ++line;
        if (ln.empty() || ln[0] == ';') continue;
        std::string at = "line " + std::to_string(line) + ": ";
        if (ln[0] == '[') {
            size_t close = ln.find(']');
            if (close == std::string::npos) {
                r.error = at + "section header '" + ln + "' has no ']'";
                return r;
            }
            in_plan = same_nocase(trim(ln.substr(1, close - 1)), "flightplan");
            seen_plan = seen_plan || in_plan;
            continue;
        }
        size_t eq = ln.find('=');
        if (eq == std::string::npos) {
            r.error = at + "'" + ln + "' is neither a section header nor a key=value line";
            return r;
        }
        std::string key = trim(ln.substr(0, eq));
        if (!in_plan || key.size() < 9 || strncasecmp(key.c_str(), "waypoint.", 9) != 0) continue;
        std::string number = key.substr(9);
        char* end = nullptr;
        long n = std::strtol(number.c_str(), &end, 10);
        if (number.empty() || *end != '\0' || n < 0 || n > 9999 || !std::isdigit(static_cast<unsigned char>(number[0]))) {
            r.error = at + "'" + key + "' does not end in a waypoint number";
            return r;
        }
        if (by_number.count(n)) {
            r.error = at + key + " appears a second time (first on line " + std::to_string(by_number[n].line) + ")";
            return r;
        }
        std::vector<std::string> f = split_fields(ln.substr(eq + 1));
        if (f.size() < 7) {
            r.error = at + key + " has " + std::to_string(f.size()) +
                      " fields; expected 'region, ident, , ident, type, N46* 13.91', E6* 6.49', +001410.99,'";
            return r;
        }
        PlnWaypoint wp;
        wp.line = line;
        wp.ident = !f[1].empty() ? f[1] : f[3];
        wp.type = f[4];
        std::string why;
        if (!parse_ini_coordinate(f[5], false, wp.lat, why)) {
            r.error = at + key + ": latitude '" + f[5] + "' is not like N46* 13.91': " + why;
            return r;
        }
        if (!parse_ini_coordinate(f[6], true, wp.lon, why)) {
            r.error = at + key + ": longitude '" + f[6] + "' is not like E6* 6.49': " + why;
            return r;
        }
        by_number[n] = wp;
    }
    if (!seen_plan) {
        r.error = "no [flightplan] section: neither an XML nor an INI flight plan";
        return r;
    }
    for (auto& [n, wp] : by_number) r.waypoints.push_back(wp);
    r.ok = true;
    return r;
}

}  // namespace

bool parse_pln_coordinate(const char*& p, bool longitude, double& degrees, std::string& why) {
    skip_blanks(p);
    char h = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    char pos = longitude ? 'E' : 'N', neg = longitude ? 'W' : 'S';
    if (h != pos && h != neg)
        return why = std::string("no ") + (longitude ? "E or W" : "N or S") + " at the start", false;
    ++p;
    skip_blanks(p);
    double d, m, s = 0;
    if (!plain_number(p, d)) return why = "no degrees after the hemisphere letter", false;
    skip_blanks(p);
    if (!degree_mark(p)) return why = "no degree mark after the degrees", false;
    skip_blanks(p);
    if (!plain_number(p, m)) return why = "no minutes after the degree mark", false;
    skip_blanks(p);
    if (*p != '\'') return why = "no ' after the minutes", false;
    ++p;
    const char* before_seconds = p;
    skip_blanks(p);
    if (plain_number(p, s)) {
        skip_blanks(p);
        if (*p != '"') return why = "no \" after the seconds", false;
        ++p;
    } else {
        p = before_seconds;
    }
    double limit = longitude ? 180 : 90;
    if (m >= 60 || s >= 60) return why = "minutes and seconds must be below 60", false;
    double v = d + m / 60 + s / 3600;
    if (v > limit) return why = std::string(longitude ? "longitude" : "latitude") + " beyond " + (longitude ? "180" : "90") + " degrees", false;
    degrees = h == neg ? -v : v;
    return true;
}

PlnResult parse_pln(const std::string& bytes) {
    PlnResult r;
    std::string text;
    if (!plan_text(bytes, text, r.error)) return r;
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        r.error = "the file is empty";
        return r;
    }
    r = text[first] == '<' ? parse_xml(text) : parse_ini(text);
    if (r.ok && r.waypoints.empty()) {
        r.ok = false;
        r.error = r.form == "XML" ? "the flight plan lists no <ATCWaypoint>" : "the [flightplan] section lists no waypoint.N";
    }
    if (!r.ok) r.waypoints.clear();
    return r;
}

std::string plan_waypoint_name(const PlnWaypoint& w) { return w.ident.empty() ? "(unnamed)" : w.ident; }

bool plan_route_waypoints(const PlnResult& plan, std::vector<PlnWaypoint>& kept, std::vector<std::string>& notes,
                          std::string& error) {
    kept.clear();
    notes.clear();
    for (const PlnWaypoint& w : plan.waypoints) {
        if (!kept.empty() && geo_distance_km({kept.back().lat, kept.back().lon}, {w.lat, w.lon}) < 0.01) {
            notes.push_back("dropped " + plan_waypoint_name(w) + " (line " + std::to_string(w.line) + "): the same place as " +
                            plan_waypoint_name(kept.back()) + " before it");
            continue;
        }
        kept.push_back(w);
    }
    if (kept.size() < 2) {
        error = "the plan has " + std::to_string(kept.size()) + " distinct waypoint(s); a route needs at least two";
        return false;
    }
    if (kept.size() > 9) {
        std::string left;
        for (size_t i = 9; i < kept.size(); ++i)
            left += (i > 9 ? ", " : "") + plan_waypoint_name(kept[i]) + " (line " + std::to_string(kept[i].line) + ")";
        notes.push_back("left out " + std::to_string(kept.size() - 9) + " waypoint(s) after the ninth: " + left);
        kept.resize(9);
    }
    return true;
}

std::string format_route_value(double lat, double lon) {
    auto one = [](double x) {
        // Ten-thousandths of a minute, rounded once, so minutes never print as 60.
        long long n = std::llround(std::fabs(x) * 600000.0);
        long long d = n / 600000, m = n % 600000;
        bool south_or_west = x < 0 && n > 0;
        char buf[48];
        if (south_or_west && d == 0) std::snprintf(buf, sizeof buf, "0*-%lld.%04lld", m / 10000, m % 10000);
        else std::snprintf(buf, sizeof buf, "%s%lld*%lld.%04lld", south_or_west ? "-" : "", d, m / 10000, m % 10000);
        return std::string(buf);
    };
    return one(lat) + "," + one(lon);
}

CfgEdit cfg_set_route(const std::string& original, int route, const std::vector<GeoPoint>& waypoints) {
    CfgEdit r;
    if (route < 0 || route > 3) {
        r.error = "route " + std::to_string(route) + " does not exist (routes are 0 to 3)";
        return r;
    }
    if (waypoints.size() > 9) {
        r.error = "a route holds nine waypoints, not " + std::to_string(waypoints.size());
        return r;
    }
    const char* eol = original.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    // Lines without their ends; a final line end is remembered, not kept as an empty line.
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < original.size()) {
        size_t nl = original.find('\n', pos);
        if (nl == std::string::npos) nl = original.size();
        std::string ln = original.substr(pos, nl - pos);
        if (!ln.empty() && ln.back() == '\r') ln.pop_back();
        lines.push_back(ln);
        pos = nl + 1;
    }
    bool ends_with_eol = !original.empty() && original.back() == '\n';

    std::string values[10];
    for (int w = 1; w <= 9; ++w)
        values[w] = static_cast<size_t>(w) <= waypoints.size()
                        ? format_route_value(waypoints[static_cast<size_t>(w) - 1].lat, waypoints[static_cast<size_t>(w) - 1].lon)
                        : "99*0,999*0";

    bool present[10] = {};
    bool in_ppm = false;
    long first_ppm_header = -1, first_ppm_last = -1;  // the first [PPM] section's header and last content line
    bool in_first_ppm = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string t = trim(lines[i]);
        if (!t.empty() && t[0] == '[') {
            size_t close = t.find(']');
            if (close != std::string::npos) {
                in_ppm = same_nocase(trim(t.substr(1, close - 1)), "PPM");
                in_first_ppm = in_ppm && first_ppm_header < 0;
                if (in_first_ppm) first_ppm_header = first_ppm_last = static_cast<long>(i);
                continue;
            }
        }
        if (in_first_ppm && !t.empty()) first_ppm_last = static_cast<long>(i);
        if (!in_ppm || t.empty() || t[0] == ';') continue;
        size_t eq = lines[i].find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(lines[i].substr(0, eq));
        for (int w = 1; w <= 9; ++w) {
            if (!same_nocase(key, route_key(route, w).c_str())) continue;
            size_t v = eq + 1;
            while (v < lines[i].size() && (lines[i][v] == ' ' || lines[i][v] == '\t')) ++v;
            lines[i] = lines[i].substr(0, v) + values[w];
            present[w] = true;
            ++r.replaced;
        }
    }

    std::vector<std::string> missing;
    for (int w = 1; w <= 9; ++w)
        if (!present[w]) missing.push_back(route_key(route, w) + "=" + values[w]);
    if (first_ppm_header >= 0) {
        // Lines added after the file's last line need a line end before them and after them.
        if (!missing.empty() && static_cast<size_t>(first_ppm_last) + 1 == lines.size()) ends_with_eol = true;
        lines.insert(lines.begin() + first_ppm_last + 1, missing.begin(), missing.end());
    } else {
        if (!lines.empty() && !trim(lines.back()).empty()) lines.push_back("");
        lines.push_back("[PPM]");
        lines.insert(lines.end(), missing.begin(), missing.end());
        r.section_added = true;
        ends_with_eol = true;
    }
    r.added = static_cast<int>(missing.size());

    for (size_t i = 0; i < lines.size(); ++i) {
        r.text += lines[i];
        if (i + 1 < lines.size() || ends_with_eol) r.text += eol;
    }
    r.ok = true;
    return r;
}
