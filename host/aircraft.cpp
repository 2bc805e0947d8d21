// The stand-in's aircraft: simulated time, the 18 Hz tick counter, a point mass flown over a
// sphere from heading, airspeed and wind, a heading autopilot, and its simulator variables.
#include "host/aircraft.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The sphere whose meridian quadrant is 10001.75 km: the same one the simulator's latitude
// variable is measured on, so a flown distance reads back as the same distance.
constexpr double kEarthRadiusKm = 10001.75 * 2.0 / kPi;
constexpr double kMetresPerDegreeLatFactor = 8.998425275576774e-06;  // degrees per metre north
constexpr double kTurnFractionPerDegree = 1.2789769243681803e-12;    // degrees per 2^-48 turn
constexpr double kKmhPerFts = 1.09728;
constexpr double kTicksPerSecond = 18.0;

double wrap360(double a) {
    a = std::fmod(a, 360.0);
    if (a < 0) a += 360.0;
    return a;
}

double wrap180(double a) {
    a = wrap360(a);
    return a > 180.0 ? a - 360.0 : a;
}

double rad(double deg) { return deg * kPi / 180.0; }

// Turns the heading towards the bug by at most rate * dt, the short way round.
void autopilot_turn(Aircraft& a, double dt_s) {
    double diff = wrap180(a.ap_heading_bug - a.heading);
    double step = std::fabs(a.turn_rate_dps) * dt_s;
    if (std::fabs(diff) <= step) a.heading = wrap360(a.ap_heading_bug);
    else a.heading = wrap360(a.heading + (diff > 0 ? step : -step));
}

// One flat-earth step on the sphere: small enough at a few frames per second.
void fly(Aircraft& a, double dt_s) {
    double h = rad(a.heading);
    double w = rad(a.wind_to_deg);
    a.gs_north_kmh = a.tas_kmh * std::cos(h) + a.wind_kmh * std::cos(w);
    a.gs_east_kmh = a.tas_kmh * std::sin(h) + a.wind_kmh * std::sin(w);
    double hours = dt_s / 3600.0;
    double north_km = a.gs_north_kmh * hours;
    double east_km = a.gs_east_kmh * hours;
    double coslat = std::cos(rad(a.lat));
    if (coslat < 1e-9) coslat = 1e-9;  // at the pole every direction is south
    a.lat += north_km / kEarthRadiusKm * 180.0 / kPi;
    a.lon += east_km / (kEarthRadiusKm * coslat) * 180.0 / kPi;
    // Over a pole: come down the other side, on the opposite meridian, heading the other way.
    if (a.lat > 90.0) {
        a.lat = 180.0 - a.lat;
        a.lon += 180.0;
        a.heading = wrap360(a.heading + 180.0);
    } else if (a.lat < -90.0) {
        a.lat = -180.0 - a.lat;
        a.lon += 180.0;
        a.heading = wrap360(a.heading + 180.0);
    }
    a.lon = wrap180(a.lon);
}

}  // namespace

double aircraft_sim_variable(const Aircraft& a, int32_t id) {
    switch (id) {
        case 1: return a.ticks;
        case 71: return a.lat / kMetresPerDegreeLatFactor;
        case 72: return a.lon / kTurnFractionPerDegree;
        case 81:
        case 86: return a.heading;
        case 135: return a.engine_pct[0] * 16384.0 / 100.0;
        case 170: return a.engine_pct[1] * 16384.0 / 100.0;
        case 205: return a.engine_pct[2] * 16384.0 / 100.0;
        case 240: return a.engine_pct[3] * 16384.0 / 100.0;
        case 336: return a.sim_rate;
        case 554: return a.gs_north_kmh / kKmhPerFts;
        case 555: return a.gs_east_kmh / kKmhPerFts;
        case 604: return a.sim_time_s;
        case 753: return a.ext_power ? 28.0 : 0.0;  // bus volts
        default: return 0.0;
    }
}

void aircraft_step(Aircraft& a, double dt_s) {
    double dt = dt_s * a.sim_rate;
    if (a.paused || !(dt > 0)) return;  // a rate of 0, below 0 or NaN stands still
    a.sim_time_s += dt;
    a.ticks += kTicksPerSecond * dt;
    if (a.autopilot_heading_mode) autopilot_turn(a, dt);
    if (a.fly) fly(a, dt);
    else a.gs_north_kmh = a.gs_east_kmh = 0;  // standing: no ground speed for dead reckoning
}

void aircraft_key_event(Aircraft& a, int32_t event, int32_t value) {
    if (event == 66042) a.ap_heading_bug = wrap360(static_cast<double>(value));
}
