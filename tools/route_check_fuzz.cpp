// libFuzzer target: arbitrary bytes as a route file. The check must never crash, must give
// every finding a reason, lines within the file, and counts that match its findings; the
// waypoints it reports must be what the units make of the value the profile call gives them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/route_value.h"
#include "platform/profile_reader.h"
#include "tools/route_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Kept from one input to the next, so that each run does not allocate the text anew.
    static std::string text;
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
    // The file read once, then each key looked up as the profile call looks it up.
    const std::vector<ProfileEntry> entries = profile_entries(profile_decode(text.data(), text.size()).text);
    for (int r = 0; r < 4; ++r)
        for (int w = 1; w <= 9; ++w) {
            char value[kRouteValueSize];
            profile_get_string_in(&entries, "PPM", route_key(r, w).c_str(), kRouteDefaultValue, value, kRouteValueSize);
            double lat, lon;
            parse_route_value(value, &lat, &lon);
            if (!(lat == c.lat[r][w] || (std::isnan(lat) && std::isnan(c.lat[r][w])))) std::abort();
            if (!(lon == c.lon[r][w] || (std::isnan(lon) && std::isnan(c.lon[r][w])))) std::abort();
        }
    for (double v : c.settings)
        if (!std::isfinite(v)) std::abort();
    return 0;
}
