// The stand-in's aircraft: a simple point-mass model in plain degrees and km/h, and the
// conversions into the units the simulator delivers its variables in.
#pragma once

#include <cstdint>

struct Aircraft {
    double lat = 0, lon = 0;          // true position, degrees
    double heading = 0;               // true heading, degrees 0..360
    double tas_kmh = 0;               // true airspeed, km/h (used when `fly` is set)
    double wind_to_deg = 0;           // direction the wind blows towards, degrees
    double wind_kmh = 0;              // wind speed, km/h
    double gs_north_kmh = 0;          // ground velocity, km/h (derived when `fly` is set)
    double gs_east_kmh = 0;
    double engine_pct[4] = {};        // engine percent
    bool ext_power = true;            // variable 753 above 20
    double sim_time_s = 0;            // variable 604, seconds
    double sim_rate = 1;              // variable 336
    double ticks = 0;                 // variable 1, the 18 Hz tick counter
    bool paused = false;              // sim time and ticks stand still, position too
    bool fly = false;                 // integrate position from heading, TAS and wind
    bool autopilot_heading_mode = false; // turn towards ap_heading_bug at standard rate
    double ap_heading_bug = 0;        // degrees, set by key event 66042
    double turn_rate_dps = 3;         // standard rate, degrees per second
};

// The value of simulator variable `id` in the host's units (latitude in metres north of the
// equator, longitude as a 48-bit fraction of a turn, velocity in ft/s, engines 16384 = 100 %).
double aircraft_sim_variable(const Aircraft& a, int32_t id);
// Advances the aircraft by dt seconds of simulated time (times sim_rate).
void aircraft_step(Aircraft& a, double dt_s);
// Key events the aircraft acts on (66042: heading bug in whole degrees).
void aircraft_key_event(Aircraft& a, int32_t event, int32_t value);
