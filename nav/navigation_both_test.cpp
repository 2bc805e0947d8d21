// Turn lead and automatic leg change of each unit against figures worked out by hand: turn
// radius W^2 / 46.27 m for unit 2 and W^2 / 59.3 m for unit 1 (W in km/h; 20 and 25 degrees of bank).
#include "nav/navigation.h"

#include <gtest/gtest.h>

#include "frame/unit_profile.h"

namespace {

// Figures for 600 km/h, by unit (index 1 and 2), in km.
struct LeadFigures {
    double radius;        // 600^2 / 59.3 or / 46.27 metres
    double lead_90_roll;  // 90-degree turn, 3.6 s of roll-in (0.6 km): radius + 0.6
    double lead_capped;   // 135-degree turn taken as 110, 3.5 s: 0.5833 + tan 55 * radius
};
constexpr LeadFigures kFigures[] = {{}, {6.070826, 6.670826, 9.253372}, {7.780419, 8.380419, 11.694924}};
const LeadFigures& figures() { return kFigures[kUnit.unit]; }

constexpr double kKmPerDegree = 111.180001;  // along the equator of the 6370.1448 km sphere

// Ready, in automatic mode, flying east along the equator from waypoint 1 (0N 0E) to waypoint
// 2 (0N 1E) at 600 km/h, `to_go` km short of waypoint 2; waypoint 3 sets the turn.
NavState eastbound(double to_go, double next_lat, double next_lon, double bank_time) {
    NavState s;
    s.nav_ready = 1, s.auto_manual = 1, s.sim_rate = 1, s.frame_dt = 0.055;
    s.ppm_lat[1] = 0, s.ppm_lon[1] = 0, s.ppm_lat[2] = 0, s.ppm_lon[2] = 1;
    s.ppm_lat[3] = next_lat, s.ppm_lon[3] = next_lon;
    s.ppm_from = 1, s.ppm_to = 2;
    s.present_lat = 0, s.present_lon = 1 - to_go / kKmPerDegree;
    s.gs_east = 600, s.gs_north = 0, s.heading = 90;
    s.ground_speed = 600;  // last cycle's speed sets the lead
    s.bank_time = bank_time;
    return s;
}

TEST(TurnLead, FollowsEachUnitsTurnRadius) {
    struct Case {
        const char* name;
        double next_lat, next_lon, bank_time;
        double want_angle, want_lead, tolerance;
    } cases[] = {
        // The due-north leg's zero substitute leaves this turn 0.006 degrees short of 90: 0.6 m.
        {"90 degrees to the north", 1, 1, 3.6, 90, figures().lead_90_roll, 0.001},
        {"90 degrees, no roll-in", 1, 1, 0, 90, figures().radius, 0.001},
        {"back north-west, capped at 110", 1, 0, 3.5, 110, figures().lead_capped, 0.0001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NavState s = eastbound(50, c.next_lat, c.next_lon, c.bank_time);
        navigation_step(s);
        EXPECT_EQ(s.ppm_next, 3);
        EXPECT_NEAR(s.turn_angle, c.want_angle, 0.01);
        EXPECT_NEAR(s.turn_lead, c.want_lead, c.tolerance);
        EXPECT_NEAR(s.dist_to_go, 50, 1e-3);
        EXPECT_NEAR(s.cross_track, 0, 1e-9);
    }
}

// Flown in from 20 km out, the unit arms and then changes to the next leg on the first cycle
// that finds it inside its own lead distance, 6.67 km for unit 1 and 8.38 km for unit 2.
TEST(TurnLead, LegChangesAtTheUnitsLeadPoint) {
    NavState s = eastbound(20, 1, 1, 3.6);
    const double step_km = 600 * s.frame_dt / 3600;
    double to_go_at_switch = -1;
    for (int i = 0; i < 3000 && to_go_at_switch < 0; ++i) {
        navigation_step(s);
        leg_switching_step(s);
        if (s.ppm_to != 2) to_go_at_switch = s.dist_to_go;
        s.present_lon += step_km / kKmPerDegree;
    }
    ASSERT_GE(to_go_at_switch, 0) << "no leg change";
    EXPECT_EQ(s.ppm_from, 2);
    EXPECT_EQ(s.ppm_to, 3);
    EXPECT_EQ(s.leg_switched, 1);
    EXPECT_LT(to_go_at_switch, figures().lead_90_roll);
    EXPECT_GT(to_go_at_switch, figures().lead_90_roll - step_km - 1e-6);
}

// Either unit's lead, a little inside and a little outside it: the two units part between them.
TEST(TurnLead, ArmedLegChangesOnlyInsideTheLead) {
    struct Case {
        double to_go;
        bool want_switch[3];  // by unit
    } cases[] = {
        {6.62, {false, true, true}},
        {6.72, {false, false, true}},
        {8.33, {false, false, true}},
        {8.43, {false, false, false}},
    };
    for (const Case& c : cases) {
        NavState s = eastbound(c.to_go, 1, 1, 3.6);
        s.leg_switch_armed = 1;
        navigation_step(s);
        leg_switching_step(s);
        EXPECT_EQ(s.ppm_to == 3, c.want_switch[kUnit.unit]) << c.to_go << " km to go";
    }
}

}  // namespace
