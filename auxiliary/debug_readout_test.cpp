// Debug read-out (unit 2): start texts, the per-frame copy of the drift values, and texts
// that never run past the element's ten characters.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"

namespace {

StringElement* digtest_line(int k) {
    ElementHeader* e = gauge_digtest.g.elements[0];
    for (int i = 0; i <= k; ++i) e = e->next[0];
    return as_string(e);
}

// Evaluates line k into a guarded buffer; returns its text and checks nothing ran past it.
std::string show(int k, double* value = nullptr) {
    StringElement* e = digtest_line(k);
    char buf[48];
    std::memset(buf, '#', sizeof buf);
    e->text = buf;
    double v = e->callback(&e->h);
    e->text = nullptr;
    if (value) *value = v;
    for (int i = e->chars + 1; i < static_cast<int>(sizeof buf); ++i) EXPECT_EQ(buf[i], '#') << "line " << k;
    return std::string(buf, strnlen(buf, sizeof buf));
}

double NavState::*const kFields[] = {&NavState::dbg_err_north_pct, &NavState::dbg_err_east_pct,
                                     &NavState::dbg_scale_north, &NavState::dbg_scale_east};

class DigTest : public ::testing::Test {
protected:
    void SetUp() override { nav_state_reset_to_load(g_nav); }
    void TearDown() override { nav_state_reset_to_load(g_nav); }
};

TEST_F(DigTest, StartTexts) {
    const char* want[] = {"11.000000", "22.000000", "33.0000000", "44.0000000"};
    for (int k = 0; k < 4; ++k) {
        double v = 0;
        EXPECT_EQ(show(k, &v), want[k]);
        EXPECT_EQ(v, (k + 1) * 11.0);
        EXPECT_EQ(digtest_line(k)->chars, 10);
    }
}

TEST_F(DigTest, FrameCopiesTheDriftValuesInLineOrder) {
    g_nav.drift_rate_north = -0.5;
    g_nav.drift_rate_east = 1.25;
    g_nav.drift_north_m = 12.5;
    g_nav.drift_east_m = -3.0;
    for (int service : {2, 4, 12, 14}) gauge_digtest.g.callback(&gauge_digtest.g, service, 0);
    EXPECT_EQ(g_nav.dbg_err_north_pct, 11.0);
    gauge_digtest.g.callback(&gauge_digtest.g, 6, 0);
    EXPECT_EQ(g_nav.dbg_err_north_pct, -0.5);
    EXPECT_EQ(g_nav.dbg_err_east_pct, 1.25);
    EXPECT_EQ(g_nav.dbg_scale_north, 12.5);
    EXPECT_EQ(g_nav.dbg_scale_east, -3.0);
    EXPECT_EQ(show(0), "-0.500000");
    EXPECT_EQ(show(2), "12.5000000");
    EXPECT_EQ(show(3), "-3.0000000");
}

struct Long {
    double v;
    const char* text;
};

TEST_F(DigTest, LongAndUnsafeValuesStayInsideTheElement) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Long cases[] = {
        {-1900, "-1900.0000"},          // 12 characters cut to ten: only decimals are lost
        {123456.789, "123456.789"},
        {9999999999.25, "9999999999"},  // the whole part just fits
        {-999999999.5, "-999999999"},
        {12345678901.0, "+big"},        // would show as a wrong number if cut
        {-1234567890.0, "-big"},
        {1e300, "+big"},
        {-1e300, "-big"},
        {inf, "+big"},
        {-inf, "-big"},
        {nan, "nan"},
    };
    for (const Long& c : cases) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(std::to_string(c.v) + " line " + std::to_string(k));
            g_nav.*kFields[k] = c.v;
            double v = 0;
            std::string t = show(k, &v);
            EXPECT_LE(t.size(), 10u);
            // Lines 3 and 4 have one more decimal; the cut texts above hold for both formats.
            EXPECT_EQ(t, c.text);
            if (c.v == c.v) {
                EXPECT_EQ(v, c.v);
            }
        }
    }
}

// The text is formatted only when the value changes, but every frame writes it into the
// element's buffer; values that compare equal but show differently (0 and -0) are told apart.
TEST_F(DigTest, KeptTextFollowsEveryChangeOfTheValue) {
    const struct {
        double v;
        const char* text;
    } steps[] = {{12.5, "12.5000000"}, {12.5, "12.5000000"}, {12.5000001, "12.5000001"}, {0.0, "0.0000000"},
                 {-0.0, "-0.0000000"}, {-0.0, "-0.0000000"}, {12.5, "12.5000000"}};
    for (const auto& step : steps) {
        g_nav.dbg_scale_north = step.v;
        EXPECT_EQ(show(2), step.text) << step.v;  // a fresh buffer each time
    }
    // The lines keep their texts apart.
    g_nav.dbg_scale_east = -3.0;
    EXPECT_EQ(show(3), "-3.0000000");
    EXPECT_EQ(show(2), "12.5000000");
}

}  // namespace
