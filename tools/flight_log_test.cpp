// Tests of the flight geometry and the per-leg figures of the summary: cross-track and
// along-track signs, turn directions, the end of the intercept and the largest deviation.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/flight_log.h"

namespace {

TEST(FlightGeometry, CrossAndAlongTrackSigns) {
    GeoPoint a{50, 30}, b{51, 30};  // due north
    EXPECT_NEAR(geo_course_deg(a, b), 0, 1e-9);
    EXPECT_NEAR(geo_distance_km(a, b), kToolEarthRadiusKm * M_PI / 180, 1e-9);
    GeoPoint east_of_line{50.5, 30.1};
    double xtk = geo_cross_track_km(a, b, east_of_line);
    EXPECT_GT(xtk, 7.0);  // right of a northbound leg
    EXPECT_LT(xtk, 7.1);
    EXPECT_NEAR(geo_cross_track_km(b, a, east_of_line), -xtk, 1e-9);
    EXPECT_NEAR(geo_along_track_km(a, b, {50.5, 30}), geo_distance_km(a, b) / 2, 1e-6);
    EXPECT_LT(geo_along_track_km(a, b, {49.9, 30}), 0);  // behind the start
    GeoPoint mid = geo_interpolate(a, b, 0.5);
    EXPECT_NEAR(mid.lat, 50.5, 1e-9);
    EXPECT_NEAR(geo_angle_diff(350, 10), 20, 1e-12);
    EXPECT_NEAR(geo_angle_diff(10, 350), -20, 1e-12);
}

TEST(FlightGeometry, AnOffsetsNorthAndEastPartsAddUpToItsDistanceEvenAtThePole) {
    struct Row {
        GeoPoint a, b;
        double north_m, east_m;  // NAN: only the sum is known
    } rows[] = {
        {{55, 37}, {55.001, 37}, 111.2, 0},                  // 0.001 degree north
        {{0, 37}, {0, 37.001}, 0, 111.2},                    // 0.001 degree east at the equator
        {{89.9995, 0}, {89.9995, 180}, 111.2, NAN},           // across the pole: straight on north
        {{89.9999, 10}, {89.9998, 100}, NAN, NAN},           // a few metres, longitudes far apart
        {{-89.9997, -170}, {-89.9997, 170}, NAN, NAN},
    };
    for (const Row& r : rows) {
        double n, e;
        geo_offset_km(r.a, r.b, &n, &e);
        const double d = geo_distance_km(r.a, r.b);
        EXPECT_NEAR(std::hypot(n, e), d, 1e-9) << r.a.lat << " " << r.a.lon << " -> " << r.b.lat << " " << r.b.lon;
        if (!std::isnan(r.north_m)) EXPECT_NEAR(n * 1000, r.north_m, 0.1);
        if (!std::isnan(r.east_m)) EXPECT_NEAR(e * 1000, r.east_m, 0.1);
    }
}

// Samples every `dt` seconds of a leg, xtk from `f(t)`.
void add_leg(std::vector<FlightSample>& s, int from, int to, double t0, double t1, double (*f)(double)) {
    for (double t = t0; t <= t1 + 1e-9; t += 1) {
        FlightSample x;
        x.t = t;
        x.from = from;
        x.to = to;
        x.xtk_km = f(t - t0);
        s.push_back(x);
    }
}

TEST(FlightLog, LegsReportTheirTurnTheInterceptAndTheLargestDeviationAfterIt) {
    // A square: north, then east (a right turn), then south (right), then west... only three legs.
    std::vector<GeoPoint> route = {{50, 30}, {51, 30}, {51, 31.6}, {50, 31.6}};
    std::vector<FlightSample> s;
    add_leg(s, 1, 2, 0, 100, [](double t) { return -0.01 * std::sin(t); });
    // Offset -5 km at the change, closing in, crossing at 50 s, overshooting to +0.3 km, settling.
    add_leg(s, 2, 3, 101, 300, [](double t) {
        return t < 50 ? -5 + 0.1 * t : t < 70 ? 0.3 * std::sin(M_PI * (t - 50) / 40) : 0.3 * std::exp(-(t - 70) / 40);
    });
    // Closing in from +4 km but never crossing: stops closing at 0.2 km and drifts out to 0.35.
    add_leg(s, 3, 4, 301, 500, [](double t) { return t < 38 ? 4 - 0.1 * t : 0.2 + 0.001 * (t - 38); });
    std::vector<LegReport> r = leg_reports(s, route);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_FALSE(r[0].after_turn);
    EXPECT_EQ(r[0].reached_s, 0);
    EXPECT_NEAR(std::fabs(r[0].max_xtk_km), 0.01, 1e-3);

    EXPECT_TRUE(r[1].after_turn);
    EXPECT_NEAR(r[1].turn_deg, 90, 1.0);  // north to east: right
    EXPECT_DOUBLE_EQ(r[1].start_xtk_km, -5);
    EXPECT_DOUBLE_EQ(r[1].reached_s, 50);   // crossed the line
    EXPECT_NEAR(r[1].max_xtk_km, 0.3, 1e-9);
    EXPECT_DOUBLE_EQ(r[1].max_xtk_t, 171);

    EXPECT_NEAR(r[2].turn_deg, 90, 1.5);
    EXPECT_DOUBLE_EQ(r[2].reached_s, 38);   // stopped closing in at 0.2 km
    EXPECT_NEAR(r[2].max_xtk_km, 0.2 + 0.001 * 161, 1e-9);
    EXPECT_DOUBLE_EQ(r[2].max_xtk_t, 500);
    EXPECT_DOUBLE_EQ(r[2].t_end, 500);
}

TEST(FlightLog, ALegThatNeverClosesInIsNeverReached) {
    std::vector<GeoPoint> route = {{50, 30}, {51, 30}, {51, 31}};
    std::vector<FlightSample> s;
    add_leg(s, 1, 2, 0, 10, [](double) { return 0.0; });
    add_leg(s, 2, 3, 11, 30, [](double t) { return -3 + 0.1 * t; });  // still closing at the end
    std::vector<LegReport> r = leg_reports(s, route);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_LT(r[1].turn_deg, 90);
    EXPECT_GT(r[1].turn_deg, 0);
    EXPECT_EQ(r[1].reached_s, -1);
    EXPECT_TRUE(leg_reports({}, route).empty());
}

}  // namespace
