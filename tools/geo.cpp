// Great-circle helpers of the bench tool, written with the haversine and vector forms that
// stay accurate for the short distances the tool compares (metres over hundreds of km).
#include "tools/geo.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double rad(double d) { return d * kPi / 180.0; }
double deg(double r) { return r * 180.0 / kPi; }

struct Vec {
    double x, y, z;
};

Vec unit_vector(GeoPoint p) {
    double la = rad(p.lat), lo = rad(p.lon);
    return {std::cos(la) * std::cos(lo), std::cos(la) * std::sin(lo), std::sin(la)};
}

Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(Vec a) { return std::sqrt(dot(a, a)); }

}  // namespace

double geo_distance_km(GeoPoint a, GeoPoint b) {
    double dlat = rad(b.lat - a.lat), dlon = rad(b.lon - a.lon);
    double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
               std::cos(rad(a.lat)) * std::cos(rad(b.lat)) * std::sin(dlon / 2) * std::sin(dlon / 2);
    if (h > 1) h = 1;
    return 2 * kToolEarthRadiusKm * std::asin(std::sqrt(h));
}

double geo_course_deg(GeoPoint a, GeoPoint b) {
    double la1 = rad(a.lat), la2 = rad(b.lat), dlon = rad(b.lon - a.lon);
    double y = std::sin(dlon) * std::cos(la2);
    double x = std::cos(la1) * std::sin(la2) - std::sin(la1) * std::cos(la2) * std::cos(dlon);
    double c = deg(std::atan2(y, x));
    return c < 0 ? c + 360.0 : c;
}

double geo_cross_track_km(GeoPoint from, GeoPoint to, GeoPoint p) {
    Vec n = cross(unit_vector(from), unit_vector(to));  // pole of the great circle, left side
    double len = norm(n);
    if (len == 0) return 0;  // coincident or antipodal ends: no defined line
    double s = dot(n, unit_vector(p)) / len;
    if (s > 1) s = 1;
    if (s < -1) s = -1;
    return -std::asin(s) * kToolEarthRadiusKm;
}

double geo_along_track_km(GeoPoint from, GeoPoint to, GeoPoint p) {
    Vec a = unit_vector(from), b = unit_vector(to), q = unit_vector(p);
    Vec n = cross(a, b);
    double len = norm(n);
    if (len == 0) return 0;
    n = {n.x / len, n.y / len, n.z / len};
    // Foot of the perpendicular: q with its component along the pole removed.
    double k = dot(q, n);
    Vec f = {q.x - k * n.x, q.y - k * n.y, q.z - k * n.z};
    // Angle from a to the foot, signed by the direction of travel.
    double ang = std::atan2(dot(cross(a, f), n), dot(a, f));
    return ang * kToolEarthRadiusKm;
}

GeoPoint geo_interpolate(GeoPoint a, GeoPoint b, double f) {
    Vec u = unit_vector(a), v = unit_vector(b);
    double d = std::acos(std::fmax(-1.0, std::fmin(1.0, dot(u, v))));
    if (d < 1e-12) return a;
    double sa = std::sin((1 - f) * d) / std::sin(d), sb = std::sin(f * d) / std::sin(d);
    Vec w = {sa * u.x + sb * v.x, sa * u.y + sb * v.y, sa * u.z + sb * v.z};
    return {deg(std::atan2(w.z, std::sqrt(w.x * w.x + w.y * w.y))), deg(std::atan2(w.y, w.x))};
}

double geo_angle_diff(double a, double b) {
    double d = std::fmod(b - a, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}

void geo_offset_km(GeoPoint a, GeoPoint b, double* north_km, double* east_km) {
    // The distance along the course from a, split into its parts: near a pole, where a degree
    // of longitude shrinks to nothing, the parts still add up to the distance.
    const double d = geo_distance_km(a, b), c = rad(geo_course_deg(a, b));
    if (north_km) *north_km = d * std::cos(c);
    if (east_km) *east_km = d * std::sin(c);
}
