// Great-circle course and distance on the unit's sphere, and the shared angle wrapping.
// Everything here is a pure function of its arguments.
#include "nav/geometry.h"

#include <cmath>

double wrap180(double x) {
    if (x > 180) x -= 360;
    if (x < -180) x += 360;
    return x;
}

double wrap360(double x) {
    if (x > 360) x -= 360;
    if (x < 0) x += 360;
    return x;
}

double wrap_longitude(double lon) {
    lon = wrap180(lon);
    if (lon > 180 || lon < -180) lon = wrap180(std::fmod(lon, 360.0));
    return lon;
}

double gc_course(double lat1, double lat2, double dlon, double z) {
    double d = wrap180(dlon);
    if (d == 0) d = z;
    // X is the cotangent of the course: (cos lat1 tan lat2 - sin lat1 cos d) / sin d.
    double X = (std::cos(lat1 * K2) * std::tan(lat2 * K1) - std::sin(lat1 * K2) * std::cos(d * K1)) /
               std::sin(d * K1);
    if (X > X_max) X = X_max;
    if (X < -X_max) X = -X_max;
    // 0/0 (d and z both 0 with the points on one parallel) has no course; call it north.
    if (std::isnan(X)) X = X_max;
    // atan gives -90..90 (a signed zero X gives +-90); the quadrant follows from the signs.
    double Q = std::atan(1.0 / X) * R2D;
    if ((d < 0 && X > 0) || (d > 0 && X < 0)) Q += 180;
    return wrap360(Q);
}

double gc_distance(double latA, double latB, double dlon, double z) {
    double d = wrap180(dlon);
    if (d == 0) d = z;
    double x = std::cos(d * K1) * std::cos(latA * K2) * std::cos(latB * K2) +
               std::sin(latA * K2) * std::sin(latB * K2);
    // Close points give a cosine a rounding error past 1, where acos has no value.
    if (x > 1) x = 1;
    if (x < -1) x = -1;
    return std::acos(x) * R_earth;  // acos is 0..pi: never negative
}

double turn_lead_km(double bank_time_s, double turn_angle_deg, double speed_kmh, double k_turn) {
    return (bank_time_s * (1 / 3.6) + std::tan(turn_angle_deg * K_half) * speed_kmh * k_turn) * speed_kmh * 0.001;
}
