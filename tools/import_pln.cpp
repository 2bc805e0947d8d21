// Flight-plan import: the two .PLN forms parsed into waypoints with the line of each, and the
// route keys of q14_ppm.cfg rewritten line by line so that the rest of the file survives. The
// XML tree itself comes from read_plan_xml (pugixml natively, the browser's parser in the trainer).
#include "tools/import_pln.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <queue>
#include <string_view>
#include <utility>

#include "nav/settings_value.h"
#include "tools/route_cfg.h"
#include "tools/route_file_form.h"
#include "tools/text_diff.h"

namespace {

using M = MessageId;
MessageValue val(const char* name, std::string text) { return message_value(name, std::move(text)); }
MessageValue val(const char* name, const Message& part) { return message_value(name, part); }

// Sets an error message in English and as its identifier; false, for returning.
bool fail(std::string& error, Message& out, const Message& m) {
    error = message_text(m);
    out = m;
    return false;
}

// A coordinate with its reason as a message (parse_pln_coordinate words it in English).
bool coordinate(const char*& p, bool longitude, double& degrees, Message& why);

// ---- text encodings ------------------------------------------------------------------------

// `cp` in UTF-8 at `o` (room for four bytes); the byte after it.
char* put_utf8(char* o, uint32_t cp) {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | (cp >> 6));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

// UTF-16 (after its byte-order mark) to UTF-8; a lone surrogate becomes U+FFFD. Written into
// room for the most it can take (three bytes a character), then cut to what it took.
std::string utf16_to_utf8(const std::string& b, size_t start, bool big_endian) {
    std::string out(b.size() > start ? (b.size() - start) / 2 * 3 : 0, '\0');
    char* o = out.data();
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
                o = put_utf8(o, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                i += 2;
                continue;
            }
        }
        o = put_utf8(o, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

// Windows-1252 to UTF-8: Latin-1 with the printable characters of 0x80..0x9F (the euro sign,
// typographic quotes and the like); the five unassigned codes become U+FFFD. ASCII is copied
// in runs; the rest written into room for the most it can take.
std::string cp1252_to_utf8(const std::string& b) {
    static const uint16_t k80[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                     0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out(b.size() * 3, '\0');
    char* o = out.data();
    for (size_t i = 0; i < b.size();) {
        const size_t ascii = profile_ascii_prefix(std::string_view(b).substr(i));
        if (ascii) std::memcpy(o, b.data() + i, ascii);
        o += ascii;
        i += ascii;
        if (i == b.size()) break;
        auto c = static_cast<unsigned char>(b[i++]);
        o = put_utf8(o, c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c);
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

bool valid_utf8(const std::string& b) {
    for (size_t i = 0; i < b.size();) {
        i += profile_ascii_prefix(std::string_view(b).substr(i));
        if (i == b.size()) break;
        auto c = static_cast<unsigned char>(b[i]);
        size_t n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (n == 9 || (n == 1 && c < 0xC2) || i + n >= b.size() + (n ? 0 : 1)) return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(b[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

// The encoding an XML declaration names ("" when none), lower case.
std::string declared_encoding(const std::string& b) {
    if (b.compare(0, 5, "<?xml") != 0) return "";
    size_t end = b.find("?>");
    size_t at = b.find("encoding", 0);
    if (end == std::string::npos || at == std::string::npos || at > end) return "";
    size_t q = b.find_first_of("\"'", at);
    if (q == std::string::npos || q > end) return "";
    size_t q2 = b.find(b[q], q + 1);
    if (q2 == std::string::npos || q2 > end) return "";
    std::string e = b.substr(q + 1, q2 - q - 1);
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

// The plan as UTF-8 text: UTF-16 converted, a UTF-8 byte-order mark dropped, an 8-bit plan
// (declared ISO-8859-1 or windows-1252, or simply not UTF-8) converted from windows-1252.
bool plan_text(const std::string& bytes, std::string& text, std::string& error, Message& message) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = utf16_to_utf8(bytes, 2, false);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        text = utf16_to_utf8(bytes, 2, true);
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = bytes.substr(3);
    } else {
        const std::string enc = declared_encoding(bytes);
        const bool eight_bit = enc == "iso-8859-1" || enc == "latin1" || enc == "latin-1" || enc == "windows-1252" ||
                               enc == "cp1252" || enc == "us-ascii";
        if (!enc.empty() && !eight_bit && enc != "utf-8" && enc != "utf8") {
            return fail(error, message, ::message(M::kPlanEncoding, {val("encoding", enc)}));
        }
        text = eight_bit || (enc.empty() && !valid_utf8(bytes)) ? cp1252_to_utf8(bytes) : bytes;
    }
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        return fail(error, message, ::message(M::kPlanNul, {val("byte", std::to_string(nul))}));
    }
    return true;
}

// `s` without the blanks at its ends: a view, for looking at a line, and a copy.
std::string_view trim_view(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}
std::string trim(const std::string& s) { return std::string(trim_view(s)); }

bool same_nocase(std::string_view a, const char* b) {
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

bool parse_world_position(const std::string& s, double& lat, double& lon, Message& why) {
    // Some planners break the value over lines: any white space counts as a blank.
    std::string flat = s;
    for (char& c : flat)
        if (std::isspace(static_cast<unsigned char>(c))) c = ' ';
    const char* p = flat.c_str();
    skip_blanks(p);
    if (!coordinate(p, false, lat, why)) return false;
    skip_blanks(p);
    if (*p != ',') return why = message(M::kCoordNoComma), false;
    ++p;
    skip_blanks(p);
    if (!coordinate(p, true, lon, why)) return false;
    skip_blanks(p);
    if (*p == ',') {  // the altitude, which the route does not keep
        ++p;
        skip_blanks(p);
        if (*p == '+' || *p == '-') ++p;
        double alt;
        if (!plain_number(p, alt)) return why = message(M::kCoordAltitude), false;
        skip_blanks(p);
    }
    if (*p != '\0') return why = message(M::kCoordEnd, {val("text", std::string(1, *p))}), false;
    return true;
}

PlnResult parse_xml(const std::string& text) {
    PlnResult r;
    r.form = "XML";
    PlnXmlPlan tree = read_plan_xml(text);
    if (!tree.ok) {
        r.error = tree.error;
        r.message = tree.message;
        return r;
    }
    for (const PlnXmlWaypoint& w : tree.waypoints) {
        PlnWaypoint wp;
        wp.line = w.line;
        wp.ident = trim(w.ident);
        if (wp.ident.empty()) wp.ident = trim(w.icao_ident);
        wp.type = trim(w.type);
        wp.name = trim(w.descr);
        if (wp.name.empty()) wp.name = trim(w.icao_name);
        const std::string number = std::to_string(r.waypoints.size() + 1);
        const MessageValue name = val("name", wp.ident.empty() ? message(M::kPlanWaypoint, {val("number", number)})
                                                               : message(M::kPlanWaypointIdent,
                                                                         {val("number", number), val("ident", wp.ident)}));
        if (!w.has_position) {
            fail(r.error, r.message, message(w.has_icao ? M::kPlanIcaoOnly : M::kPlanNoPosition,
                                             {val("line", std::to_string(wp.line)), name}));
            return r;
        }
        Message why;
        if (!parse_world_position(trim(w.position), wp.lat, wp.lon, why)) {
            fail(r.error, r.message, message(M::kPlanBadPosition, {val("line", std::to_string(w.position_line)), name,
                                                                   val("position", trim(w.position)), val("why", why)}));
            return r;
        }
        r.waypoints.push_back(wp);
    }
    r.ok = true;
    return r;
}

// ---- the INI form --------------------------------------------------------------------------

void split_fields(std::string_view s, std::vector<std::string_view>& f) {
    f.clear();
    size_t b = 0;
    for (;;) {
        size_t c = s.find(',', b);
        f.push_back(trim_view(s.substr(b, c == std::string_view::npos ? std::string_view::npos : c - b)));
        if (c == std::string_view::npos) break;
        b = c + 1;
    }
}

bool parse_ini_coordinate(std::string_view field, bool longitude, double& v, Message& why) {
    thread_local std::string text;  // the field with its terminating NUL, its storage kept
    text.assign(field);
    const char* p = text.c_str();
    if (!coordinate(p, longitude, v, why)) return false;
    skip_blanks(p);
    if (*p != '\0') return why = message(M::kCoordAfter, {val("text", std::string(1, *p))}), false;
    return true;
}

PlnResult parse_ini(const std::string& text) {
    PlnResult r;
    r.form = "INI";
    std::map<long, PlnWaypoint> by_number;
    std::vector<std::string_view> f;  // a waypoint line's fields, its storage kept for the next
    f.reserve(16);
    bool in_plan = false, seen_plan = false;
    int line = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        const std::string_view ln = trim_view(std::string_view(text).substr(pos, nl - pos));
        pos = nl + 1;
        ++line;
        if (ln.empty() || ln[0] == ';') continue;
        auto at = [line] { return val("line", std::to_string(line)); };
        if (ln[0] == '[') {
            size_t close = ln.find(']');
            if (close == std::string_view::npos) {
                fail(r.error, r.message, message(M::kPlanHeaderOpen, {at(), val("text", std::string(ln))}));
                return r;
            }
            in_plan = same_nocase(trim_view(ln.substr(1, close - 1)), "flightplan");
            seen_plan = seen_plan || in_plan;
            continue;
        }
        size_t eq = ln.find('=');
        if (eq == std::string_view::npos) {
            fail(r.error, r.message, message(M::kPlanNotKeyValue, {at(), val("text", std::string(ln))}));
            return r;
        }
        const std::string_view key_view = trim_view(ln.substr(0, eq));
        if (!in_plan || key_view.size() < 9 || strncasecmp(key_view.data(), "waypoint.", 9) != 0) continue;
        const std::string key(key_view);
        std::string number = key.substr(9);
        char* end = nullptr;
        long n = std::strtol(number.c_str(), &end, 10);
        if (number.empty() || *end != '\0' || n < 0 || n > 9999 || !std::isdigit(static_cast<unsigned char>(number[0]))) {
            fail(r.error, r.message, message(M::kPlanKeyNoNumber, {at(), val("key", key)}));
            return r;
        }
        if (by_number.count(n)) {
            fail(r.error, r.message,
                 message(M::kPlanKeyAgain, {at(), val("key", key), val("first", std::to_string(by_number[n].line))}));
            return r;
        }
        split_fields(ln.substr(eq + 1), f);
        if (f.size() < 7) {
            fail(r.error, r.message, message(M::kPlanFields, {at(), val("key", key), val("count", std::to_string(f.size()))}));
            return r;
        }
        PlnWaypoint wp;
        wp.line = line;
        wp.ident = !f[1].empty() ? f[1] : f[3];
        if (f[2] != wp.ident) wp.name = f[2];
        wp.type = f[4];
        Message why;
        if (!parse_ini_coordinate(f[5], false, wp.lat, why)) {
            fail(r.error, r.message, message(M::kPlanBadLat, {at(), val("key", key), val("text", std::string(f[5])), val("why", why)}));
            return r;
        }
        if (!parse_ini_coordinate(f[6], true, wp.lon, why)) {
            fail(r.error, r.message, message(M::kPlanBadLon, {at(), val("key", key), val("text", std::string(f[6])), val("why", why)}));
            return r;
        }
        by_number[n] = wp;
    }
    if (!seen_plan) {
        fail(r.error, r.message, message(M::kPlanNoIniSection));
        return r;
    }
    for (auto& [n, wp] : by_number) r.waypoints.push_back(wp);
    r.ok = true;
    return r;
}

bool coordinate(const char*& p, bool longitude, double& degrees, Message& why) {
    skip_blanks(p);
    char h = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    char pos = longitude ? 'E' : 'N', neg = longitude ? 'W' : 'S';
    if (h != pos && h != neg)
        return why = message(longitude ? M::kCoordNoEW : M::kCoordNoNS), false;
    ++p;
    skip_blanks(p);
    double d, m = 0, s = 0;
    if (!plain_number(p, d)) return why = message(M::kCoordNoDegrees), false;
    skip_blanks(p);
    const bool marked = degree_mark(p);
    const char* after_degrees = p;
    skip_blanks(p);
    if (plain_number(p, m)) {
        if (!marked) return why = message(M::kCoordNoDegreeMark), false;
        skip_blanks(p);
        if (*p != '\'') return why = message(M::kCoordNoMinuteMark), false;
        ++p;
        const char* before_seconds = p;
        skip_blanks(p);
        if (plain_number(p, s)) {
            skip_blanks(p);
            if (*p != '"') return why = message(M::kCoordNoSecondMark), false;
            ++p;
        } else {
            p = before_seconds;
        }
    } else {
        // Decimal degrees ("N41.520000\xC2\xB0"), as some planners write them: nothing follows
        // but the end or the next field.
        p = after_degrees;
        skip_blanks(p);
        if (*p != ',' && *p != '\0')
            return why = message(marked ? M::kCoordNoMinutes : M::kCoordNoDegreeMark), false;
    }
    double limit = longitude ? 180 : 90;
    // 60 seconds or minutes, as a planner rounding 59.996 writes them, carry over; more is a slip.
    if (m > 60 || s > 60) return why = message(M::kCoordOver60), false;
    double v = d + m / 60 + s / 3600;
    if (v > limit) return why = message(longitude ? M::kCoordBeyondLon : M::kCoordBeyondLat), false;
    degrees = h == neg ? -v : v;
    return true;
}

}  // namespace

bool parse_pln_coordinate(const char*& p, bool longitude, double& degrees, std::string& why) {
    Message m;
    const bool ok = coordinate(p, longitude, degrees, m);
    if (!ok) why = message_text(m);
    return ok;
}

PlnResult parse_pln(const std::string& bytes) {
    PlnResult r;
    std::string text;
    if (!plan_text(bytes, text, r.error, r.message)) return r;
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        fail(r.error, r.message, message(M::kPlanEmpty));
        return r;
    }
    r = text[first] == '<' ? parse_xml(text) : parse_ini(text);
    if (r.ok && r.waypoints.empty()) {
        r.ok = fail(r.error, r.message, message(r.form == "XML" ? M::kPlanNoAtcWaypoint : M::kPlanNoIniWaypoint));
    }
    if (!r.ok) r.waypoints.clear();
    return r;
}

std::string pln_name(const PlnWaypoint& w) { return w.ident.empty() ? message_text(message(M::kUnnamed)) : w.ident; }

std::string pln_comment(const PlnWaypoint& w) {
    std::string c = pln_name(w);
    if (!w.name.empty() && w.name != w.ident) c += " " + w.name;
    if (!w.type.empty()) c += " (" + w.type + ")";
    return c;
}

std::string format_route_value(double lat, double lon) {
    char buf[100];
    auto one = [&buf](size_t at, double x) {
        // Ten-thousandths of a minute, rounded once, so minutes never print as 60.
        long long n = std::llround(std::fabs(x) * 600000.0);
        long long d = n / 600000, m = n % 600000;
        bool south_or_west = x < 0 && n > 0;
        const int k = south_or_west && d == 0
                          ? std::snprintf(buf + at, 48, "0*-%lld.%04lld", m / 10000, m % 10000)
                          : std::snprintf(buf + at, 48, "%s%lld*%lld.%04lld", south_or_west ? "-" : "", d, m / 10000, m % 10000);
        return at + static_cast<size_t>(std::min(k, 47));
    };
    size_t n = one(0, lat);
    buf[n++] = ',';
    n = one(n, lon);
    return std::string(buf, n);
}

CfgEdit cfg_set_route(const std::string& original, int route, const std::vector<GeoPoint>& waypoints,
                      const std::vector<std::string>& comments) {
    CfgEdit r;
    if (route < 0 || route > 3) {
        fail(r.error, r.message, message(M::kRouteNone, {val("route", std::to_string(route))}));
        return r;
    }
    if (waypoints.size() > 9) {
        fail(r.error, r.message, message(M::kRouteOverNine, {val("count", std::to_string(waypoints.size()))}));
        return r;
    }
    const char* eol = original.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    // Lines without their ends; a final line end is remembered, not kept as an empty line.
    const std::vector<std::string_view> lines = split_line_views(original);
    bool ends_with_eol = !original.empty() && original.back() == '\n';

    std::string values[10], notes[10];
    for (int w = 1; w <= 9; ++w) {
        const size_t i = static_cast<size_t>(w) - 1;
        values[w] = i < waypoints.size() ? format_route_value(waypoints[i].lat, waypoints[i].lon) : "99*0,999*0";
        std::string c = i < comments.size() ? comments[i] : "";
        for (char& ch : c)
            if (static_cast<unsigned char>(ch) < 0x20) ch = ' ';  // one line, whatever the plan held
        notes[w] = c.empty() ? "" : "; " + c;
    }
    auto is_comment = [](std::string_view ln) {
        const std::string_view t = trim_view(ln);
        return !t.empty() && t[0] == ';';
    };

    // Each header line's section, once: 1 for the first [PPM] section (the only one the units
    // read), 2 for any other. The first [PPM] section's last content line is where missing
    // keys go.
    std::vector<unsigned char> header(lines.size(), 0);
    long first_ppm_last = -1;
    {
        bool in_first = false, seen = false;
        std::string name;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (route_file_header(lines[i], name)) {
                in_first = !seen && same_nocase(name, "PPM");
                seen = seen || in_first;
                header[i] = in_first ? 1 : 2;
                if (in_first) first_ppm_last = static_cast<long>(i);
                continue;
            }
            if (in_first && !trim_view(lines[i]).empty()) first_ppm_last = static_cast<long>(i);
        }
    }

    // Which keys of the route stand in the first [PPM] section, and on which lines.
    bool present[10] = {};
    std::vector<int> key_of(lines.size(), 0);
    std::string keys[10];
    for (int w = 1; w <= 9; ++w) keys[w] = route_key(route, w);
    bool in_ppm = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (header[i]) {
            in_ppm = header[i] == 1;
            continue;
        }
        const std::string_view t = trim_view(lines[i]);
        // A key line without '=' is a key all the same: the units find it and read its default.
        const size_t eq = lines[i].find('=');
        if (!in_ppm || t.empty() || t[0] == ';') continue;
        const std::string_view key = eq == std::string::npos ? t : trim_view(lines[i].substr(0, eq));
        for (int w = 1; w <= 9; ++w)
            if (same_nocase(key, keys[w].c_str())) key_of[i] = w, present[w] = true;
    }

    // The new file's lines: views into the old file's text, the notes and values above, and
    // the lines made here, kept end to end in one string reserved for the most they can take
    // (so that it never moves).
    std::vector<std::string_view> out;
    out.reserve(lines.size() + 2 * 9 + 2);  // every line, and each waypoint with its note and the header added
    std::string key_eq[10];  // "ppm_rw="
    for (int w = 1; w <= 9; ++w) key_eq[w] = keys[w] + "=";
    size_t room = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        if (key_of[i]) room += 2 * (lines[i].size() + 1) + values[key_of[i]].size();
    for (int w = 1; w <= 9; ++w) room += key_eq[w].size() + values[w].size();
    std::string made;
    made.reserve(room);
    auto make = [&made](std::string_view before, std::string_view value) -> std::string_view {
        const size_t at = made.size();
        made.append(before).append(value);
        return std::string_view(made).substr(at);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const int w = key_of[i]) {
            const size_t eq = lines[i].find('=');
            std::string_view line = lines[i];
            if (eq == std::string_view::npos) line = make(trim_view(lines[i]), "=");
            size_t v = line.find('=') + 1;
            while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
            // The comment directly above a rewritten key described the old waypoint.
            const bool real = static_cast<size_t>(w) <= waypoints.size();
            const std::string_view note = real ? std::string_view(notes[w]) : std::string_view("; (empty)");
            if (!out.empty() && is_comment(out.back()) && key_of[i - 1] == 0) {
                if (!note.empty()) out.back() = note;
                else out.pop_back();
            } else if (real && !note.empty()) {
                out.push_back(note);
            }
            out.push_back(make(line.substr(0, v), values[w]));
            ++r.replaced;
        } else {
            out.push_back(lines[i]);
        }
        if (static_cast<long>(i) == first_ppm_last) {
            const size_t before = out.size();
            for (int w = 1; w <= 9; ++w) {
                if (present[w]) continue;
                if (static_cast<size_t>(w) <= waypoints.size() && !notes[w].empty()) out.push_back(notes[w]);
                out.push_back(make(key_eq[w], values[w]));
                ++r.added;
            }
            // Lines added after the file's last line need a line end before them and after them.
            if (out.size() != before && i + 1 == lines.size()) ends_with_eol = true;
        }
    }
    if (first_ppm_last < 0) {
        if (!out.empty() && !trim_view(out.back()).empty()) out.push_back("");
        out.push_back("[PPM]");
        for (int w = 1; w <= 9; ++w) {
            if (static_cast<size_t>(w) <= waypoints.size() && !notes[w].empty()) out.push_back(notes[w]);
            out.push_back(make(key_eq[w], values[w]));
            ++r.added;
        }
        r.section_added = true;
        ends_with_eol = true;
    }

    size_t length = 0;
    for (const std::string_view line : out) length += line.size() + 2;
    r.text.reserve(length);
    for (size_t i = 0; i < out.size(); ++i) {
        r.text += out[i];
        if (i + 1 < out.size() || ends_with_eol) r.text += eol;
    }
    r.ok = true;
    return r;
}

std::vector<size_t> choose_route_points(const std::vector<PlnWaypoint>& plan, double speed_kmh, bool first_nine,
                                        std::vector<PlnDrop>& dropped, std::string* unflyable,
                                        Message* unflyable_message) {
    auto at = [&](size_t i) { return GeoPoint{plan[i].lat, plan[i].lon}; };
    auto name = [&](const char* value, size_t i) {
        return plan[i].ident.empty() ? val(value, message(M::kPlanWaypoint, {val("number", std::to_string(i + 1))}))
                                     : val(value, plan[i].ident);
    };
    auto km = [](double v) {
        char b[32];
        std::snprintf(b, sizeof b, "%.1f", v);
        return val("km", b);
    };
    // A waypoint left out, why in English and as a message.
    auto drop = [&](size_t i, const Message& why, bool past_ninth, PlnDropKind kind) {
        dropped.push_back({i, message_text(why), past_ninth, kind, why});
    };
    if (unflyable) unflyable->clear();
    std::vector<size_t> kept;
    kept.reserve(plan.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        if (!kept.empty() && geo_distance_km(at(kept.back()), at(i)) < 0.01) {
            drop(i, message(M::kDropSamePlace, {name("from", kept.back())}), false, PlnDropKind::kSamePlace);
            continue;
        }
        kept.push_back(i);
    }
    if (kept.size() < 2) return kept;
    // The kept points as a list linked both ways (positions into `kept`; m stands for the end),
    // so that a point goes in constant time whatever the plan's length.
    const size_t m = kept.size();
    std::vector<size_t> prev(m), next(m);
    for (size_t k = 0; k < m; ++k) prev[k] = k - 1, next[k] = k + 1;
    size_t count = m;
    auto unlink = [&](size_t k) {
        if (k > 0) next[prev[k]] = next[k];
        if (next[k] < m) prev[next[k]] = prev[k];
        --count;
    };
    // The lead before the turn at position k, from the leg before it to the one after it. At
    // the destination the unit turns towards the empty entry after it, any way at all: the
    // largest lead.
    const char* bank_default = kSettingsKeys[kSetBankTime].default_text;  // the plan brings no route file
    const double bank_time_s = settings_number(bank_default, bank_default);
    auto lead_at = [&](size_t k) {
        if (next[k] >= m) return unit_turn_lead_km(110, speed_kmh, bank_time_s);
        double turn = geo_angle_diff(geo_course_deg(at(kept[prev[k]]), at(kept[k])),
                                     geo_course_deg(at(kept[k]), at(kept[next[k]])));
        return unit_turn_lead_km(turn, speed_kmh, bank_time_s);
    };
    // Legs too short to fly, from the departure on; the departure and the destination stay.
    for (size_t k = next[0]; k < m;) {
        const double leg = geo_distance_km(at(kept[prev[k]]), at(kept[k]));
        const double need = lead_at(k) + 1;
        if (leg >= need) {
            k = next[k];
            continue;
        }
        // Beside the destination the point before it goes, unless that is the departure.
        const bool at_destination = next[k] >= m;
        MessageValue need_km = km(need);
        need_km.name = "need";
        const Message why = at_destination ? message(M::kDropShortLegEnd, {km(leg), name("to", kept[k]), need_km})
                                           : message(M::kDropShortLeg, {km(leg), name("from", kept[prev[k]]), need_km});
        if (at_destination && prev[k] == 0) {
            const Message m = message(M::kUnflyable, {name("from", kept[0]), name("to", kept[k]), val("why", why)});
            if (unflyable) *unflyable = message_text(m);
            if (unflyable_message) *unflyable_message = m;
            break;
        }
        const size_t victim = at_destination ? prev[k] : k;
        drop(kept[victim], why, false, PlnDropKind::kUnflyable);
        unlink(victim);
        k = prev[victim] > 0 ? prev[victim] : next[victim];
    }
    std::vector<size_t> left;
    left.reserve(count);
    for (size_t k = 0; k < m; k = next[k]) left.push_back(kept[k]);
    if (left.size() <= 9) return left;
    if (first_nine) {
        for (size_t k = 9; k < left.size(); ++k) drop(left[k], message(M::kDropPastNinth), true, PlnDropKind::kPastNinth);
        left.resize(9);
        return left;
    }
    // Then the points whose loss changes the route least, the nearest the line between their
    // neighbours first (the earlier of equals): a heap of candidates, each retired when a
    // neighbour goes and it is weighed anew.
    struct Candidate {
        double off;
        size_t k;
        unsigned version;
        bool operator<(const Candidate& o) const { return off != o.off ? off > o.off : k > o.k; }
    };
    std::vector<unsigned> version(m, 0);
    std::priority_queue<Candidate> heap;
    auto weigh = [&](size_t k) {
        if (k == 0 || next[k] >= m) return;
        heap.push({std::fabs(geo_cross_track_km(at(kept[prev[k]]), at(kept[next[k]]), at(kept[k]))), k, ++version[k]});
    };
    for (size_t k = next[0]; k < m; k = next[k]) weigh(k);
    while (count > 9) {
        const Candidate c = heap.top();
        heap.pop();
        if (c.version != version[c.k]) continue;
        const size_t k = c.k;
        drop(kept[k], message(M::kDropLeastChange, {km(c.off), name("from", kept[prev[k]]), name("to", kept[next[k]])}),
             false, PlnDropKind::kLeastChange);
        version[k] = 0xFFFFFFFFu;
        unlink(k);
        weigh(prev[k]);
        weigh(next[k]);
    }
    std::vector<size_t> chosen;
    for (size_t k = 0; k < m; k = next[k]) chosen.push_back(kept[k]);
    return chosen;
}

CfgEdit pln_set_route(const std::string& cfg_text, int route, const std::vector<PlnWaypoint>& plan,
                      const std::vector<size_t>& chosen) {
    std::vector<GeoPoint> points;
    std::vector<std::string> comments;
    for (size_t i : chosen) {
        points.push_back({plan[i].lat, plan[i].lon});
        comments.push_back(pln_comment(plan[i]));
    }
    return cfg_set_route(cfg_text, route, points, comments);
}
