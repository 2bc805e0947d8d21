// One waypoint value of the route file, "lat_deg*lat_min,lon_deg*lon_min", read as the units
// read it. Pure text to numbers, shared by the route load and the tools' route check.
#pragma once

inline constexpr int kRouteValueSize = 64;                 // value buffer, 63 characters
inline constexpr const char* kRouteDefaultValue = "1*0,1*0"; // missing file or key: 1 N, 1 E

// Degrees of a route value's latitude and longitude from their four parts: the hemisphere
// rides on the degrees, so their sign carries over to the minutes; minus zero degrees is not
// negative, so "-0*30" keeps its minutes positive. Two huge finite parts can add up past a double.
inline void route_value_degrees(double lat_deg, double lat_min, double lon_deg, double lon_min, double* lat,
                                double* lon) {
    if (lat_deg < 0) lat_min = -lat_min;
    if (lon_deg < 0) lon_min = -lon_min;
    *lat = lat_min / 60.0 + lat_deg;
    *lon = lon_min / 60.0 + lon_deg;
}

// Parses a route value "lat_deg*lat_min,lon_deg*lon_min" into degrees, reading at most the
// first 63 characters. A part whose separator is missing, or whose number is not finite
// ("nan", "inf", "1e999"), counts as 0; so does a sum that overflows.
void parse_route_value(const char* text, double* lat, double* lon);
