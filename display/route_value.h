// One waypoint value of the route file, "lat_deg*lat_min,lon_deg*lon_min", read as the units
// read it. Pure text to numbers, shared by the route load and the tools' route check.
#pragma once

inline constexpr int kRouteValueSize = 64;                 // value buffer, 63 characters
inline constexpr const char* kRouteDefaultValue = "1*0,1*0"; // missing file or key: 1 N, 1 E

// Parses a route value "lat_deg*lat_min,lon_deg*lon_min" into degrees, reading at most the
// first 63 characters. A part whose separator is missing, or whose number is not finite
// ("nan", "inf", "1e999"), counts as 0; so does a sum that overflows.
void parse_route_value(const char* text, double* lat, double* lon);
