// Tests of the display cycle: what each page shows in each operating state, held pages, the
// blank and sign rules and bad sources.
#include "display/display_cycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

const char* const kBlank = "          ";

// A unit on and navigating, with a value in every source a page shows.
NavState navigating() {
    NavState s;
    s.unit_on = 1;
    s.work_state = 3;
    s.start_lat = 50.0;
    s.start_lon = 30.0;
    s.present_lat = 55.7558;
    s.present_lon = 37.6033333;
    s.heading_copy = 123.45;
    s.ppm_wheel = 3;
    s.ppm_lat[3] = -33.5;
    s.ppm_lon[3] = -70.25;
    s.leg_course = 90.0;
    s.track_angle = 359.96;
    s.dist_to_go = -2.5;
    s.cross_track = -12.34;
    s.ground_speed = 450.5;
    s.drift_angle = 7.96;
    s.eta_hours = 14.5;
    s.clock_set = 1;
    s.time_to_go = 12.34;
    s.wind_dir = 270.0;
    s.wind_speed = 45.0;
    return s;
}

struct Shown {
    std::string upper, lower;
    int sign_upper, sign_lower;
};

Shown run_page(NavState& s, int page) {
    s.mode_switch = static_cast<uint8_t>(page);
    display_cycle(s);
    return {s.upper_text, s.lower_text, s.sign_upper, s.sign_lower};
}

void expect_shown(NavState& s, int page, const Shown& want) {
    Shown got = run_page(s, page);
    EXPECT_EQ(got.upper, want.upper) << "page " << page;
    EXPECT_EQ(got.lower, want.lower) << "page " << page;
    EXPECT_EQ(got.sign_upper, want.sign_upper) << "page " << page;
    EXPECT_EQ(got.sign_lower, want.sign_lower) << "page " << page;
}

TEST(DisplayPages, NavigationShowsEveryPageFromItsSources) {
    const struct {
        int page;
        Shown want;
    } pages[] = {
        {2, {"  55*45,3'", " 037*36,2'", 1, 1}},
        {3, {"    123,5*", kBlank, 0, 0}},  // the stage shows only during alignment
        {4, {"  33*30,0'", " 070*15,0'", 2, 2}},
        {5, {"    090,0*", "    000,0*", 0, 0}},
        {6, {"    0002,5", "     012,3", 4, 4}},
        {7, {"      0451", "    008,0*", 0, 3}},
        {8, {"    14*30'", "     012,3", 0, 0}},
        {9, {"      270*", "       045", 0, 0}},
    };
    NavState s = navigating();
    for (const auto& p : pages) expect_shown(s, p.page, p.want);
}

TEST(DisplayPages, HeldPagesShowTheFrozenCopies) {
    NavState s = navigating();
    s.hold_coords = s.hold_heading = s.hold_track = s.hold_distance = 1;
    s.hold_speed = s.hold_time = s.hold_wind = 1;
    s.shown_lat = -10.5;
    s.shown_lon = 100.25;
    s.shown_heading = 45.0;
    s.shown_track_angle = 180.0;
    s.shown_dist_to_go = 100.0;
    s.shown_cross_track = 1.5;
    s.shown_ground_speed = 300.0;
    s.shown_drift_angle = -2.0;
    s.shown_time_to_go = 5.0;
    s.shown_wind_dir = 90.0;
    s.shown_wind_speed = 20.0;
    const struct {
        int page;
        Shown want;
    } pages[] = {
        {2, {"  10*30,0'", " 100*15,0'", 2, 1}},
        {3, {"    045,0*", kBlank, 0, 0}},
        {5, {"    090,0*", "    180,0*", 0, 0}},  // the desired track is never held
        {6, {"    0100,0", "     001,5", 3, 3}},
        {7, {"      0300", "    002,0*", 0, 4}},
        {8, {"    14*30'", "     005,0", 0, 0}},  // the arrival time is never held
        {9, {"      090*", "       020", 0, 0}},
    };
    for (const auto& p : pages) expect_shown(s, p.page, p.want);
}

TEST(DisplayPages, TimeAndWindBlankOnTheLiveValuesEvenWhenHeld) {
    NavState s = navigating();
    s.hold_time = s.hold_wind = 1;
    s.shown_time_to_go = 5.0;
    s.shown_wind_dir = 90.0;
    s.shown_wind_speed = 20.0;

    s.time_to_go = 0;  // no arrival to show, whatever the frozen copy says
    expect_shown(s, 8, {kBlank, kBlank, 0, 0});
    s.time_to_go = 12.34;
    s.clock_set = 0;  // a clock never set has no arrival time
    expect_shown(s, 8, {kBlank, "     005,0", 0, 0});

    s.wind_dir = 0;
    expect_shown(s, 9, {kBlank, "       020", 0, 0});
    s.wind_dir = 270.0;
    s.wind_speed = 0;
    expect_shown(s, 9, {"      090*", kBlank, 0, 0});
}

TEST(DisplayPages, CoordinatePageFollowsTheOperatingState) {
    NavState s = navigating();
    s.work_state = 2;  // alignment: the start position
    s.start_lat = -33.5;
    s.start_lon = 37.6033333;
    expect_shown(s, 2, {"  33*30,0'", " 037*36,2'", 2, 1});
    s.start_lat = 99.0;  // not entered yet: blank line, no sign
    expect_shown(s, 2, {kBlank, " 037*36,2'", 0, 1});
    s.start_lon = 999.0;
    expect_shown(s, 2, {kBlank, kBlank, 0, 0});

    s.work_state = 3;  // navigation still blanks on the start marks, but signs the position
    expect_shown(s, 2, {kBlank, kBlank, 1, 1});
    s.work_state = 0;
    expect_shown(s, 2, {kBlank, kBlank, 0, 0});
}

TEST(DisplayPages, HeadingAndStageDuringAlignment) {
    NavState s = navigating();
    s.work_state = 2;
    s.align_stage = 42;
    s.warmed_up = 1;
    expect_shown(s, 3, {kBlank, "        42", 0, 0});
    s.align_done = 1;
    expect_shown(s, 3, {"    123,5*", "        42", 0, 0});
    s.warmed_up = 0;
    expect_shown(s, 3, {"    123,5*", kBlank, 0, 0});
}

TEST(DisplayPages, WaypointPage) {
    NavState s = navigating();
    s.ppm_wheel = 0;  // waypoint 0 is the start point
    s.ppm_lat[0] = 55.7558;
    s.ppm_lon[0] = 37.6033333;
    expect_shown(s, 4, {"  55*45,3'", " 037*36,2'", 1, 1});

    s.ppm_wheel = 5;  // an empty waypoint
    s.ppm_lat[5] = 99.0;
    s.ppm_lon[5] = 999.0;
    expect_shown(s, 4, {kBlank, kBlank, 0, 0});

    s.ppm_wheel = 3;  // off or warming up: the lines blank, the signs still show
    s.work_state = 0;
    expect_shown(s, 4, {kBlank, kBlank, 2, 2});
}

TEST(DisplayPages, WheelOutsideTheRouteShowsNothing) {
    for (int wheel : {-1, 10, 127, -128}) {
        NavState s = navigating();
        s.ppm_wheel = static_cast<int8_t>(wheel);
        expect_shown(s, 4, {kBlank, kBlank, 0, 0});
    }
}

TEST(DisplaySigns, SignsFollowTheUnitAndThePage) {
    NavState s = navigating();
    s.work_state = 0;  // pages 6 and 7 sign beside blank lines in every state
    expect_shown(s, 6, {kBlank, kBlank, 4, 4});
    expect_shown(s, 7, {kBlank, kBlank, 0, 3});
    expect_shown(s, 5, {kBlank, kBlank, 0, 0});

    s.unit_on = 0;  // unit off: no sign anywhere, the test page included
    for (int page = 1; page <= 9; ++page) {
        Shown got = run_page(s, page);
        EXPECT_EQ(got.sign_upper, 0) << "page " << page;
        EXPECT_EQ(got.sign_lower, 0) << "page " << page;
    }
    s.unit_on = 1;
    Shown test = run_page(s, 1);
    EXPECT_EQ(test.sign_upper, 5);
    EXPECT_EQ(test.sign_lower, 5);
}

TEST(DisplayPages, TestPageKeepsTheTexts) {
    NavState s = navigating();
    run_page(s, 6);
    std::strcpy(s.upper_text, "abc");
    expect_shown(s, 1, {"abc", "     012,3", 5, 5});
}

TEST(DisplayPages, KnobOutsideItsScaleShowsNothing) {
    for (int page : {0, 10, 255}) {
        NavState s = navigating();
        expect_shown(s, page, {kBlank, kBlank, 0, 0});
    }
}

TEST(DisplayPages, BadSourcesNeverShowDigitsTheyDoNotHave) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    NavState s = navigating();
    s.dist_to_go = nan;  // no value: blank line and no sign
    s.cross_track = 1e12;  // huge: the format's limit
    expect_shown(s, 6, {kBlank, "     399,0", 0, 3});
    s.ground_speed = inf;  // a speed the wrap cannot bring into range
    s.drift_angle = -inf;
    expect_shown(s, 7, {kBlank, "    399,0*", 0, 4});
    s.present_lat = nan;
    s.present_lon = -1e12;
    expect_shown(s, 2, {kBlank, kBlank, 0, 2});
    s.wind_dir = nan;  // an undefined wind direction (no wind) is not shown
    expect_shown(s, 9, {kBlank, "       045", 0, 0});
}

}  // namespace
