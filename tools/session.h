// A bench flight: both units loaded in the host stand-in, powered, aligned on the aircraft's
// position, given the route file's route 0 and set to navigate with unit 2 steering the
// aircraft's heading autopilot. Everything goes through clicks and what the panels show.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/standin.h"
#include "tools/geo.h"
#include "tools/route_check.h"

struct FlightSetup {
    std::string sim_dir;           // the simulator folder: holds gauges/q14_cfg/q14_ppm.cfg
    std::vector<GeoPoint> route;   // route 0 as the file gives it (two to nine waypoints)
    double speed_kmh = 600;        // true airspeed
    double wind_from_deg = 0;      // where the wind blows from
    double wind_kmh = 0;
    bool full_align = false;       // the whole alignment instead of the shortcut
    RouteFileCheck check;          // the route check of the file: settings as the units use them
    std::vector<CheckFinding> check_notes;  // its warnings on route 0, the settings and the file
};

struct Flight {
    HostModule* unit[2] = {nullptr, nullptr};
    FlightSetup setup;
    double start_s = 0;            // simulator time when the aircraft began to fly
    int align_frames = 0;          // frames from the alignment's start to its end
};

// What one unit shows, read back from its panels and named values.
struct UnitReading {
    int from = -1, to = -1;        // the OT and DO digits, -1 while blank
    bool pos_ok = false;           // Koord_s texts readable
    GeoPoint pos;                  // the unit's computed position (Koord_s)
    bool s_ok = false, z_ok = false;
    double s_km = 0, z_km = 0;     // S and Z from the S/Z page (when the knob is there)
    double lbu_m = 0;              // the published cross-track deviation (NaN when absent)
};

// Loads both units, powers them, aligns them, loads the route and switches them to NAVIG
// with the knobs at S/Z and unit 2 steering. The aircraft stands at waypoint 1, heading for
// waypoint 2, until flight_take_off. Progress lines go to `log` (may be null).
bool flight_prepare(Flight& f, const FlightSetup& setup, std::string& error, FILE* log);
// From now on the aircraft flies at the set speed, its heading held by the autopilot.
void flight_take_off(Flight& f);
// Simulated seconds since take-off.
double flight_time_s(const Flight& f);
UnitReading read_unit(const Flight& f, int unit);  // unit 1 or 2
// Turns the UVI knob of a unit to `page` (1..9); false if the knob did not get there.
bool set_page(HostModule* m, int page);
// The page the knob shows, from its needle angle (1..9, 0 when unknown).
int page_of(HostModule* m);
// Hours, minutes and seconds, "1:02:03".
std::string hms(double seconds);
