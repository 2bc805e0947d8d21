// The four stored routes of section "PPM" and the working route.
#pragma once

#include "nav/state.h"

// Parses a route value "lat_deg*lat_min,lon_deg*lon_min" into degrees.
void parse_route_value(const char* text, double* lat, double* lon);
// Reads the 36 keys into the file tables.
void route_load(NavState& s);
// Copies route 0 into waypoints 1..9 of the working route.
void route_copy(NavState& s);
