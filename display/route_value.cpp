// Route value reading: the four numbers of "deg*min,deg*min" found the way the units have
// always found them, by blanking the separators one after another.
#include "display/route_value.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "frame/config_file.h"

// The number at the start of text; "nan", "inf" and values beyond a double ("1e999") are no
// position, so they read as 0 like any other non-number.
static double number_at(const char* text) {
    const double v = std::strtod(text, nullptr);
    return std::isfinite(v) ? v : 0.0;
}

// Turns the first `sep` of buf into a blank and returns the number that follows it; a value
// without that separator gives 0 for the part, so a malformed value never leaves the buffer.
static double take_after(char* buf, char sep) {
    char* p = std::strchr(buf, sep);
    if (!p) return 0.0;
    *p = ' ';
    return number_at(p);
}

void parse_route_value(const char* text, double* lat, double* lon) {
    // Work on a terminated copy cut as the file read cuts it; the separators are blanked one
    // after another, so "the next '*'" is the first one left.
    char buf[kRouteValueSize];
    config_value_cut(text, buf, sizeof buf);

    double lat_deg = number_at(buf);
    double lat_min = take_after(buf, '*');
    double lon_deg = take_after(buf, ',');
    double lon_min = take_after(buf, '*');
    double lat_sum, lon_sum;
    route_value_degrees(lat_deg, lat_min, lon_deg, lon_min, &lat_sum, &lon_sum);
    *lat = std::isfinite(lat_sum) ? lat_sum : 0.0;
    *lon = std::isfinite(lon_sum) ? lon_sum : 0.0;
}
