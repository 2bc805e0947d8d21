// The display-and-keypad panel as the pilot works it in the stand-in: knob, wheel and switch
// stops, the test page, the lines, signs, digits and lamps through warm-up, alignment and
// navigation, and the hidden areas.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

constexpr const char* kUvi = "Q14_UVI";
constexpr const char* kPur = "Q14_PUR";
constexpr const char* kBlank = "          ";

using uvi::kModeDown, uvi::kModeUp, uvi::kWheelDown, uvi::kWheelUp, uvi::kKey2, uvi::kKey4, uvi::kReset,
    uvi::kTakePosition, uvi::kAlignShortcut;
constexpr int kAvt = uvi::kAuto, kRuchn = uvi::kManual, kOstInd = uvi::kHold, kFocus = uvi::kFocusArea,
              kAreaCount = uvi::kAreaCount - 1;
using uvi::kUpperLine, uvi::kLowerLine, uvi::kFromDigit, uvi::kToDigit, uvi::kEnterLamp, uvi::kRouteLamp,
    uvi::kLzpLamp, uvi::kWheel, uvi::kUpperSign, uvi::kLowerSign;
constexpr int kKnob = uvi::kModeKnob, kSwitch = uvi::kAutoLever, kOstLamp = uvi::kHoldLamp, kFocusMark = uvi::kFocus;
constexpr int kPurUp = pur::kSelectorUp;

class UviPanel : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        char tmpl[] = "/tmp/q14_uvi_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        host_set_sim_dir(dir_);  // no route file: every waypoint reads 1 N 1 E
        Aircraft& a = host_aircraft();
        a.lat = 55.7558;
        a.lon = 37.6033333;
        m_ = host_open_unit(2);
        ASSERT_NE(m_, nullptr) << host_last_error();
        host_frames(2);  // OTKL resets and arms the alignment
    }
    void TearDown() override {
        EXPECT_TRUE(host_text_buffers_intact());
        host_reset();
        rmdir(dir_.c_str());
    }

    void click(int area, int times = 1) {
        for (int i = 0; i < times; ++i) EXPECT_EQ(host_click(m_, kUvi, area), 1);
    }
    void page(int p) {
        click(kModeDown, 9);
        click(kModeUp, p - 1);
        host_frame();
    }
    // Selector to VYST and through the warm-up: the alignment is running.
    void align() {
        host_click(m_, kPur, kPurUp);
        host_click(m_, kPur, kPurUp);
        host_frames(185);
    }
    // Aligned on the aircraft's position with the shortcut, then NAVIG.
    void navigate() {
        align();
        page(2);
        click(kTakePosition);
        click(kAlignShortcut);
        host_frames(560);
        host_click(m_, kPur, kPurUp);
        host_frames(3);
    }
    double value(int k) { return host_element_value(m_, kUvi, k); }
    std::string text(int k) { return host_element_text(m_, kUvi, k); }
    void refresh() { host_update_elements(m_, kUvi); }

    std::string dir_;
    HostModule* m_ = nullptr;
};

TEST_F(UviPanel, KnobWheelAndSwitchStopAtTheirEnds) {
    refresh();
    EXPECT_EQ(value(kKnob), 150.0);  // KONTR
    click(kModeDown, 3);
    refresh();
    EXPECT_EQ(value(kKnob), 150.0);
    click(kModeUp, 12);
    refresh();
    EXPECT_EQ(value(kKnob), 390.0);  // delta/U
    click(kModeDown);
    refresh();
    EXPECT_EQ(value(kKnob), 360.0);

    // The wheel shows its digit with the unit off.
    EXPECT_EQ(value(kWheel), 1.0);
    click(kWheelDown, 3);
    refresh();
    EXPECT_EQ(value(kWheel), 0.0);
    click(kWheelUp, 12);
    refresh();
    EXPECT_EQ(value(kWheel), 9.0);

    EXPECT_EQ(value(kSwitch), -120.0);  // AVT
    click(kRuchn, 2);
    refresh();
    EXPECT_EQ(value(kSwitch), -60.0);
    click(kAvt);
    refresh();
    EXPECT_EQ(value(kSwitch), -120.0);
}

TEST_F(UviPanel, TestPageLightsEverythingOnlyWithTheUnitOn) {
    const int lamps[] = {kEnterLamp, kRouteLamp, kOstLamp, kLzpLamp};
    host_frame();
    EXPECT_EQ(text(kUpperLine), kBlank);
    EXPECT_EQ(text(kLowerLine), kBlank);
    EXPECT_EQ(text(kFromDigit), " ");
    EXPECT_EQ(text(kToDigit), " ");
    EXPECT_EQ(value(kUpperSign), 0.0);
    EXPECT_EQ(value(kLowerSign), 0.0);
    for (int k : lamps) EXPECT_EQ(value(k), -1.0) << "lamp element " << k;

    host_click(m_, kPur, kPurUp);  // OBOGR: the unit is on
    host_frames(2);
    EXPECT_EQ(text(kUpperLine), "  88888888");
    EXPECT_EQ(text(kLowerLine), " 888888888");
    EXPECT_EQ(text(kFromDigit), "8");
    EXPECT_EQ(text(kToDigit), "8");
    EXPECT_EQ(value(kUpperSign), 5.0);
    EXPECT_EQ(value(kLowerSign), 5.0);
    for (int k : lamps) EXPECT_EQ(value(k), 0.0) << "lamp element " << k;

    page(2);  // warming up: nothing to show yet
    EXPECT_EQ(text(kUpperLine), kBlank);
    EXPECT_EQ(text(kFromDigit), " ");
    EXPECT_EQ(value(kUpperSign), 0.0);
    for (int k : lamps) EXPECT_EQ(value(k), -1.0) << "lamp element " << k;
}

TEST_F(UviPanel, AlignmentTakesThePositionAndCountsTheStage) {
    align();
    page(3);
    EXPECT_EQ(text(kUpperLine), kBlank) << "no heading before the alignment is done";
    EXPECT_EQ(text(kLowerLine), "        90");
    click(kTakePosition);  // only on the phi/lambda page
    page(2);
    EXPECT_EQ(text(kUpperLine), kBlank);
    EXPECT_EQ(value(kUpperSign), 0.0);
    EXPECT_EQ(text(kFromDigit), " ") << "leg digits show in navigation only";
    EXPECT_EQ(text(kToDigit), " ");

    click(kTakePosition);
    host_frame();
    EXPECT_EQ(text(kUpperLine), "  55*45,3'");
    EXPECT_EQ(text(kLowerLine), " 037*36,2'");
    EXPECT_EQ(value(kUpperSign), 1.0);
    EXPECT_EQ(value(kLowerSign), 1.0);

    click(kAlignShortcut);
    host_frames(60);
    page(3);
    EXPECT_EQ(text(kLowerLine), "        09");
}

TEST_F(UviPanel, AnEntryDarkensTheOtherLineAndItsSign) {
    align();
    page(2);
    click(kTakePosition);
    host_frame();
    click(kKey2);  // start latitude, north
    host_frames(2);  // the entry sign follows one pass after the start
    EXPECT_EQ(value(kEnterLamp), 0.0);
    EXPECT_EQ(text(kUpperLine), kBlank) << "nothing typed yet";
    EXPECT_EQ(value(kUpperSign), 1.0);
    EXPECT_EQ(text(kLowerLine), kBlank);
    EXPECT_EQ(value(kLowerSign), 0.0);

    click(kReset);
    host_frame();
    EXPECT_EQ(text(kLowerLine), " 037*36,2'");
    EXPECT_EQ(value(kLowerSign), 1.0);

    click(kKey4);  // start longitude, west
    host_frames(2);
    EXPECT_EQ(text(kUpperLine), kBlank);
    EXPECT_EQ(value(kUpperSign), 0.0);
    EXPECT_EQ(value(kLowerSign), 2.0);
}

TEST_F(UviPanel, NavigationShowsTheLegHoldAndFocus) {
    navigate();
    EXPECT_EQ(text(kUpperLine), "  55*45,3'");
    EXPECT_EQ(text(kFromDigit), "1");
    EXPECT_EQ(text(kToDigit), "2");

    EXPECT_EQ(value(kOstLamp), -1.0);  // page 2 held: the position freezes
    click(kOstInd);
    host_frames(2);
    EXPECT_EQ(value(kOstLamp), 0.0);
    const std::string held = text(kUpperLine);
    host_aircraft().lat += 0.5;  // the unit's position moves, the held page does not
    host_frames(5);
    EXPECT_EQ(text(kUpperLine), held);
    click(kOstInd);
    host_frames(2);
    EXPECT_EQ(value(kOstLamp), -1.0);
    EXPECT_NE(text(kUpperLine), held);

    // The indicator follows the system cycle's copy of the focus, a frame behind the click.
    EXPECT_EQ(value(kFocusMark), -1.0);
    click(kFocus);
    host_frames(2);
    EXPECT_EQ(value(kFocusMark), 0.0);
    click(kFocus);
    host_frames(2);
    EXPECT_EQ(value(kFocusMark), -1.0);
}

TEST_F(UviPanel, HiddenAreasActOnlyWhereTheyMay) {
    navigate();  // not aligning any more: the start point stays where it was
    page(4);
    click(kWheelDown, 9);
    host_frame();
    const std::string start = text(kUpperLine);
    EXPECT_EQ(start, "  55*45,3'");
    host_aircraft().lat = 10.0;
    page(2);
    click(kTakePosition);
    click(kAlignShortcut);
    host_frames(2);
    page(4);
    EXPECT_EQ(text(kUpperLine), start);
    EXPECT_EQ(text(kFromDigit), "1");

    for (int a = 1; a <= kAreaCount; ++a) click(a);  // every area answers 1
    EXPECT_EQ(host_mouse_area_count(m_, kUvi), kAreaCount);
}

}  // namespace
