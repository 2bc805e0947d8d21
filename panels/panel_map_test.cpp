// The panel map against the tables it indexes: every named chain element shows what its name
// says and every named mouse area does what its name says, reached through the gauges' own tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>
#include <string>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"
#include "panels/panel_map.h"

namespace {

ElementHeader* element(GaugeHeaderRecord& gauge, int k) {
    ElementHeader* e = gauge.g.elements[0];
    for (int i = 0; i < k && e; ++i) e = e->next ? e->next[0] : nullptr;
    return e;
}

// What element k shows: the text a string element writes, or the number its callback returns.
std::string shown(GaugeHeaderRecord& gauge, int k) {
    ElementHeader* e = element(gauge, k);
    if (!e) return "(no element)";
    if (e->kind == kElementString) {
        StringElement* s = as_string(e);
        char buf[32] = {};
        char* saved = s->text;
        s->text = buf;
        s->callback(e);
        s->text = saved;
        return std::string(buf, strnlen(buf, sizeof buf));
    }
    ElementCallback cb = e->kind == kElementNeedle ? reinterpret_cast<NeedleElement*>(e)->callback
                         : e->kind == kElementIcon ? reinterpret_cast<IconElement*>(e)->callback
                                                   : nullptr;
    if (!cb) return "(still)";
    char text[32];
    std::snprintf(text, sizeof text, "%g", cb(e));
    return text;
}

struct ElementCase {
    GaugeHeaderRecord* gauge;
    int element;
    const char* name;
    void (*set)(NavState&);
    const char* before;  // shown with the unit on, navigating, at the phi/lambda page
    const char* after;   // shown after set
};

void nothing(NavState&) {}

const ElementCase kElements[] = {
    {&gauge_uvi, uvi::kUpperLine, "upper line", [](NavState& s) { std::strcpy(s.upper_text, "  12345678"); }, "", "  12345678"},
    {&gauge_uvi, uvi::kLowerLine, "lower line", [](NavState& s) { std::strcpy(s.lower_text, " 123456789"); }, "", " 123456789"},
    {&gauge_uvi, uvi::kFromDigit, "FROM digit", [](NavState& s) { s.ppm_from = 3; }, "0", "3"},
    {&gauge_uvi, uvi::kToDigit, "TO digit", [](NavState& s) { s.ppm_to = 4; }, "0", "4"},
    {&gauge_uvi, uvi::kLegends, "legends", nothing, "(still)", "(still)"},
    {&gauge_uvi, uvi::kModeKnob, "mode knob", [](NavState& s) { s.mode_switch = 5; }, "180", "270"},
    {&gauge_uvi, uvi::kAutoLever, "AVT/RUCHN lever", [](NavState& s) { s.auto_manual = 0; }, "-120", "-60"},
    {&gauge_uvi, uvi::kEnterLamp, "VVOD lamp", [](NavState& s) { s.enter_lamp = 1; }, "-1", "0"},
    {&gauge_uvi, uvi::kRouteLamp, "IZM MARSH lamp", [](NavState& s) { s.route_change_lamp = 1; }, "-1", "0"},
    {&gauge_uvi, uvi::kHoldLamp, "OST INDIK lamp", [](NavState& s) { s.ost_ind_lamp = 1; }, "-1", "0"},
    {&gauge_uvi, uvi::kLzpLamp, "SMENA LZP lamp", [](NavState& s) { s.lzp_change_lamp = 1; }, "-1", "0"},
    {&gauge_uvi, uvi::kWheel, "waypoint wheel", [](NavState& s) { s.ppm_wheel = 6; }, "1", "6"},
    {&gauge_uvi, uvi::kFocus, "focus mark", [](NavState& s) { s.kbd_focus_shown = 1; }, "-1", "0"},
    {&gauge_uvi, uvi::kUpperSign, "upper sign", [](NavState& s) { s.sign_upper = 2; }, "0", "2"},
    {&gauge_uvi, uvi::kLowerSign, "lower sign", [](NavState& s) { s.sign_lower = 3; }, "0", "3"},
    {&gauge_pur, pur::kLegends, "legends", nothing, "(still)", "(still)"},
    {&gauge_pur, pur::kKnob, "selector", [](NavState& s) { s.pur_selector = 3; }, "60", "90"},
    {&gauge_pur, pur::kKnobIndex, "selector index", [](NavState& s) { s.pur_selector = 4; }, "60", "120"},
    {&gauge_pur, pur::kPit, "PIT lamp", [](NavState& s) { s.power_lamp = 1; }, "-1", "0"},
    {&gauge_pur, pur::kOtkaz, "OTKAZ lamp", [](NavState& s) { s.failure_lamp = 1; }, "-1", "0"},
    {&gauge_pur, pur::kKv, "KV lamp", [](NavState& s) { s.kv_lamp = 1; }, "-1", "0"},
    {&gauge_pur, pur::kVnim, "VNIM lamp", [](NavState& s) { s.attention_lamp = 1; }, "-1", "0"},
    {&gauge_pur, pur::kNegot, "NEGOT lamp", [](NavState& s) { s.not_ready_lamp = 1; }, "-1", "0"},
    {&gauge_ap_key, apkey::kButton, "steering button", [](NavState& s) { s.ap_steering_on = 1; }, "0", "2"},
};

struct AreaCase {
    GaugeHeaderRecord* gauge;
    int area;
    const char* name;
    bool (*done)(const NavState&);  // false before the click, true after it
    void (*prepare)(NavState&) = nothing;
};

const AreaCase kAreas[] = {
    {&gauge_uvi, uvi::kModeDown, "mode knob left", [](const NavState& s) { return s.mode_switch == 1; }},
    {&gauge_uvi, uvi::kModeUp, "mode knob right", [](const NavState& s) { return s.mode_switch == 3; }},
    {&gauge_uvi, uvi::kWheelDown, "wheel down", [](const NavState& s) { return s.ppm_wheel == 0; }},
    {&gauge_uvi, uvi::kWheelUp, "wheel up", [](const NavState& s) { return s.ppm_wheel == 2; }},
    {&gauge_uvi, uvi::kAuto, "AVT", [](const NavState& s) { return s.auto_manual == 1; }, [](NavState& s) { s.auto_manual = 0; }},
    {&gauge_uvi, uvi::kManual, "RUCHN", [](const NavState& s) { return s.auto_manual == 0; }},
    {&gauge_uvi, uvi::kKey1, "key 1", [](const NavState& s) { return s.key_1 == 1; }},
    {&gauge_uvi, uvi::kKey2, "key 2", [](const NavState& s) { return s.key_2 == 1; }},
    {&gauge_uvi, uvi::kKey3, "key 3", [](const NavState& s) { return s.key_3 == 1; }},
    {&gauge_uvi, uvi::kKey4, "key 4", [](const NavState& s) { return s.key_4 == 1; }},
    {&gauge_uvi, uvi::kKey5, "key 5", [](const NavState& s) { return s.key_5 == 1; }},
    {&gauge_uvi, uvi::kKey6, "key 6", [](const NavState& s) { return s.key_6 == 1; }},
    {&gauge_uvi, uvi::kKey7, "key 7", [](const NavState& s) { return s.key_7 == 1; }},
    {&gauge_uvi, uvi::kKey8, "key 8", [](const NavState& s) { return s.key_8 == 1; }},
    {&gauge_uvi, uvi::kKey9, "key 9", [](const NavState& s) { return s.key_9 == 1; }},
    {&gauge_uvi, uvi::kEnter, "VVOD", [](const NavState& s) { return s.key_enter == 1; }},
    {&gauge_uvi, uvi::kKey0, "key 0", [](const NavState& s) { return s.key_0 == 1; }},
    {&gauge_uvi, uvi::kReset, "SBROS", [](const NavState& s) { return s.key_reset == 1; }},
    {&gauge_uvi, uvi::kRouteChange, "IZM MARSH", [](const NavState& s) { return s.key_route_change == 1; }},
    {&gauge_uvi, uvi::kHold, "OST INDIK", [](const NavState& s) { return s.key_ost_ind == 1; }},
    {&gauge_uvi, uvi::kRouteReload, "route reload", [](const NavState& s) { return s.route_reload_request == 1; }},
    {&gauge_uvi, uvi::kFocusArea, "keyboard focus", [](const NavState& s) { return s.kbd_focus == 1; }},
    {&gauge_uvi, uvi::kTakePosition, "take position", [](const NavState& s) { return s.start_lat_set == 1; }},
    {&gauge_uvi, uvi::kAlignShortcut, "alignment shortcut", [](const NavState& s) { return s.align_countdown == 500; }},
    {&gauge_pur, pur::kSelectorDown, "selector left", [](const NavState& s) { return s.pur_selector == 1; }},
    {&gauge_pur, pur::kSelectorUp, "selector right", [](const NavState& s) { return s.pur_selector == 3; }},
    {&gauge_pur, pur::kLampTest, "lamp test", [](const NavState& s) { return s.lamp_test == 1; }},
    {&gauge_ap_key, apkey::kToggle, "steering button", [](const NavState& s) { return s.ap_steering_on == 1; }},
};

// Every entry of the map has its case above, once: a new element or area is described here
// before this test passes.
TEST(PanelMapCases, CoverEveryNamedElementAndArea) {
    const struct {
        GaugeHeaderRecord* gauge;
        int elements, areas;
    } kGauges[] = {{&gauge_uvi, uvi::kElementCount, uvi::kAreaCount},
                   {&gauge_pur, pur::kElementCount, pur::kAreaCount},
                   {&gauge_ap_key, apkey::kElementCount, apkey::kAreaCount}};
    for (const auto& g : kGauges) {
        for (int k = 1; k < g.elements; ++k)
            EXPECT_EQ(std::count_if(std::begin(kElements), std::end(kElements),
                                    [&](const ElementCase& c) { return c.gauge == g.gauge && c.element == k; }), 1)
                << g.gauge->g.name << " element " << k;
        for (int k = 1; k < g.areas; ++k)
            EXPECT_EQ(std::count_if(std::begin(kAreas), std::end(kAreas),
                                    [&](const AreaCase& c) { return c.gauge == g.gauge && c.area == k; }), 1)
                << g.gauge->g.name << " area " << k;
    }
}

class PanelMap : public ::testing::Test {
protected:
    // A unit on and aligning at the phi/lambda page, AVT, wheel at 1, selector at VYST: every
    // control named above has a step to make from here.
    void SetUp() override {
        nav_state_reset_to_load(g_nav);
        g_nav.unit_on = 1;
        g_nav.work_state = 2;
        g_nav.align_running = 1;
        g_nav.mode_switch = 2;
        g_nav.auto_manual = 1;
        g_nav.ppm_wheel = 1;
        g_nav.pur_selector = 2;
        g_nav.ppm_from = 0;
        g_nav.ppm_to = 0;
    }
    void TearDown() override { nav_state_reset_to_load(g_nav); }
};

TEST_F(PanelMap, EveryNamedElementShowsWhatItsNameSays) {
    for (const ElementCase& c : kElements) {
        SetUp();
        g_nav.work_state = 3;
        g_nav.align_running = 0;
        EXPECT_EQ(shown(*c.gauge, c.element), c.before) << c.gauge->g.name << " element " << c.element << " (" << c.name << ")";
        c.set(g_nav);
        EXPECT_EQ(shown(*c.gauge, c.element), c.after) << c.gauge->g.name << " element " << c.element << " (" << c.name << ")";
    }
}

TEST_F(PanelMap, EveryNamedAreaDoesWhatItsNameSays) {
    for (const AreaCase& c : kAreas) {
        SetUp();
        c.prepare(g_nav);
        const MouseRect& r = c.gauge->g.mouse[c.area];
        ASSERT_EQ(r.type, kMouseArea) << c.gauge->g.name << " area " << c.area << " (" << c.name << ")";
        EXPECT_FALSE(c.done(g_nav)) << c.name;
        r.callback(nullptr, 0);
        EXPECT_TRUE(c.done(g_nav)) << c.gauge->g.name << " area " << c.area << " (" << c.name << ")";
    }
}

}  // namespace
