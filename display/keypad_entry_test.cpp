// Keypad entry tests over a bare navigator record: each key latch is followed by one entry
// pass, as the display cycle runs it once per frame.
#include "display/keypad_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// A powered unit in `state` with the knob at `page`.
NavState unit(int state, int page, int wheel = 1) {
    NavState s;
    s.unit_on = 1;
    s.work_state = static_cast<uint8_t>(state);
    s.mode_switch = static_cast<uint8_t>(page);
    s.ppm_wheel = static_cast<int8_t>(wheel);
    s.ppm_select = static_cast<uint8_t>(wheel);
    for (int w = 0; w < 10; ++w) {
        s.ppm_lat[w] = kEmptyLat;
        s.ppm_lon[w] = kEmptyLon;
    }
    return s;
}

int32_t& latch(NavState& s, char k) {
    switch (k) {
    case 'E': return s.key_enter;
    case 'R': return s.key_reset;
    case 'M': return s.key_route_change;
    case 'O': return s.key_ost_ind;
    default: break;
    }
    int32_t* digits[10] = {&s.key_0, &s.key_1, &s.key_2, &s.key_3, &s.key_4,
                           &s.key_5, &s.key_6, &s.key_7, &s.key_8, &s.key_9};
    return *digits[k - '0'];
}

// Each character one key and one pass: digits, E (VVOD), R (SBROS), M (IZM MARSH).
void type(NavState& s, const char* keys) {
    for (const char* k = keys; *k; ++k) {
        latch(s, *k) = 1;
        keypad_entry(s);
    }
}

// The PC keypad's 2 or 8: the key and the swap flag.
void pc_key(NavState& s, char k) {
    latch(s, k) = 1;
    s.kbd_ns_swap = 1;
    keypad_entry(s);
}

std::string upper(const NavState& s) { return s.upper_entry_text; }
std::string lower(const NavState& s) { return s.lower_entry_text; }

TEST(KeypadEntry, WaypointLatitudeTypedFromTheRight) {
    NavState s = unit(3, 4, 3);
    type(s, "2");
    EXPECT_EQ(s.entry_active, 1);
    EXPECT_EQ(s.entry_lat_ppm, 1);
    EXPECT_EQ(s.enter_lamp, 1);
    EXPECT_EQ(upper(s), "          ");  // nothing typed yet
    type(s, "55");
    EXPECT_EQ(upper(s), "  00*05,5'");
    EXPECT_EQ(s.entry_sign_upper, 1);
    type(s, "455");
    EXPECT_EQ(upper(s), "  55*45,5'");
    EXPECT_EQ(s.entry_digits_left, 0);
    type(s, "9");  // a sixth digit is ignored
    EXPECT_EQ(upper(s), "  55*45,5'");
    type(s, "E");
    EXPECT_NEAR(s.ppm_lat[3], 55.758333333, 1e-6);
    EXPECT_EQ(s.ppm_lon[3], kEmptyLon);
    EXPECT_EQ(s.entry_active, 0);
    EXPECT_EQ(s.entry_lat_ppm, 0);
    EXPECT_EQ(s.enter_lamp, 0);
    EXPECT_EQ(s.entry_value, 0);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(s.entry_digits[k], 0);
}

TEST(KeypadEntry, HemisphereFollowsTheKeyAndTheKeypadRows) {
    struct Case {
        char key;
        bool pc;
        double sign;
    } cases[] = {{'2', false, 1}, {'8', false, -1}, {'8', true, 1}, {'2', true, -1}};
    for (const auto& c : cases) {
        NavState s = unit(3, 4, 3);
        if (c.pc) pc_key(s, c.key);
        else type(s, std::string(1, c.key).c_str());
        EXPECT_EQ(s.kbd_ns_swap, 0);
        type(s, "55455");
        EXPECT_EQ(s.entry_sign_upper, c.sign > 0 ? 1 : 2);
        type(s, "E");
        EXPECT_NEAR(s.ppm_lat[3], c.sign * 55.758333333, 1e-6) << c.key << c.pc;
    }
}

TEST(KeypadEntry, WaypointLongitudeEastAndWest) {
    NavState s = unit(2, 4, 7);
    type(s, "6037362");
    EXPECT_EQ(lower(s), " 037*36,2'");
    EXPECT_EQ(s.entry_sign_lower, 1);
    type(s, "E");
    EXPECT_NEAR(s.ppm_lon[7], 37.603333333, 1e-6);
    type(s, "4179599E");
    EXPECT_NEAR(s.ppm_lon[7], -179.998333333, 1e-6);
    // Key 4 also opens a longitude from the PC keypad on any page with W.
    type(s, "4");
    EXPECT_EQ(s.entry_lon_sign, -1);
    EXPECT_EQ(s.entry_lon_ppm, 1);
}

TEST(KeypadEntry, OutOfRangeCoordinatesAreRefused) {
    struct Case {
        const char* keys;
        bool accepted;
    } cases[] = {
        {"290000E", false}, {"259600E", false}, {"289599E", true}, {"200000E", true},
        {"6180000E", false}, {"6179599E", true}, {"6010600E", false},
    };
    for (const auto& c : cases) {
        NavState s = unit(3, 4, 2);
        type(s, c.keys);
        const bool lon = c.keys[0] == '6';
        const double v = lon ? s.ppm_lon[2] : s.ppm_lat[2];
        EXPECT_EQ(v != (lon ? kEmptyLon : kEmptyLat), c.accepted) << c.keys;
        EXPECT_EQ(s.entry_active, 0) << c.keys;  // refused or not, the entry ends
    }
}

TEST(KeypadEntry, WheelAtZeroStartsNothingOnThePpmPage) {
    for (char k : std::string("28640")) {
        NavState s = unit(3, 4, 0);
        type(s, std::string(1, k).c_str());
        EXPECT_EQ(s.entry_active, 0) << k;
        EXPECT_EQ(s.entry_lat_ppm + s.entry_lon_ppm + s.entry_ppm_number, 0) << k;
        EXPECT_EQ(latch(s, k), 0) << k;
    }
}

TEST(KeypadEntry, PagesAndStatesThatStartNothing) {
    struct Case {
        int state, page, hold;
        char key;
    } cases[] = {
        {3, 2, 0, '2'},  // correction needs a held page
        {0, 2, 0, '2'}, {0, 4, 0, '6'}, {2, 3, 0, '2'}, {3, 5, 0, '8'},
        {3, 9, 0, '6'},  // airspeed needs a hold
        {2, 9, 1, '6'},  // and navigation
        {3, 8, 0, '8'},  // the panel's 8 is S, not the clock's N
        {3, 4, 0, 'M'},  // AVT: no leg entry
    };
    for (const auto& c : cases) {
        NavState s = unit(c.state, c.page, 3);
        s.ost_ind = s.hold_coords = c.hold;
        type(s, std::string(1, c.key).c_str());
        EXPECT_EQ(s.entry_active, 0) << c.state << c.page << c.key;
        EXPECT_EQ(s.route_change_lamp, 0);
    }
}

TEST(KeypadEntry, StartPositionInAlignment) {
    NavState s = unit(2, 2);
    type(s, "255455E6037362E");
    EXPECT_NEAR(s.start_lat, 55.758333333, 1e-6);
    EXPECT_EQ(s.present_lat, s.start_lat);
    EXPECT_NEAR(s.start_lon, 37.603333333, 1e-6);
    EXPECT_EQ(s.present_lon, s.start_lon);
    EXPECT_EQ(s.start_lat_set, 1);
    EXPECT_EQ(s.start_lon_set, 1);
}

TEST(KeypadEntry, PositionCorrectionMovesPresentPositionAndDrift) {
    NavState s = unit(3, 2);
    s.hold_coords = 1;
    s.aircraft_lat = 55.0;
    s.aircraft_lon = 37.0;
    s.present_lat = 55.02;
    s.shown_lat = 55.01;  // held while the unit went on
    s.present_lon = 37.05;
    s.shown_lon = 37.04;
    type(s, "255000E");
    EXPECT_NEAR(s.present_lat, 55.01, 1e-12);
    EXPECT_EQ(s.shown_lat, 55.0);
    EXPECT_NEAR(s.drift_north_m, 0.01 * 111130.5555555, 1e-6);
    type(s, "6037000E");
    EXPECT_NEAR(s.present_lon, 37.01, 1e-12);
    EXPECT_EQ(s.shown_lon, 37.0);
    EXPECT_NEAR(s.drift_east_m, std::cos(55.0 * 0.01745329267623711) * 0.01 * 111130.5555555, 1e-6);
}

TEST(KeypadEntry, LongitudeCorrectionAcrossTheDateLine) {
    // The held page shows 179 59.4 E; the pilot enters 179 59.4 W, 0.02 degrees further east.
    NavState s = unit(3, 2);
    s.hold_coords = 1;
    s.aircraft_lon = -179.99;
    s.shown_lon = 179.99;
    s.present_lon = 179.995;  // the unit went on while the page was held
    type(s, "4179594E");
    EXPECT_NEAR(s.present_lon, -179.985, 1e-9);
    EXPECT_EQ(s.shown_lon, -179.99);
    EXPECT_NEAR(s.drift_east_m, 0.005 * 111130.5555555, 1e-6);
}

TEST(KeypadEntry, FileWaypointTakeOver) {
    NavState s = unit(3, 4, 5);
    for (int nn = 0; nn < 64; ++nn) {
        s.file_ppm_lat[nn] = nn;
        s.file_ppm_lon[nn] = -nn;
    }
    s.file_ppm_index = 40;  // as a route load leaves it
    type(s, "0");
    EXPECT_EQ(upper(s), "LAT PPM   ");
    EXPECT_EQ(lower(s), "LON PPM   ");
    type(s, "2");
    EXPECT_EQ(upper(s), "LAT PPM 25");
    EXPECT_EQ(lower(s), "LON PPM 25");
    EXPECT_EQ(s.file_ppm_index, 25);
    type(s, "E");
    EXPECT_EQ(s.ppm_lat[5], 25.0);
    EXPECT_EQ(s.ppm_lon[5], -25.0);
    EXPECT_EQ(s.entry_active, 0);
}

TEST(KeypadEntry, FileWaypointWithoutAValidChoiceCopiesNothing) {
    NavState s = unit(3, 4, 5);
    for (int nn = 0; nn < 64; ++nn) s.file_ppm_lat[nn] = s.file_ppm_lon[nn] = 77;
    s.file_ppm_index = 13;  // an earlier choice
    type(s, "04");
    EXPECT_EQ(upper(s), "LAT PPM --");
    EXPECT_EQ(lower(s), "LON PPM --");
    type(s, "E");
    EXPECT_EQ(s.ppm_lat[5], kEmptyLat);
    EXPECT_EQ(s.file_ppm_index, 13);
    type(s, "0E");  // VVOD before the route digit
    EXPECT_EQ(s.ppm_lat[5], kEmptyLat);
    EXPECT_EQ(s.entry_active, 0);
}

TEST(KeypadEntry, FileWaypointDigitAndEnterInOnePass) {
    NavState s = unit(3, 4, 9);
    s.file_ppm_lat[39] = 39.5;
    s.file_ppm_index = 40;
    type(s, "0");
    s.key_3 = 1;
    s.key_enter = 1;
    keypad_entry(s);
    EXPECT_EQ(s.ppm_lat[9], 39.5);
    EXPECT_EQ(s.file_ppm_index, 39);
}

TEST(KeypadEntry, WaypointNumberOutOfRangeNeverIndexes) {
    // A restored wheel of -3 reaches the display cycle as select 253.
    NavState s = unit(3, 4, -3);
    const NavState before = s;
    type(s, "255455E6037362E02E");
    for (int w = 0; w < 10; ++w) {
        EXPECT_EQ(s.ppm_lat[w], before.ppm_lat[w]);
        EXPECT_EQ(s.ppm_lon[w], before.ppm_lon[w]);
    }
    type(s, "03");
    EXPECT_EQ(upper(s), "LAT PPM --");
}

TEST(KeypadEntry, LegEntryInManualMode) {
    NavState s = unit(3, 6);
    s.auto_manual = 0;
    s.present_lat = 51.5;
    s.present_lon = -0.12;
    type(s, "M");
    EXPECT_EQ(s.route_change_active, 1);
    EXPECT_EQ(s.route_change_lamp, 1);
    EXPECT_EQ(s.entry_digits_left, 2);
    type(s, "0");
    EXPECT_EQ(s.entry_digits[2], 0);
    EXPECT_EQ(s.entry_digits_left, 1);
    type(s, "4E");
    EXPECT_EQ(s.ppm_from, 0);
    EXPECT_EQ(s.ppm_to, 4);
    EXPECT_EQ(s.start_lat, 51.5);
    EXPECT_EQ(s.start_lon, -0.12);
    EXPECT_EQ(s.route_change_active, 0);
    keypad_entry(s);  // the lamp follows the leg entry at the start of the next pass
    EXPECT_EQ(s.route_change_lamp, 0);

    type(s, "M3E");
    EXPECT_EQ(s.ppm_from, 3);
    EXPECT_EQ(s.ppm_to, 0);

    // In alignment the key starts nothing; leaving navigation ends a leg entry.
    NavState a = unit(2, 6);
    a.auto_manual = 0;
    type(a, "M");
    EXPECT_EQ(a.route_change_active, 0);
    type(s, "M");
    s.work_state = 2;
    keypad_entry(s);
    EXPECT_EQ(s.route_change_active, 0);
    EXPECT_EQ(s.entry_active, 0);
}

TEST(KeypadEntry, ClockTime) {
    NavState s = unit(3, 8);
    type(s, "2143");
    EXPECT_EQ(upper(s), "    01*43'");
    type(s, "0");
    EXPECT_EQ(upper(s), "    14*30'");
    EXPECT_EQ(s.entry_sign_upper, 0);  // no hemisphere on page 8
    type(s, "E");
    EXPECT_EQ(s.clock_minutes, 870.0);
    EXPECT_EQ(s.clock_set, 1);

    NavState r = unit(3, 8);
    r.clock_minutes = 100;
    type(r, "22500E");
    EXPECT_EQ(r.clock_minutes, 100.0);
    EXPECT_EQ(r.clock_set, 1);  // set even when refused

    NavState pc = unit(2, 8);
    pc_key(pc, '8');  // the keypad's top-row 8 is N
    EXPECT_EQ(pc.entry_upper_mode8, 1);
    NavState pc2 = unit(2, 8);
    pc_key(pc2, '2');
    EXPECT_EQ(pc2.entry_active, 0);
}

TEST(KeypadEntry, TrueAirspeedOnlyWithAHold) {
    NavState s = unit(3, 9);
    type(s, "6");
    EXPECT_EQ(s.entry_active, 0);
    s.ost_ind = 1;
    type(s, "6045");
    EXPECT_EQ(lower(s), "      0045");
    type(s, "0E");
    EXPECT_EQ(s.tas_entered, 450.0);
}

TEST(KeypadEntry, ResetAndLeavingTheWorkStatesCancel) {
    NavState s = unit(3, 4, 3);
    type(s, "255R");
    EXPECT_EQ(s.entry_active, 0);
    EXPECT_EQ(s.entry_lat_ppm, 0);
    EXPECT_EQ(s.entry_value, 0);
    EXPECT_EQ(s.entry_digits[1], 0);
    type(s, "E");
    EXPECT_EQ(s.ppm_lat[3], kEmptyLat);

    type(s, "6037");
    s.work_state = 0;
    keypad_entry(s);
    EXPECT_EQ(s.entry_active, 0);
    EXPECT_EQ(s.entry_lon_ppm, 0);

    NavState off = unit(3, 4, 3);
    type(off, "2");
    off.unit_on = 0;
    keypad_entry(off);
    EXPECT_EQ(off.entry_active, 0);  // the flag stays but nothing is active while off
}

TEST(KeypadEntry, OnlyTheLowestOfTwoDigitsIsCollected) {
    NavState s = unit(3, 4, 3);
    type(s, "2");
    s.key_5 = 1;
    s.key_3 = 1;
    keypad_entry(s);
    EXPECT_EQ(s.entry_value, 3);
    EXPECT_EQ(s.key_5, 0);
    EXPECT_EQ(s.entry_digits_left, 4);
}

TEST(KeypadEntry, SignsAndLatches) {
    NavState s = unit(2, 4, 1);
    type(s, "8");
    EXPECT_EQ(s.entry_sign_upper, 0);  // signs follow one pass behind the start
    type(s, "1");
    EXPECT_EQ(s.entry_sign_upper, 2);
    EXPECT_EQ(s.entry_sign_lower, 1);
    s.mode_switch = 5;
    type(s, "1");
    EXPECT_EQ(s.entry_sign_upper, 0);
    EXPECT_EQ(s.entry_sign_lower, 0);
    // Every key latch is cleared at the end of a pass but OST INDIK, which waits for the
    // system cycle; the swap flag stays while an entry is active.
    s.key_ost_ind = s.key_7 = s.key_route_change = s.key_enter = s.key_reset = 1;
    s.kbd_ns_swap = 1;
    keypad_entry(s);
    EXPECT_EQ(s.key_7 + s.key_route_change + s.key_enter + s.key_reset, 0);
    EXPECT_EQ(s.key_ost_ind, 1);
    EXPECT_EQ(s.kbd_ns_swap, 1);
}

}  // namespace
