// Coordinate read-outs: the degree-minute texts, their rounding and carry, unsafe inputs, the
// freeze during a display hold and the show/hide click.
#include "auxiliary/coord_readout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"

namespace {

std::string format(double x, bool longitude) {
    char buf[32];
    std::memset(buf, '#', sizeof buf);
    format_coordinates(x, longitude, buf);
    // Never past the 16-byte text of the state record.
    for (int i = 16; i < 32; ++i) EXPECT_EQ(buf[i], '#') << "byte " << i;
    return std::string(buf, strnlen(buf, 16));
}

struct Coord {
    double x;
    bool longitude;
    const char* text;
};

TEST(CoordFormat, DegreesMinutesAndThousandths) {
    const Coord cases[] = {
        {55.7626, false, "N 55 45,756"},
        {-33.5, false, "S 33 30,000"},
        {-5.0, false, "S 05 00,000"},
        {0.0, false, "N 00 00,000"},
        {-0.25, false, "S 00 15,000"},
        {89.999, false, "N 89 59,940"},
        {37.62693, true, "E037 37,616"},  // 376158 rounds to 376168
        {-0.5, true, "W000 30,000"},
        {-179.5, true, "W179 30,000"},
        {123.0 + 4.5 / 60, true, "E123 04,500"},
        {55 + 59.99996 / 60, false, "N 56 00,000"},  // carry into the degrees
        {-(9 + 59.99996 / 60), false, "S 10 00,000"},
        {179 + 59.99996 / 60, true, "E180 00,000"},
    };
    for (const Coord& c : cases) EXPECT_EQ(format(c.x, c.longitude), c.text) << c.x;
}

TEST(CoordFormat, UnsafeValuesGiveElevenCharacters) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {nan, -nan, inf, -inf, 1e300, -1e300, 2147483648.0, 999.9999999, -1000.0}) {
        for (bool longitude : {false, true}) {
            std::string t = format(x, longitude);
            EXPECT_EQ(t.size(), 11u) << x;
            for (char ch : t) EXPECT_TRUE(std::strchr("NSEW 0123456789,", ch) != nullptr) << t;
        }
    }
    EXPECT_EQ(format(inf, false)[0], 'N');
    EXPECT_EQ(format(-inf, true)[0], 'W');
}

// The read-out gauges as the host drives them.
struct Readout {
    GaugeHeaderRecord* gauge;
    double NavState::*lat;
    double NavState::*lon;
    char (NavState::*lat_text)[kTextSize];
    char (NavState::*lon_text)[kTextSize];
    int32_t NavState::*visible;
};
const Readout kReadouts[] = {
    {&gauge_koord_i, &NavState::aircraft_lat, &NavState::aircraft_lon, &NavState::koord_i_lat_text,
     &NavState::koord_i_lon_text, &NavState::koord_i_visible},
    {&gauge_koord_s, &NavState::present_lat, &NavState::present_lon, &NavState::koord_s_lat_text,
     &NavState::koord_s_lon_text, &NavState::koord_s_visible},
};

ElementHeader* line(const Readout& r, int k) {
    ElementHeader* e = r.gauge->g.elements[0]->next[0];
    return k == 0 ? e : e->next[0];
}
bool hidden(const Readout& r, int k) { return (line(r, k)->image_flags & kImgHidden) != 0; }
void frame(const Readout& r) { r.gauge->g.callback(&r.gauge->g, 6, 0); }
void click(const Readout& r) { EXPECT_EQ(r.gauge->g.mouse[1].callback(nullptr, kMouseLeft), 1); }

class CoordGauge : public ::testing::Test {
protected:
    void SetUp() override { nav_state_reset_to_load(g_nav); }
    void TearDown() override {
        nav_state_reset_to_load(g_nav);
        for (const Readout& r : kReadouts) frame(r);  // shown again
    }
};

TEST_F(CoordGauge, TextsFollowTheirSourcesAndFreezeDuringAHold) {
    for (const Readout& r : kReadouts) {
        SCOPED_TRACE(r.gauge->g.name);
        nav_state_reset_to_load(g_nav);
        EXPECT_STREQ(g_nav.*r.lat_text, "");  // empty before the first frame
        g_nav.ost_ind = 1;
        g_nav.*r.lat = 55.7626;
        g_nav.*r.lon = 37.62693;
        frame(r);
        EXPECT_STREQ(g_nav.*r.lat_text, "");  // still empty: frames during a hold build nothing
        g_nav.ost_ind = 0;
        frame(r);
        EXPECT_STREQ(g_nav.*r.lat_text, "N 55 45,756");
        EXPECT_STREQ(g_nav.*r.lon_text, "E037 37,616");
        g_nav.ost_ind = 1;
        g_nav.*r.lat = -33.5;
        g_nav.*r.lon = -0.5;
        frame(r);
        EXPECT_STREQ(g_nav.*r.lat_text, "N 55 45,756");
        g_nav.ost_ind = 0;
        frame(r);
        EXPECT_STREQ(g_nav.*r.lat_text, "S 33 30,000");
        EXPECT_STREQ(g_nav.*r.lon_text, "W000 30,000");
    }
    // Each gauge shows its own sources.
    nav_state_reset_to_load(g_nav);
    g_nav.aircraft_lat = 10;
    g_nav.present_lat = -20;
    for (const Readout& r : kReadouts) frame(r);
    EXPECT_STREQ(g_nav.koord_i_lat_text, "N 10 00,000");
    EXPECT_STREQ(g_nav.koord_s_lat_text, "S 20 00,000");
}

TEST_F(CoordGauge, ClickHidesAndShowsEvenDuringAHold) {
    for (const Readout& r : kReadouts) {
        SCOPED_TRACE(r.gauge->g.name);
        frame(r);
        EXPECT_FALSE(hidden(r, 0));
        EXPECT_FALSE(hidden(r, 1));
        g_nav.ost_ind = 1;
        click(r);
        EXPECT_EQ(g_nav.*r.visible, 0);
        frame(r);
        EXPECT_TRUE(hidden(r, 0));
        EXPECT_TRUE(hidden(r, 1));
        EXPECT_EQ(line(r, 0)->image_flags & ~kImgHidden, 0x6u);  // other drawing bits untouched
        click(r);
        EXPECT_EQ(g_nav.*r.visible, 1);
        frame(r);
        EXPECT_FALSE(hidden(r, 0));
        EXPECT_FALSE(hidden(r, 1));
        g_nav.ost_ind = 0;
    }
    // The two gauges' flags are independent.
    click(kReadouts[0]);
    for (const Readout& r : kReadouts) frame(r);
    EXPECT_TRUE(hidden(kReadouts[0], 0));
    EXPECT_FALSE(hidden(kReadouts[1], 0));
}

TEST_F(CoordGauge, StringCallbacksWriteTheTextAndReturnTheSource) {
    const Readout& r = kReadouts[1];
    g_nav.present_lat = 55.7626;
    g_nav.present_lon = -0.5;
    frame(r);
    for (int k = 0; k < 2; ++k) {
        StringElement* e = as_string(line(r, k));
        char buf[32];
        std::memset(buf, '#', sizeof buf);
        e->text = buf;
        simvar_set_value(e->source[0], 904.5);
        EXPECT_EQ(e->callback(&e->h), 904.5);
        EXPECT_STREQ(buf, k == 0 ? "N 55 45,756" : "W000 30,000");
        EXPECT_EQ(buf[12], '#');
        e->text = nullptr;
        simvar_set_value(e->source[0], 0);
    }
}

}  // namespace
