// The record of a bench flight and what the summary draws from it: samples of the true and
// the computed positions, leg changes, and per leg the largest cross-track after its turn.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"

struct FlightSample {
    double t = 0;                   // seconds since take-off
    GeoPoint truth;                 // the aircraft's true position
    bool unit_ok[2] = {false, false};
    GeoPoint unit_pos[2];           // each unit's computed position (Koord_s)
    int from = 0, to = 0;           // the leg being flown (unit 2's, waypoint numbers 1..9)
    double xtk_km = 0;              // true cross-track from that leg, right positive
};

struct LegChange {
    int unit = 0;                   // 1 or 2
    double t = 0;
    GeoPoint where;                 // the aircraft's true position then
    int from = 0, to = 0;           // the new leg
};

struct LegReport {
    int from = 0, to = 0;
    double t_start = 0, t_end = 0;
    double turn_deg = 0;            // change of course onto the leg, right positive (0 for the first)
    bool after_turn = false;        // false for the leg flown from take-off
    double start_xtk_km = 0;        // cross-track when the leg became active (the turn lead's offset)
    double reached_s = -1;          // seconds from the leg's start until the intercept was over:
                                    // the line crossed, the band reached, or the distance to the
                                    // line no longer shrinking; -1 if it never was
    double max_xtk_km = 0;          // after that: the largest cross-track by magnitude, signed
    double max_xtk_t = 0;           // when it was reached
};

// The legs in the order flown: runs of samples with the same leg. `route` gives the
// waypoints (1-based numbers in the samples); `band_km` is how close to the line counts as
// having reached it. A leg flown from take-off counts as reached from its start.
std::vector<LegReport> leg_reports(const std::vector<FlightSample>& samples, const std::vector<GeoPoint>& route,
                                   double band_km = 0.02);
// Initial course of the leg from waypoint a to b and its course on arrival at b, degrees.
double leg_initial_course(GeoPoint a, GeoPoint b);
double leg_final_course(GeoPoint a, GeoPoint b);
