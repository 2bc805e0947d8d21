// Great-circle helpers of the bench tool: distances, courses, cross-track and along-track
// distances on the sphere the stand-in's aircraft flies over. Degrees in, kilometres out.
#pragma once

// The stand-in flies its aircraft on the sphere whose meridian quadrant is 10001.75 km.
constexpr double kToolEarthRadiusKm = 10001.75 * 2.0 / 3.14159265358979323846;

struct GeoPoint {
    double lat = 0, lon = 0;  // degrees, north and east positive
};

double geo_distance_km(GeoPoint a, GeoPoint b);
// Initial course from a to b, degrees 0..360.
double geo_course_deg(GeoPoint a, GeoPoint b);
// Distance of p from the great circle through `from` and `to`, positive right of it seen
// from `from` towards `to`.
double geo_cross_track_km(GeoPoint from, GeoPoint to, GeoPoint p);
// Distance from `from` along the great circle towards `to` to the foot of p's perpendicular
// (negative behind `from`).
double geo_along_track_km(GeoPoint from, GeoPoint to, GeoPoint p);
// The point at a fraction f (0..1) of the great-circle arc from a to b.
GeoPoint geo_interpolate(GeoPoint a, GeoPoint b, double f);
// Signed difference b - a of two angles, -180..180.
double geo_angle_diff(double a, double b);
// North and east components of the offset from a to b, kilometres: the great-circle distance
// split along the course at a, so that they always add up (as a right triangle) to it.
void geo_offset_km(GeoPoint a, GeoPoint b, double* north_km, double* east_km);
