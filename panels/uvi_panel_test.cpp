// White-box tests of the UVI panel callbacks, reached through the gauge's own tables: values
// the controls cannot produce (waypoint numbers of 10 and more, odd focus flags, a wheel off
// its scale) and the KONTR precedence of the two leg digits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"
#include "panels/panel_map.h"

namespace {

using uvi::kFromDigit, uvi::kToDigit, uvi::kWheel, uvi::kFocusArea;
constexpr int kFocusMark = uvi::kFocus;

ElementHeader* element(int k) {
    ElementHeader* e = gauge_uvi.g.elements[0];
    for (int i = 0; i < k; ++i) e = e->next[0];
    return e;
}

class UviCallbacks : public ::testing::Test {
protected:
    void SetUp() override {
        nav_state_reset_to_load(g_nav);
        g_nav.unit_on = 1;
        g_nav.work_state = 3;
        g_nav.mode_switch = 2;
    }
    void TearDown() override { nav_state_reset_to_load(g_nav); }

    // Runs a one-character string element into a guarded buffer of ours.
    std::string digit(int k, double* returned) {
        StringElement* s = as_string(element(k));
        std::memset(buf_, 'X', sizeof buf_);
        char* saved = s->text;
        s->text = buf_;
        *returned = s->callback(&s->h);
        s->text = saved;
        EXPECT_EQ(std::string(buf_ + 2, sizeof buf_ - 2), std::string(sizeof buf_ - 2, 'X'))
            << "wrote past the element's one character";
        return std::string(buf_, strnlen(buf_, 2));
    }
    double icon(int k) { return reinterpret_cast<IconElement*>(element(k))->callback(element(k)); }

    char buf_[8];
};

TEST_F(UviCallbacks, LegDigitsStayWithinOneCharacter) {
    double v = 0;
    g_nav.ppm_from = 12;
    g_nav.ppm_to = 255;
    EXPECT_EQ(digit(kFromDigit, &v), "2");
    EXPECT_EQ(v, 12.0);
    EXPECT_EQ(digit(kToDigit, &v), "5");
    EXPECT_EQ(v, 255.0);

    g_nav.route_change_active = 1;  // damaged entry digits still give one digit character
    g_nav.entry_digits_left = 0;
    g_nav.entry_digits[2] = INT32_MIN;
    g_nav.entry_digits[1] = -7;
    EXPECT_EQ(digit(kFromDigit, &v), "8");
    EXPECT_EQ(digit(kToDigit, &v), "7");
    EXPECT_EQ(v, -7.0);
}

TEST_F(UviCallbacks, TestPageAndLegEntryShareTheDigits) {
    double v = 0;
    g_nav.mode_switch = 1;
    g_nav.route_change_active = 1;
    g_nav.entry_digits_left = 0;
    g_nav.entry_digits[2] = 3;
    g_nav.entry_digits[1] = 4;
    EXPECT_EQ(digit(kFromDigit, &v), "8");  // FROM: the test page wins
    EXPECT_EQ(v, 8.0);
    EXPECT_EQ(digit(kToDigit, &v), "4");    // TO: the typed digit wins
    EXPECT_EQ(v, 4.0);
    g_nav.entry_digits_left = 1;
    EXPECT_EQ(digit(kToDigit, &v), " ");
    EXPECT_EQ(digit(kFromDigit, &v), "8");
}

TEST_F(UviCallbacks, FocusClickTogglesOnlyZeroAndOne) {
    MouseCallback click = gauge_uvi.g.mouse[kFocusArea].callback;
    g_nav.kbd_focus = 2;
    g_nav.kbd_focus_timer = 5;
    EXPECT_EQ(click(nullptr, 0), 1);
    EXPECT_EQ(g_nav.kbd_focus, 2);
    EXPECT_EQ(g_nav.kbd_focus_timer, 5);

    g_nav.kbd_focus = 0;
    click(nullptr, 0);
    EXPECT_EQ(g_nav.kbd_focus, 1);
    EXPECT_EQ(g_nav.kbd_focus_timer, 1080);
    click(nullptr, 0);
    EXPECT_EQ(g_nav.kbd_focus, 0);
    EXPECT_EQ(g_nav.kbd_focus_timer, 0);
}

TEST_F(UviCallbacks, IconFramesStayWithinTheirBitmaps) {
    const struct {
        int8_t wheel;
        double frame;
    } wheels[] = {{4, 4}, {0, 0}, {9, 9}, {-3, 0}, {20, 9}};
    for (const auto& w : wheels) {
        g_nav.ppm_wheel = w.wheel;
        EXPECT_EQ(icon(kWheel), w.frame) << int(w.wheel);
    }
    const struct {
        int32_t shown;
        double frame;
    } focus[] = {{1, 0}, {0, -1}, {2, -1}, {-1, -1}};
    for (const auto& f : focus) {
        g_nav.kbd_focus_shown = f.shown;
        EXPECT_EQ(icon(kFocusMark), f.frame) << f.shown;
    }
}

}  // namespace
