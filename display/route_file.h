// The four stored routes of section "PPM" and the working route.
#pragma once

#include "display/route_value.h"
#include "nav/state.h"

// Reads the 36 keys ppm_01..ppm_39 (no numbers ending in 0) into the file tables; leaves
// file_ppm_index at 40 and clears route_reload_request (the display cycle may clear it too).
void route_load(NavState& s);
// Copies route 0 into waypoints 1..9 of the working route and clears route_copy_request.
void route_copy(NavState& s);
