// The route file q14_ppm.cfg as the bench tool reads it: INI look-up with the same rules as
// the units' profile reader, the "deg*min,deg*min" waypoint values, and one route's waypoints.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"

// The value of `key` in section `section`: names compared without regard to case, the first
// match in file order, blanks trimmed, a value in matching quotes unquoted, lines starting
// with ';' skipped. `line` (1-based) is where it was found. False when absent.
bool ini_lookup(const std::string& text, const std::string& section, const std::string& key, std::string& value,
                int* line = nullptr);
// The key of waypoint w (1..9) of route r (0..3): "ppm_0w" for route 0, else "ppm_rw".
std::string route_key(int route, int waypoint);
// A waypoint value "55*45.5,37*36.2" (degrees carry the hemisphere; a negative degree value
// makes its minutes count southwards or westwards too). False with `why` unless the value is
// exactly four numbers with their three separators.
bool parse_route_value(const std::string& value, double& lat, double& lon, std::string& why);
// The empty marks a unit shows as a blank waypoint.
bool route_point_is_empty(double lat, double lon);
// The waypoints of route `route` that a unit flies: waypoint 1 up to the last one before the
// first empty waypoint. Fails with a message naming the key (and line) when a key is missing,
// a value is malformed or off the earth, an empty waypoint is followed by a real one, two
// consecutive waypoints coincide, or fewer than two waypoints remain.
bool route_from_cfg(const std::string& text, int route, std::vector<GeoPoint>& waypoints, std::string& error);
