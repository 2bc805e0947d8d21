// Checks of the great-circle layer and the leg geometry of the navigation step against
// GeographicLib's geodesics on a sphere of the unit's radius.
#include "nav/geometry.h"

#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <random>

#include "nav/navigation.h"

namespace {

// Tolerances. K1, K2 and R2D differ from pi/180 and 180/pi by under 9e-9 relative, and K1
// against K2 by 1.7e-8: at latitudes up to 70 degrees one end of a course moves by at most
// 1.2e-6 degrees (13 cm). On legs of 20 km (0.18 degrees) or more that turns a course by at
// most 7e-6 rad = 4e-4 degrees; the cotangent clamp adds at most 6e-5 degrees. Distances move by
// the same few centimetres, well inside 1 m. The along/cross split takes a course error of up
// to 7e-6 rad times a direct distance of up to about 2000 km: 14 m. (With these seeds the worst
// seen are 7e-5 degrees, 1e-5 km and 3e-4 km.)
constexpr double kCourseTolDeg = 1e-3;
constexpr double kDistTolKm = 1e-3;
constexpr double kSplitTolKm = 0.02;
constexpr double kMinLegKm = 20;

const GeographicLib::Geodesic& sphere() {
    static const GeographicLib::Geodesic g(R_earth * 1000, 0);
    return g;
}

double course_diff(double a, double b) { return std::fabs(wrap180(wrap360(a) - wrap360(b))); }

struct Inverse {
    double km, azi1, azi2;  // distance, course at the first point, course at the second
};
Inverse inverse(double lat1, double lon1, double lat2, double lon2) {
    Inverse r{};
    sphere().Inverse(lat1, lon1, lat2, lon2, r.km, r.azi1, r.azi2);
    r.km /= 1000;
    return r;
}

// A ready unit on leg 1 -> 2 with the aircraft at p, waypoint 3 continuing the route.
NavState leg_state(double lat_f, double lon_f, double lat_t, double lon_t, double lat_p, double lon_p) {
    NavState s;
    s.nav_ready = 1;
    s.ppm_from = 1;
    s.ppm_to = 2;
    s.ppm_lat[1] = lat_f, s.ppm_lon[1] = lon_f;
    s.ppm_lat[2] = lat_t, s.ppm_lon[2] = lon_t;
    s.ppm_lat[3] = lat_t + 1, s.ppm_lon[3] = lon_t + 1;
    s.present_lat = lat_p, s.present_lon = lon_p;
    return s;
}

TEST(Geometry, WrapsMakeOneCorrectionEachWay) {
    struct Case {
        double in, w180, w360;
    } cases[] = {
        {0, 0, 0},       {180, 180, 180},     {180.5, -179.5, 180.5}, {-180, -180, 180},
        {-181, 179, 179}, {360, 0, 360},      {361, 1, 1},            {-1, -1, 359},
        {539, 179, 179}, {-539, -179, -179},  {900, 540, 540},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(wrap180(c.in), c.w180) << c.in;
        EXPECT_DOUBLE_EQ(wrap360(c.in), c.w360) << c.in;
    }
}

TEST(Geometry, LongitudeStaysInRangeForAnyStep) {
    for (double lon : {179.0, 181.0, -181.0, 540.5, -1e6, 6.4e5, 1e15}) {
        double w = wrap_longitude(lon);
        EXPECT_GE(w, -180) << lon;
        EXPECT_LE(w, 180) << lon;
        // The same meridian: differs by a whole number of turns.
        double turns = (lon - w) / 360;
        EXPECT_NEAR(turns, std::round(turns), 1e-6) << lon;
    }
}

TEST(Geometry, CourseAndDistanceMatchGeodesicsOnTheSphere) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> lat(-60, 60), lon(-150, 150), step(-8, 8);
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        double lat1 = lat(rng), lon1 = lon(rng), lat2 = lat1 + step(rng), lon2 = lon1 + step(rng);
        Inverse ref = inverse(lat1, lon1, lat2, lon2);
        if (ref.km < kMinLegKm) continue;
        ++checked;
        double c = gc_course(lat1, lat2, lon2 - lon1, 0.0001);
        double dkm = gc_distance(lat1, lat2, lon2 - lon1, 0.0001);
        ASSERT_LT(course_diff(c, ref.azi1), kCourseTolDeg) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
        ASSERT_NEAR(dkm, ref.km, kDistTolKm) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
    }
    EXPECT_GT(checked, 350);
}

TEST(Geometry, LegSplitAndConvergenceMatchGeodesics) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> lat(-60, 60), lon(-150, 150), step(-8, 8), off(-5, 5);
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        double lat_f = lat(rng), lon_f = lon(rng);
        double lat_t = lat_f + step(rng), lon_t = lon_f + step(rng);
        double lat_p = (lat_f + lat_t) / 2 + off(rng), lon_p = (lon_f + lon_t) / 2 + off(rng);
        Inverse tf = inverse(lat_t, lon_t, lat_f, lon_f);
        Inverse tp = inverse(lat_t, lon_t, lat_p, lon_p);
        Inverse fp = inverse(lat_f, lon_f, lat_p, lon_p);
        if (tf.km < kMinLegKm || tp.km < kMinLegKm || std::fabs(lon_p - lon_f) < 0.02) continue;
        ++checked;
        NavState s = leg_state(lat_f, lon_f, lat_t, lon_t, lat_p, lon_p);
        navigation_step(s);

        // The unit splits the direct distance by the angle at TO between the leg's back course
        // and the course to the aircraft; the reference does the same with exact values.
        double a = wrap180(tp.azi1 - tf.azi1) * M_PI / 180;
        double along = std::cos(a) * tp.km, cross = -std::sin(a) * tp.km;
        ASSERT_NEAR(s.dist_direct, tp.km, kDistTolKm);
        ASSERT_NEAR(s.dist_to_go, along, kSplitTolKm) << i;
        ASSERT_NEAR(s.cross_track, cross, kSplitTolKm) << i;
        ASSERT_LT(course_diff(s.leg_course, wrap360(tf.azi2 + 180)), kCourseTolDeg) << i;
        ASSERT_LT(course_diff(s.leg_final_course, wrap360(tf.azi1 + 180)), kCourseTolDeg) << i;
        // The great circle F->P turns by (course at F) - (course at P).
        double conv = wrap180(fp.azi1 - fp.azi2);
        ASSERT_NEAR(s.convergence, conv, kCourseTolDeg) << i;
    }
    EXPECT_GT(checked, 300);
}

TEST(Geometry, DueNorthLegUsesTheZeroSubstitute) {
    NavState s = leg_state(50, 30, 51, 30, 50.5, 30.1);
    navigation_step(s);
    EXPECT_NEAR(s.leg_course, 0.0036, 0.0001);
    EXPECT_NEAR(s.dist_direct, 56.03, 0.005);
    EXPECT_NEAR(s.dist_to_go, 55.59, 0.005);
    EXPECT_NEAR(s.cross_track, 7.07, 0.005);  // east of a northbound leg: right of track
    EXPECT_NEAR(s.lbu_var, s.cross_track * 1000, 1e-9);
}

TEST(Geometry, CoincidentPointsStayFinite) {
    // Without a zero substitute the cosine of a zero distance rounds past 1 at some latitudes.
    for (double lat = -89.5; lat <= 89.5; lat += 0.37) {
        double d0 = gc_distance(lat, lat, 0, 0);
        ASSERT_TRUE(std::isfinite(d0)) << lat;
        EXPECT_LT(d0, 0.001) << lat;
        double d = gc_distance(lat, lat, 0, 0.0001);
        EXPECT_NEAR(d, 0.0001 * K1 * R_earth * std::cos(lat * K2), 1e-4) << lat;
        ASSERT_TRUE(std::isfinite(gc_course(lat, lat, 0, 0))) << lat;
        ASSERT_TRUE(std::isfinite(gc_course(lat, lat, 0, 0.0001))) << lat;
    }
    // Antipodes: the cosine reaches -1.
    EXPECT_NEAR(gc_distance(10, -10, 180, 0.0001), M_PI * R_earth, 0.01);
}

}  // namespace
