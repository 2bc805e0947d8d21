// Route file: reads the 36 waypoint keys of section "PPM" into the file tables and copies
// route 0 into the working route.
#include "display/route_file.h"

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
    std::size_t n = 0;
    if (text) {
        while (n < sizeof buf - 1 && text[n] != '\0') ++n;
        std::memcpy(buf, text, n);
    }
    buf[n] = '\0';

    double lat_deg = number_at(buf);
    double lat_min = take_after(buf, '*');
    double lon_deg = take_after(buf, ',');
    double lon_min = take_after(buf, '*');
    // The hemisphere rides on the degrees; minus zero degrees is not negative, so "-0*30"
    // keeps its minutes positive.
    if (lat_deg < 0) lat_min = -lat_min;
    if (lon_deg < 0) lon_min = -lon_min;
    // Two huge finite parts can still add up past a double.
    const double lat_sum = lat_min / 60.0 + lat_deg;
    const double lon_sum = lon_min / 60.0 + lon_deg;
    *lat = std::isfinite(lat_sum) ? lat_sum : 0.0;
    *lon = std::isfinite(lon_sum) ? lon_sum : 0.0;
}

void route_load(NavState& s) {
    char key[8] = "ppm_00";
    char value[kRouteValueSize];
    for (s.file_ppm_index = 1; s.file_ppm_index < 40; ++s.file_ppm_index) {
        const int nn = s.file_ppm_index;
        if (nn % 10 == 0) continue;  // 10, 20, 30 are no keys
        key[4] = static_cast<char>('0' + nn / 10);
        key[5] = static_cast<char>('0' + nn % 10);
        config_read("PPM", key, kRouteDefaultValue, value, sizeof value);
        parse_route_value(value, &s.file_ppm_lat[nn], &s.file_ppm_lon[nn]);
    }
    s.route_reload_request = 0;
}

void route_copy(NavState& s) {
    for (int w = 1; w <= 9; ++w) {
        s.ppm_lat[w] = s.file_ppm_lat[w];
        s.ppm_lon[w] = s.file_ppm_lon[w];
    }
    s.route_copy_request = 0;
}
