// libFuzzer target: arbitrary bytes as a route file. The check must never crash, must give
// every finding a reason, lines within the file, and counts that match its findings; the
// waypoints it reports must be what the units make of the value the profile call gives them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "display/route_value.h"
#include "platform/profile_reader.h"
#include "tools/route_check.h"

namespace {

// The first value of every route key in the [PPM] sections, found as the profile reader finds
// a key (names without regard to case, the first in file order), in one pass over the lines.
struct RouteValues {
    const char* begin[4][10] = {};
    const char* end[4][10] = {};
};

void first_route_values(const std::string& text, RouteValues& v) {
    bool in_ppm = false;
    for (size_t pos = 0; pos <= text.size();) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        const char *nb = nullptr, *ne = nullptr, *vb = nullptr, *ve = nullptr;
        ProfileLine kind = profile_line(text.data() + pos, text.data() + nl, &nb, &ne, &vb, &ve);
        pos = nl + 1;
        if (kind == ProfileLine::kSection) in_ppm = profile_name_is(nb, ne, "PPM");
        if (kind != ProfileLine::kKeyValue || !in_ppm || ne - nb != 6 || strncasecmp(nb, "ppm_", 4) != 0) continue;
        const int r = nb[4] - '0', w = nb[5] - '0';
        if (r < 0 || r > 3 || w < 1 || w > 9 || v.begin[r][w]) continue;
        v.begin[r][w] = vb;
        v.end[r][w] = ve;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Kept from one input to the next, so that each run does not allocate the text anew.
    static std::string text, value;
    text.assign(reinterpret_cast<const char*>(data), size);
    RouteFileCheck c = check_route_file(text, "fuzz", 600);
    int lines = 1;  // at most: every LF and every CR ends a line (UTF-16 or not)
    for (char ch : text) lines += ch == '\n' || ch == '\r';
    int errors = 0, warnings = 0;
    for (const CheckFinding& f : c.findings) {
        if (f.reason.empty() || f.line < 0 || f.line > lines || format_finding(f).empty()) std::abort();
        (f.severity == CheckSeverity::kError ? errors : warnings)++;
    }
    if (errors != c.errors || warnings != c.warnings) std::abort();
    for (int r = 0; r < 4; ++r)
        for (int w = 1; w <= 9; ++w) {
            char value[kRouteValueSize];
            profile_get_string(text.data(), text.size(), true, "PPM", route_key(r, w).c_str(), kRouteDefaultValue,
                               value, kRouteValueSize);
            double lat, lon;
            parse_route_value(value, &lat, &lon);
            if (!(lat == c.lat[r][w] || (std::isnan(lat) && std::isnan(c.lat[r][w])))) std::abort();
            if (!(lon == c.lon[r][w] || (std::isnan(lon) && std::isnan(c.lon[r][w])))) std::abort();
        }
    for (double v : c.settings)
        if (!std::isfinite(v)) std::abort();
    return 0;
}
