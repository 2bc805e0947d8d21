// One route of q14_ppm.cfg as the bench tool flies it: the waypoints before the first empty
// one, taken from the route check so that the tool and the units agree on every value.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"
#include "tools/route_check.h"

// The waypoints of route `route` that a unit flies: waypoint 1 up to the last one before the
// first empty waypoint. Fails with the route check's first error in that route or in the
// file as a whole ("ppm_03 (line 4): ..."), or when fewer than two waypoints remain.
bool route_from_cfg(const std::string& text, int route, std::vector<GeoPoint>& waypoints, std::string& error);
// The same from a check already made.
bool route_from_check(const RouteFileCheck& c, int route, std::vector<GeoPoint>& waypoints, std::string& error);
