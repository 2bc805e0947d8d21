// Tests of the stop reason of an unfinished flight: each trace shape gives the answer its data
// shows, the first that applies winning.
#include "tools/stop_reason.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Ten minutes on leg 2-3, one point a second: position and distance to go from the time.
std::vector<StopTracePoint> trace_of(const std::function<double(double)>& north_km,
                                     const std::function<double(double)>& s_km) {
    std::vector<StopTracePoint> v;
    for (int t = 0; t <= 600; ++t) {
        StopTracePoint p;
        p.t = t;
        p.truth = {55 + north_km(t) / 111.2, 37};
        p.from = 2;
        p.to = 3;
        p.s_ok = true;
        p.s_km = s_km(t);
        v.push_back(p);
    }
    return v;
}

TEST(StopReason, TheFlightDataDecides) {
    StopFacts calm;
    calm.speed_kmh = 600;
    calm.kp = 60;
    calm.kd = 100;
    auto moving = [](double t) { return t / 6; };  // 600 km/h
    struct Row {
        const char* what;
        std::vector<StopTracePoint> trace;
        StopFacts facts;
        const char* says;
    } rows[] = {
        {"standing still", trace_of([](double) { return 0.0; }, [](double) { return 50.0; }), calm,
         "no ground speed: the aircraft covered 0 km/h"},
        {"moving away", trace_of(moving, [](double t) { return t < 200 ? 80 - t / 10 : 60 + (t - 200) / 6; }), calm,
         "grew from 60.0 km at 0:03:20 to 126.7 km: the aircraft is moving away from waypoint 3"},
        {"missed turn", trace_of(moving, [](double t) { return t < 100 ? 20 - t / 10 : 10 + (t - 100) / 10; }), calm,
         "a turn it cannot make: the aircraft came within 10.0 km of waypoint 3 at 0:01:40"},
        {"passed abeam", trace_of(moving, [](double t) { return 30 - t / 10; }), calm,
         "passed abeam waypoint 3 at 0:05:01 without unit 2 changing leg, and is 30.0 km beyond it"},
        {"still coming", trace_of(moving, [](double t) { return 200 - t / 6; }), calm,
         "still on its way: 100.0 km to go on leg 2-3"},
    };
    for (Row& row : rows) EXPECT_NE(explain_unfinished(row.trace, row.facts).find(row.says), std::string::npos)
                              << row.what << ": " << explain_unfinished(row.trace, row.facts);
    // The wind comes first, and gains at or below zero are named with any answer.
    StopFacts storm = calm;
    storm.wind_kmh = 600;
    EXPECT_NE(explain_unfinished(rows[4].trace, storm).find("at or above the airspeed"), std::string::npos);
    StopFacts away = calm;
    away.kp = -60;
    EXPECT_NE(explain_unfinished(rows[1].trace, away).find("q14_kp=-60"), std::string::npos);
    EXPECT_EQ(explain_unfinished({}, calm), "the flight recorded nothing");
}

}  // namespace
