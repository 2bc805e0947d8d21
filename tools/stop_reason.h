// Why a bench flight ended before the route did, told from what the flight data shows: the
// wind against the airspeed, the ground speed, the distance to go and the route check.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"
#include "tools/route_check.h"

struct StopTracePoint {
    double t = 0;            // seconds since take-off
    GeoPoint truth;          // the aircraft's true position
    int from = -1, to = -1;  // unit 2's leg
    bool s_ok = false;
    double s_km = 0;         // unit 2's distance to go (S)
};

struct StopFacts {
    double speed_kmh = 0, wind_from_deg = 0, wind_kmh = 0;
    double kp = 0, kd = 0;                 // the gains the units use
    std::vector<CheckFinding> check_notes; // the route check's warnings
};

// One sentence (or two) for a flight that reached its time limit: the first of the wind at or
// above the airspeed, no ground speed, a leg the route check warned about, a distance to go
// that grows, or one still coming down.
std::string explain_unfinished(const std::vector<StopTracePoint>& trace, const StopFacts& facts);
