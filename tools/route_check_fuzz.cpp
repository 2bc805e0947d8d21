// libFuzzer target: arbitrary bytes as a route file. The check must never crash, must give
// every finding a reason, lines within the file, and counts that match its findings; the
// waypoints it reports must be what the units make of the value the profile call gives them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/route_value.h"
#include "platform/profile_reader.h"
#include "tools/route_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Kept from one input to the next, so that each run does not allocate them anew.
    static std::string text, line;
    static RouteFileCheck c;
    static ProfileFile file;
    text.assign(reinterpret_cast<const char*>(data), size);
    check_route_file(text, "fuzz", 600, c);
    int lines = 1;  // at most: every LF and every CR ends a line (UTF-16 or not)
    for (const char end : {'\n', '\r'})
        for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, end, text.data() + size - p)));
             ++p)
            ++lines;
    int errors = 0, warnings = 0;
    for (const CheckFinding& f : c.findings) {
        // A reason worded in its line (the wording of a message with no values is never empty).
        format_finding(f, line);
        if (!*message_english(f.message.id) || f.line < 0 || f.line > lines || line.empty()) std::abort();
        (f.severity == CheckSeverity::kError ? errors : warnings)++;
    }
    if (errors != c.errors || warnings != c.warnings) std::abort();
    // The file read once, then each key the units ask for looked up as the profile call looks
    // it up (its own reading of the file, not the check's).
    file.read(text.data(), text.size());
    for (int r = 0; r < 4; ++r)
        for (int w = 1; w <= 9; ++w) {
            char value[kRouteValueSize];
            file.get_string("PPM", route_key(r, w).c_str(), kRouteDefaultValue, value, kRouteValueSize);
            double lat, lon;
            parse_route_value(value, &lat, &lon);
            if (!(lat == c.lat[r][w] || (std::isnan(lat) && std::isnan(c.lat[r][w])))) std::abort();
            if (!(lon == c.lon[r][w] || (std::isnan(lon) && std::isnan(c.lon[r][w])))) std::abort();
        }
    for (double v : c.settings)
        if (!std::isfinite(v)) std::abort();
    // What the findings hold is given back now, not with the next input: libFuzzer takes memory
    // kept past a run for a leak, and looks for one.
    c.findings.clear();
    return 0;
}
