// The four stored routes of section "PPM" and the working route.
#pragma once

#include "nav/state.h"

inline constexpr int kRouteValueSize = 64;                 // value buffer, 63 characters
inline constexpr const char* kRouteDefaultValue = "1*0,1*0"; // missing file or key: 1 N, 1 E

// Parses a route value "lat_deg*lat_min,lon_deg*lon_min" into degrees, reading at most the
// first 63 characters. A part whose separator is missing, or whose number is not finite
// ("nan", "inf", "1e999"), counts as 0; so does a sum that overflows.
void parse_route_value(const char* text, double* lat, double* lon);
// Reads the 36 keys ppm_01..ppm_39 (no numbers ending in 0) into the file tables; leaves
// file_ppm_index at 40 and clears route_reload_request (the display cycle may clear it too).
void route_load(NavState& s);
// Copies route 0 into waypoints 1..9 of the working route and clears route_copy_request.
void route_copy(NavState& s);
