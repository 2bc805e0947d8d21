// Autopilot heading steering: the heading sent for given deviations, the wrap and limits, and
// when nothing is sent.
#include "auxiliary/autopilot.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "frame/module.h"

namespace {

double g_heading_81 = 0;   // what variable 81 reads
int g_reads_81 = 0;
std::vector<std::pair<int32_t, int32_t>> g_events;

int32_t Q14_STDCALL read_var(SimVarRecord* r) {
    if (r->id == 81) {
        ++g_reads_81;
        simvar_set_value(*r, g_heading_81);
    }
    return 1;
}
int32_t Q14_STDCALL fire(int32_t event, int32_t value) {
    g_events.emplace_back(event, value);
    return 1;
}

PanelServices g_services = [] {
    PanelServices p{};
    p.read_sim_variable = read_var;
    p.fire_key_event = fire;
    return p;
}();

void set_panel_services(void* t) {
    for (ImportEntry& e : ImportTable.e)
        if (e.id == kTablePanelServices) e.table = t;
}

class Autopilot : public ::testing::Test {
protected:
    void SetUp() override {
        set_panel_services(&g_services);
        nav_state_reset_to_load(g_nav);
        g_nav.ap_steering_on = 1;
        g_nav.nav_ready = 1;
        g_events.clear();
        g_reads_81 = 0;
    }
    void TearDown() override {
        set_panel_services(nullptr);
        nav_state_reset_to_load(g_nav);
    }
    // One frame of the gauge, as the host calls it.
    void frame() { gauge_ap_key.g.callback(&gauge_ap_key.g, 6, 0); }
};

struct Steer {
    const char* what;
    double h, pu_delta, lbu_m, lbu_dif, kp, kd;
    int32_t sent;
};

TEST_F(Autopilot, SendsTheHeadingThatMakesGoodTheLeg) {
    const Steer cases[] = {
        {"100 m right of the leg", 90, 0, 100, 0, 60, 100, 84},
        {"closing at 10 km/h", 90, 0, 0, 10, 60, 100, 89},
        {"left of the leg", 90, 0, -100, 0, 60, 100, 96},
        {"track error", 90, 15, 0, 0, 60, 100, 75},
        {"-10 wraps to 350", 10, 20, 0, 0, 60, 100, 350},
        {"370 wraps to 10", 350, -20, 0, 0, 60, 100, 10},
        {"359.9 truncates", 359.9, 0, 0, 0, 60, 100, 359},
        {"exactly 360 stays", 360, 0, 0, 0, 60, 100, 360},
        {"large right deviation limited to 60", 90, 0, 1e6, 0, 60, 100, 30},
        {"large left deviation limited to -60", 90, 0, -1e6, 0, 60, 100, 150},
        {"large rate limited", 90, 0, 0, 1e9, 60, 100, 30},
        {"infinite deviation limited", 90, 0, std::numeric_limits<double>::infinity(), 0, 60, 100, 30},
        {"gains from the settings", 90, 0, 100, 10, 30, 50, 86},
    };
    for (const Steer& c : cases) {
        SCOPED_TRACE(c.what);
        g_events.clear();
        g_heading_81 = c.h;
        g_nav.pu_delta_var = c.pu_delta;
        g_nav.lbu_var = c.lbu_m;
        g_nav.lbu_dif_var = c.lbu_dif;
        g_nav.kp = c.kp;
        g_nav.kd = c.kd;
        frame();
        ASSERT_EQ(g_events.size(), 1u);
        EXPECT_EQ(g_events[0].first, 66042);
        EXPECT_EQ(g_events[0].second, c.sent);
    }
}

TEST_F(Autopilot, CorrectionIsLimitedToSixtyDegrees) {
    double q = 0;
    autopilot_heading(90, 0, 1e6, 0, 60, 100, &q);
    EXPECT_EQ(q, 60.0);
    autopilot_heading(90, 0, -1e6, -1e6, 60, 100, &q);
    EXPECT_EQ(q, -60.0);
    autopilot_heading(90, 0, 1000, 0, 60, 100, &q);  // exactly 60
    EXPECT_EQ(q, 60.0);
    autopilot_heading(90, 0, 999, 0, 60, 100, &q);
    EXPECT_DOUBLE_EQ(q, 59.94);
}

TEST_F(Autopilot, NothingSentWhenOffOrNotReadyButHeadingStillRead) {
    struct Gate {
        const char* what;
        int32_t steering, ready;
    } gates[] = {{"button off", 0, 1}, {"button value 2", 2, 1}, {"not navigating", 1, 0}, {"both off", 0, 0}};
    g_heading_81 = 90;
    for (const Gate& g : gates) {
        SCOPED_TRACE(g.what);
        g_events.clear();
        g_reads_81 = 0;
        g_nav.ap_steering_on = g.steering;
        g_nav.nav_ready = g.ready;
        for (int i = 0; i < 3; ++i) frame();
        EXPECT_TRUE(g_events.empty());
        EXPECT_EQ(g_reads_81, 3);
    }
    // Steering resumes when readiness returns.
    g_nav.ap_steering_on = 1;
    g_nav.nav_ready = 1;
    frame();
    EXPECT_EQ(g_events.size(), 1u);
}

TEST_F(Autopilot, NotANumberIsNeverSent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Bad {
        const char* what;
        double h, pu_delta, lbu_m, lbu_dif, kp;
    } cases[] = {
        {"heading NaN", nan, 0, 0, 0, 60},      {"deviation NaN", 90, 0, nan, 0, 60},
        {"rate NaN", 90, 0, 0, nan, 60},        {"track error NaN", 90, nan, 0, 0, 60},
        {"heading infinite", inf, 0, 0, 0, 60}, {"track error infinite", 90, -inf, 0, 0, 60},
        {"infinite gain on zero", 90, 0, 0, 0, inf},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.what);
        g_events.clear();
        g_heading_81 = c.h;
        g_nav.pu_delta_var = c.pu_delta;
        g_nav.lbu_var = c.lbu_m;
        g_nav.lbu_dif_var = c.lbu_dif;
        g_nav.kp = c.kp;
        frame();
        EXPECT_TRUE(g_events.empty());
    }
}

TEST_F(Autopilot, ButtonTogglesSteeringAndItsLamp) {
    g_nav.ap_steering_on = 0;
    MouseRect& area = gauge_ap_key.g.mouse[1];
    ElementHeader* icon = gauge_ap_key.g.elements[0]->next[0];
    auto frame_of = [&] { return reinterpret_cast<IconElement*>(icon)->callback(icon); };
    EXPECT_EQ(frame_of(), 0.0);
    EXPECT_EQ(area.callback(nullptr, kMouseLeft), 1);
    EXPECT_EQ(g_nav.ap_steering_on, 1);
    EXPECT_EQ(frame_of(), 2.0);
    EXPECT_EQ(area.callback(nullptr, kMouseLeft), 1);
    EXPECT_EQ(g_nav.ap_steering_on, 0);
    EXPECT_EQ(frame_of(), 0.0);
    // Any other value shows lit and a click turns it off.
    g_nav.ap_steering_on = 5;
    EXPECT_EQ(frame_of(), 2.0);
    area.callback(nullptr, kMouseLeft);
    EXPECT_EQ(g_nav.ap_steering_on, 0);
}

TEST_F(Autopilot, OnlyTheFrameServiceActs) {
    g_heading_81 = 90;
    for (int service : {2, 4, 12, 14, 7}) gauge_ap_key.g.callback(&gauge_ap_key.g, service, 0);
    EXPECT_EQ(g_reads_81, 0);
    EXPECT_TRUE(g_events.empty());
}

}  // namespace
