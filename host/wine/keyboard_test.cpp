// Real keystrokes through the system's input queue to a focused window while both real modules
// are loaded: which keys their keyboard hooks swallow, what the keys do, the N/S sense.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/standin.h"
#include "host/wine/key_window.h"
#include "panels/panel_map.h"

namespace {

constexpr const char* kUvi = "Q14_UVI";
constexpr const char* kPur = "Q14_PUR";
// UVI mouse areas and chain elements.
using uvi::kModeDown, uvi::kModeUp, uvi::kFocusArea, uvi::kUpperLine, uvi::kWheel, uvi::kUpperSign;
constexpr int kPanelKey0 = uvi::kKey0, kPanelKey1 = uvi::kKey1, kPanelEnter = uvi::kEnter, kFocusMark = uvi::kFocus;
constexpr int kSelectorUp = pur::kSelectorUp;

// PC scan codes (set 1).
enum : int {
    kScanMinus = 12, kScanEquals = 13, kScanEnter = 28, kScanPad7 = 71, kScanPad8 = 72, kScanPad9 = 73,
    kScanPadMinus = 74, kScanPad4 = 75, kScanPad5 = 76, kScanPad6 = 77, kScanPadPlus = 78, kScanPad1 = 79,
    kScanPad2 = 80, kScanPad3 = 81, kScanPad0 = 82, kScanPadPoint = 83, kScanF11 = 87, kScanF12 = 88,
};

struct KeyCase {
    int scan;
    const char* name;
    bool swallowed;  // with the focus on
};

const KeyCase kKeys[] = {
    {kScanPad0, "keypad 0", true},   {kScanPad1, "keypad 1", true},       {kScanPad2, "keypad 2", true},
    {kScanPad3, "keypad 3", true},   {kScanPad4, "keypad 4", true},       {kScanPad5, "keypad 5", true},
    {kScanPad6, "keypad 6", true},   {kScanPad7, "keypad 7", true},       {kScanPad8, "keypad 8", true},
    {kScanPad9, "keypad 9", true},   {kScanEnter, "Enter", true},         {kScanMinus, "minus", true},
    {kScanEquals, "equals", true},   {kScanPadMinus, "keypad minus", true}, {kScanPadPlus, "keypad plus", true},
    {kScanPadPoint, "keypad point", true},
    {30, "A", false},  {16, "Q", false},  {44, "Z", false},   {2, "main 1", false}, {57, "Space", false},
    {15, "Tab", false}, {59, "F1", false}, {60, "F2", false}, {61, "F3", false},   {62, "F4", false},
    {63, "F5", false},  {64, "F6", false}, {65, "F7", false}, {66, "F8", false},   {67, "F9", false},
    {68, "F10", false}, {kScanF11, "F11", true}, {kScanF12, "F12", true},
};

class WineKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        ASSERT_TRUE(key_window_open()) << key_window_error();
        n1 = host_open_unit(1);
        n2 = host_open_unit(2);
        ASSERT_TRUE(n1 && n2) << host_last_error();
        host_frame();
    }
    void TearDown() override {
        host_reset();
        key_window_pump();
    }
    // One keystroke, then one frame, as the simulator runs its gauges between inputs.
    Keystroke stroke(int scan) {
        Keystroke k = key_stroke(scan);
        host_frame();
        return k;
    }
    // Clicks the UVI focus area and lets the system cycle run.
    void toggle_focus(HostModule* m) {
        host_click(m, kUvi, kFocusArea);
        host_frame();
    }
    // What the UVI shows now, evaluated after the frame's last cycle.
    double uvi(HostModule* m, int k) {
        host_update_elements(m, kUvi);
        return host_element_value(m, kUvi, k);
    }
    std::string upper_line(HostModule* m) {
        host_update_elements(m, kUvi);
        return host_element_text(m, kUvi, kUpperLine);
    }

    HostModule* n1 = nullptr;
    HostModule* n2 = nullptr;
};

TEST_F(WineKeyboard, CommandKeysAreSwallowedOnlyWhileTheUnitHasFocus) {
    for (const KeyCase& c : kKeys) {
        Keystroke k = stroke(c.scan);
        EXPECT_TRUE(k.press_seen) << c.name << " reaches the window without focus";
        EXPECT_TRUE(k.release_seen) << c.name;
    }

    toggle_focus(n2);
    ASSERT_EQ(host_named_int("Q14_N2_HOOK"), 1);
    EXPECT_EQ(uvi(n2, kFocusMark), 0.0) << "the focus mark shows";
    for (const KeyCase& c : kKeys) {
        Keystroke k = stroke(c.scan);
        EXPECT_EQ(k.press_seen, !c.swallowed) << c.name << (c.swallowed ? " is swallowed" : " passes");
        EXPECT_TRUE(k.release_seen) << "the release of " << c.name << " passes";
    }

    toggle_focus(n2);
    EXPECT_EQ(host_named_int("Q14_N2_HOOK"), 0);
    EXPECT_EQ(uvi(n2, kFocusMark), -1.0);
    EXPECT_TRUE(stroke(kScanPad8).press_seen) << "focus released: the keypad reaches the window again";
}

// The main-keyboard equals and minus keys turn the focused unit's waypoint wheel, and stop at 9.
TEST_F(WineKeyboard, EqualsAndMinusTurnTheFocusedUnitsWheel) {
    toggle_focus(n2);
    const double start = uvi(n2, kWheel);
    const double other = uvi(n1, kWheel);
    for (int i = 0; i < 3; ++i) stroke(kScanEquals);
    EXPECT_EQ(uvi(n2, kWheel), start + 3);
    stroke(kScanMinus);
    EXPECT_EQ(uvi(n2, kWheel), start + 2);
    for (int i = 0; i < 12; ++i) stroke(kScanEquals);
    EXPECT_EQ(uvi(n2, kWheel), 9.0);
    EXPECT_EQ(uvi(n1, kWheel), other) << "the unit without focus keeps its wheel";
}

// Unit 1 takes the focus: unit 2 drops it on its next cycle and unit 1's hook takes the keys.
TEST_F(WineKeyboard, FocusPassesToTheUnitThatTookItLast) {
    toggle_focus(n2);
    ASSERT_EQ(host_named_int("Q14_N2_HOOK"), 1);
    toggle_focus(n1);
    EXPECT_EQ(host_named_int("Q14_N1_HOOK"), 1);
    EXPECT_EQ(host_named_int("Q14_N2_HOOK"), 0);
    const double wheel2 = uvi(n2, kWheel);
    const double wheel1 = uvi(n1, kWheel);
    EXPECT_FALSE(stroke(kScanEquals).press_seen);
    EXPECT_EQ(uvi(n1, kWheel), wheel1 + 1);
    EXPECT_EQ(uvi(n2, kWheel), wheel2);
}

// Stopping the module removes its hook even while the unit still holds the focus.
TEST_F(WineKeyboard, ModuleDeinitRemovesTheHook) {
    toggle_focus(n2);
    ASSERT_FALSE(stroke(kScanPad5).press_seen);
    const void* linkage = host_linkage(n2);
    uint32_t deinit;
    std::memcpy(&deinit, static_cast<const char*>(linkage) + 8, sizeof deinit);
    reinterpret_cast<void(__stdcall*)()>(deinit)();
    EXPECT_TRUE(stroke(kScanPad5).press_seen);
    EXPECT_EQ(host_named_int("Q14_N2_HOOK"), 1) << "the focus itself is untouched";
}

// Start latitude entry during alignment on the phi/lambda page. The PC keypad has 7 8 9 on
// top, so its 8 enters north and its 2 south; on the panel's own keypad 2 is N and 8 is S.
TEST_F(WineKeyboard, KeypadEightEntersNorthPanelEightSouth) {
    // VYST, page 2, through the warm-up: the alignment runs (work_state 2).
    host_click(n2, kPur, kSelectorUp);
    host_click(n2, kPur, kSelectorUp);
    for (int i = 0; i < 8; ++i) host_click(n2, kUvi, kModeDown);
    host_click(n2, kUvi, kModeUp);
    host_frames(182);
    toggle_focus(n2);

    struct Case {
        const char* what;
        bool keypad;
        int key;   // digit 2 or 8
        double sign;  // upper sign frame: 1 N, 2 S
    };
    const Case cases[] = {
        {"keypad 8", true, 8, 1}, {"keypad 2", true, 2, 2}, {"panel 2", false, 2, 1}, {"panel 8", false, 8, 2},
    };
    const int pad_digit_scan[] = {kScanPad0, kScanPad1, kScanPad2, kScanPad3, kScanPad4,
                                  kScanPad5, kScanPad6, kScanPad7, kScanPad8, kScanPad9};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Starts the entry with the hemisphere key, then types 55 45.5 and VVOD.
        auto key = [&](int digit) {
            if (c.keypad) {
                EXPECT_FALSE(stroke(pad_digit_scan[digit]).press_seen);
            } else {
                host_click(n2, kUvi, digit == 0 ? kPanelKey0 : kPanelKey1 + digit - 1);
                host_frame();
            }
        };
        key(c.key);
        for (int d : {5, 5, 4, 5, 5}) key(d);
        EXPECT_EQ(upper_line(n2), "  55*45,5'");
        EXPECT_EQ(uvi(n2, kUpperSign), c.sign) << "sign while entering";
        if (c.keypad) {
            EXPECT_FALSE(stroke(kScanEnter).press_seen);
        } else {
            host_click(n2, kUvi, kPanelEnter);
            host_frame();
        }
        host_frame();
        EXPECT_EQ(uvi(n2, kUpperSign), c.sign) << "sign of the start latitude";
        EXPECT_EQ(upper_line(n2), "  55*45,5'");
    }
}

}  // namespace
