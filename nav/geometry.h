// Great-circle geometry on a sphere and the angle wrapping every part of the unit shares.
// Pure functions of plain numbers: degrees in, degrees or km out, no navigator state.
#pragma once

// Degrees to radians, as the unit has always used them: K1 for longitude differences, the
// latitude at the end point of a course, headings and track errors; K2 for the latitude at the
// start point of a course and both latitudes of a distance. Both differ from pi/180 by about
// 1e-8 relative (K1 above, K2 below), a few centimetres on the ground.
inline constexpr double K1 = 0.01745329267623711;     // 1/57.295779
inline constexpr double K2 = 0.01745329237161969;     // 1/57.29578
inline constexpr double K_half = 0.008726646338118555;  // 0.5/57.295779: half an angle to radians
inline constexpr double R2D = 57.295779;              // radians to degrees
inline constexpr double R_earth = 6370.1448204;       // sphere radius, km
inline constexpr double X_max = 1000000;              // clamp of the course cotangent

// x brought towards -180..180 by one correction each way: above 180 loses 360, then below -180
// gains 360. Inputs within -540..540 land in range; nothing loops.
double wrap180(double x);
// x brought towards 0..360 by one correction each way: above 360 loses 360, then below 0 gains
// 360. Inputs within -360..720 land in range.
double wrap360(double x);
// A longitude kept in -180..180 whatever it is: the single correction of wrap180, and for a
// value still outside (a position step near the pole) the remainder modulo 360.
double wrap_longitude(double lon);

// Initial great-circle course from point 1 to point 2, degrees 0..360; dlon = lon2 - lon1.
// A longitude difference of exactly 0 is replaced by z (the zero substitute, e.g. 0.0001),
// which turns a due north or south leg by about z * tan(latitude) degrees. The cotangent is
// clamped to +-X_max, so courses within 6e-5 degrees of north or south come out as that
// bound. Apart from these the result matches the exact spherical course to about 1e-6 degrees
// times the inverse of the leg length in degrees (the K1/K2 mismatch moves one end by a
// few centimetres). Finite for finite inputs, coincident points included.
double gc_course(double lat1, double lat2, double dlon, double z);

// Great-circle distance between A and B, km (spherical law of cosines, radius R_earth);
// dlon = lonB - lonA, exactly 0 replaced by z, so coincident points are about z * 111 km *
// cos(latitude) apart. The cosine is clamped to -1..1, so rounding never yields NaN; acos
// limits the resolution near 0 to about 0.1 m, further apart the result is good to well
// under a metre.
double gc_distance(double latA, double latB, double dlon, double z);

// The lead distance of a turn, km: the distance flown at `speed_kmh` while rolling in for
// `bank_time_s`, plus the turn radius (speed^2 * k_turn metres) times the tangent of half of
// `turn_angle_deg`.
double turn_lead_km(double bank_time_s, double turn_angle_deg, double speed_kmh, double k_turn);
