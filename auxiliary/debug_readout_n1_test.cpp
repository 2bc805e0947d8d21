// Debug read-out (unit 1): its own start values, and a gauge that copies nothing (the system
// cycle fills the fields).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"

namespace {

std::string show(int k) {
    ElementHeader* e = gauge_digtest.g.elements[0];
    for (int i = 0; i <= k; ++i) e = e->next[0];
    StringElement* s = as_string(e);
    char buf[32] = {};
    s->text = buf;
    s->callback(e);
    s->text = nullptr;
    return buf;
}

TEST(DigTestN1, StartTextsAndNoCopy) {
    nav_state_reset_to_load(g_nav);
    g_nav.drift_rate_north = 5;
    g_nav.drift_north_m = 6;
    gauge_digtest.g.callback(&gauge_digtest.g, 6, 0);
    EXPECT_EQ(g_nav.dbg_err_north_pct, 111.1111);
    EXPECT_EQ(g_nav.dbg_scale_north, -333.333);
    EXPECT_EQ(show(0), "111.111100");
    EXPECT_EQ(show(1), "222222.222");
    EXPECT_EQ(show(2), "-333.33300");
    EXPECT_EQ(show(3), "0.4444444");
    nav_state_reset_to_load(g_nav);
}

}  // namespace
