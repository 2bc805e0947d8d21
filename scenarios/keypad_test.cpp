// The pilot programs the unit: keypad entries clicked on the UVI of a loaded module in the
// stand-in, checked on the display lines, signs, digits and lamps the panel shows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "host/sim_dir.h"
#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

constexpr const char* kUvi = "Q14_UVI";
constexpr const char* kPur = "Q14_PUR";

using uvi::kModeDown, uvi::kModeUp, uvi::kWheelDown, uvi::kWheelUp, uvi::kRouteReload, uvi::kTakePosition,
    uvi::kAlignShortcut;
constexpr int kAvt = uvi::kAuto, kRuchn = uvi::kManual;
using uvi::kUpperLine, uvi::kLowerLine, uvi::kFromDigit, uvi::kToDigit, uvi::kEnterLamp, uvi::kRouteLamp,
    uvi::kUpperSign, uvi::kLowerSign;

// Route 0 runs north from the start along 37 E; route 2 holds waypoint 25.
constexpr const char* kRouteFile =
    "[PPM]\n"
    "ppm_01=55*0,37*0\n"
    "ppm_02=56*0,37*0\n"
    "ppm_25=-12*34.5,-76*54.3\n";

class KeypadScenario : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        dir_ = host_make_sim_dir("q14_keypad", kRouteFile);
        ASSERT_FALSE(dir_.empty());
        Aircraft& a = host_aircraft();
        a.lat = 55.0;
        a.lon = 37.0;
        a.heading = 0;
    }
    void TearDown() override {
        host_reset();
        host_remove_sim_dir(dir_);
    }
    std::string cfg() const { return host_sim_cfg_path(dir_); }

    // Loads the unit, warms it up and aligns it on the aircraft's position (with the
    // shortcut), then turns the selector to NAVIG.
    void navigate(int unit = 2) {
        m_ = host_open_unit(unit);
        ASSERT_NE(m_, nullptr);
        host_frames(2);  // OTKL arms the alignment
        host_click(m_, kPur, pur::kSelectorUp);
        host_click(m_, kPur, pur::kSelectorUp);
        host_frames(185);  // warm-up, then the alignment starts at VYST
        page(2);
        host_click(m_, kUvi, kTakePosition);
        host_click(m_, kUvi, kAlignShortcut);
        host_frames(560);
        host_click(m_, kPur, pur::kSelectorUp);
        host_frames(3);
        ASSERT_NE(upper(), "          ") << "page 2 shows the present position in navigation";
    }
    void area(int a) { host_click(m_, kUvi, a); }
    void page(int p) {
        for (int i = 0; i < 9; ++i) area(kModeDown);
        for (int i = 1; i < p; ++i) area(kModeUp);
        host_frame();
    }
    void wheel(int w) {
        for (int i = 0; i < 9; ++i) area(kWheelDown);
        for (int i = 0; i < w; ++i) area(kWheelUp);
        host_frame();
    }
    // One click and one frame per character: digits, E VVOD, R SBROS, M IZM MARSH, O OST INDIK.
    void keys(const char* seq) {
        for (const char* k = seq; *k; ++k) {
            int a = 0;
            switch (*k) {
            case 'E': a = uvi::kEnter; break;
            case 'R': a = uvi::kReset; break;
            case 'M': a = uvi::kRouteChange; break;
            case 'O': a = uvi::kHold; break;
            default: a = uvi::key_area(*k - '0'); break;
            }
            area(a);
            host_frame();
        }
    }
    std::string upper() { return host_element_text(m_, kUvi, kUpperLine); }
    std::string lower() { return host_element_text(m_, kUvi, kLowerLine); }
    double value(int k) { return host_element_value(m_, kUvi, k); }

    std::string dir_;
    HostModule* m_ = nullptr;
};

constexpr const char* kBlank = "          ";

TEST_F(KeypadScenario, WaypointNorthSouthAndWest) {
    navigate();
    page(4);
    wheel(3);
    keys("25545");
    EXPECT_EQ(upper(), "  05*54,5'");
    EXPECT_EQ(lower(), kBlank) << "the other line is dark during an upper entry";
    EXPECT_EQ(value(kEnterLamp), 0.0);
    keys("5");
    EXPECT_EQ(upper(), "  55*45,5'");
    keys("E");
    host_frame();  // the page line is formatted before the entry is written
    EXPECT_EQ(upper(), "  55*45,5'");
    EXPECT_EQ(value(kUpperSign), 1.0);
    EXPECT_EQ(value(kEnterLamp), -1.0);

    keys("855455E");
    host_frame();
    EXPECT_EQ(upper(), "  55*45,5'");
    EXPECT_EQ(value(kUpperSign), 2.0);

    keys("4037362");
    EXPECT_EQ(lower(), " 037*36,2'");
    EXPECT_EQ(upper(), kBlank);
    keys("E");
    host_frame();
    EXPECT_EQ(lower(), " 037*36,2'");
    EXPECT_EQ(value(kLowerSign), 2.0);
    EXPECT_EQ(upper(), "  55*45,5'");

    // 90 degrees and 59 60.0 are refused: the waypoint keeps 55 45.5 S.
    keys("290000E");
    EXPECT_EQ(upper(), "  55*45,5'");
    EXPECT_EQ(value(kUpperSign), 2.0);
    keys("259600E");
    EXPECT_EQ(upper(), "  55*45,5'");
}

TEST_F(KeypadScenario, PcKeypadEightIsNorth) {
    navigate();
    page(4);
    wheel(3);
    host_click(m_, kUvi, uvi::kFocusArea);  // take the keyboard
    host_frame();
    // Keypad 8 (top row), then 5 5 4 5 5 and Enter.
    for (int scan : {72, 76, 76, 75, 76, 76, 28}) {
        EXPECT_TRUE(host_key(scan)) << scan;
        host_key(scan, 1, true);
        host_frame();
    }
    host_frame();
    EXPECT_EQ(upper(), "  55*45,5'");
    EXPECT_EQ(value(kUpperSign), 1.0);
}

TEST_F(KeypadScenario, WheelAtZeroStartsNothing) {
    navigate();
    page(4);
    wheel(0);
    const std::string shown = upper();
    for (const char* k : {"2", "8", "6", "4", "0"}) {
        keys(k);
        EXPECT_EQ(value(kEnterLamp), -1.0) << k;
        EXPECT_EQ(upper(), shown) << k;
    }
}

TEST_F(KeypadScenario, FileWaypointTwentyFive) {
    navigate();
    page(4);
    wheel(5);
    keys("0");
    EXPECT_EQ(upper(), "LAT PPM   ");
    EXPECT_EQ(lower(), "LON PPM   ");
    keys("2");
    EXPECT_EQ(upper(), "LAT PPM 25");
    EXPECT_EQ(lower(), "LON PPM 25");
    keys("E");
    host_frame();
    EXPECT_EQ(upper(), "  12*34,5'");
    EXPECT_EQ(lower(), " 076*54,3'");
    EXPECT_EQ(value(kUpperSign), 2.0);
    EXPECT_EQ(value(kLowerSign), 2.0);

    // Route 4 does not exist: two dashes, and VVOD leaves the waypoint alone.
    keys("04");
    EXPECT_EQ(upper(), "LAT PPM --");
    keys("E");
    EXPECT_EQ(upper(), "  12*34,5'");
}

TEST_F(KeypadScenario, LegChangeInManualMode) {
    navigate();
    page(6);
    area(kRouteReload);  // route 0 into the working route
    host_frame();
    EXPECT_EQ(host_element_text(m_, kUvi, kFromDigit), "1");
    EXPECT_EQ(host_element_text(m_, kUvi, kToDigit), "2");

    keys("M");  // AVT: the key does nothing
    EXPECT_EQ(value(kRouteLamp), -1.0);
    keys("04E");
    EXPECT_EQ(host_element_text(m_, kUvi, kFromDigit), "1");
    EXPECT_EQ(host_element_text(m_, kUvi, kToDigit), "2");

    area(kRuchn);
    keys("M");
    EXPECT_EQ(value(kRouteLamp), 0.0);
    EXPECT_EQ(host_element_text(m_, kUvi, kFromDigit), " ");
    keys("0");
    EXPECT_EQ(host_element_text(m_, kUvi, kFromDigit), "0");
    EXPECT_EQ(host_element_text(m_, kUvi, kToDigit), " ");
    keys("4E");
    host_frame();
    EXPECT_EQ(host_element_text(m_, kUvi, kFromDigit), "0");
    EXPECT_EQ(host_element_text(m_, kUvi, kToDigit), "4");
    EXPECT_EQ(value(kRouteLamp), -1.0);

    // Waypoint 0, the start of the leg, is now where the unit was.
    page(2);
    const std::string lat = upper(), lon = lower();
    page(4);
    wheel(0);
    EXPECT_EQ(upper(), lat);
    EXPECT_EQ(lower(), lon);
}

TEST_F(KeypadScenario, ClockTime) {
    navigate();
    area(kRouteReload);
    host_aircraft().tas_kmh = 450;
    host_aircraft().fly = true;
    host_frames(20);
    page(8);
    EXPECT_EQ(upper(), kBlank) << "no arrival time before the clock is set";
    EXPECT_NE(lower(), kBlank) << "time to go runs";
    keys("21430");
    EXPECT_EQ(upper(), "    14*30'");
    keys("E");
    host_frame();
    // Arrival at waypoint 2, some 100 km ahead at 450 km/h: about 14:43.
    EXPECT_EQ(upper().substr(0, 7), "    14*");
    EXPECT_GE(upper()[7], '3');
}

TEST_F(KeypadScenario, RefusedClockTimeStillSetsTheClock) {
    navigate();
    area(kRouteReload);
    host_aircraft().tas_kmh = 450;
    host_aircraft().fly = true;
    host_frames(20);
    page(8);
    EXPECT_EQ(upper(), kBlank);
    keys("22500E");
    host_frame();
    // The clock stays near midnight, but the arrival line now shows.
    EXPECT_EQ(upper().substr(0, 7), "    00*");
}

TEST_F(KeypadScenario, TrueAirspeedOnlyWithAHold) {
    navigate();
    area(kRouteReload);
    Aircraft& a = host_aircraft();
    a.tas_kmh = 450;
    a.wind_to_deg = 90;
    a.wind_kmh = 60;
    a.fly = true;
    host_frames(20);
    page(9);
    keys("6");
    EXPECT_EQ(value(kEnterLamp), -1.0) << "no hold: key 6 starts nothing";
    EXPECT_EQ(lower(), kBlank) << "no wind without an airspeed";
    keys("O");  // hold page 9
    keys("60450");
    EXPECT_EQ(lower(), "      0450");
    keys("E");
    keys("O");  // release
    host_frames(3);
    EXPECT_EQ(lower(), "       060");
    EXPECT_EQ(upper(), "      090*");
}

TEST_F(KeypadScenario, ResetRestoresTheLinesAtOnce) {
    navigate();
    page(4);
    wheel(1);
    const std::string lat = upper(), lon = lower();
    keys("255");
    EXPECT_NE(upper(), lat);
    keys("R");
    EXPECT_EQ(upper(), lat);
    EXPECT_EQ(lower(), lon);
    EXPECT_EQ(value(kEnterLamp), -1.0);
}

TEST_F(KeypadScenario, TwoDigitsInOnePassCollectTheLowest) {
    navigate();
    page(4);
    wheel(2);
    keys("2");
    area(uvi::kKey5);
    area(uvi::kKey3);  // same frame
    host_frame();
    keys("1111");
    EXPECT_EQ(upper(), "  31*11,1'");
}

}  // namespace
