// Keypad entry in the unit 1 module: the position correction moves the dead-reckoned
// position only; unit 1 keeps no drift.
#include "display/keypad_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(KeypadEntryUnit1, CorrectionLeavesTheDriftAlone) {
    NavState s;
    s.unit_on = 1;
    s.work_state = 3;
    s.mode_switch = 2;
    s.hold_coords = 1;
    s.aircraft_lat = 50.0;
    s.present_lat = 50.2;
    s.shown_lat = 50.2;
    const char* keys = "250000";
    for (const char* k = keys; *k; ++k) {
        (*k == '2' ? s.key_2 : *k == '5' ? s.key_5 : s.key_0) = 1;
        keypad_entry(s);
    }
    s.key_enter = 1;
    keypad_entry(s);
    EXPECT_EQ(s.present_lat, 50.0);
    EXPECT_EQ(s.shown_lat, 50.0);
    EXPECT_EQ(s.drift_north_m, 0.0);
}

}  // namespace
