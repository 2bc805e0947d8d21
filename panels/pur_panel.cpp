// The control panel Q14_PUR: operating-mode selector, five status lamps and the lamp test,
// with its gauge header, element chain and mouse areas.
#include "frame/module.h"
#include "nav/state.h"
#include "panels/panel_map.h"

// Lamp test: counts down once per PUR frame; the lamps stay lit until it reaches 0.
static void Q14_STDCALL pur_lamp_test_countdown(GaugeHeader*, int32_t service, uint32_t) {
    if (service != 6) return;
    NavState& s = g_nav;
    if (s.lamp_test_timer > 0) {
        --s.lamp_test_timer;
        if (s.lamp_test_timer == 0) s.lamp_test = 0;
    }
}

static double Q14_STDCALL pur_selector_value(ElementHeader*) { return 30.0 * g_nav.pur_selector; }

// Lit when its flag is set or the lamp test runs, and only with the unit on.
static double pur_lamp(int flag) { return ((flag == 1 || g_nav.lamp_test == 1) && g_nav.unit_on == 1) ? 0.0 : -1.0; }

static double Q14_STDCALL pur_power_lamp_value(ElementHeader*) { return pur_lamp(g_nav.power_lamp); }
static double Q14_STDCALL pur_failure_lamp_value(ElementHeader*) { return pur_lamp(g_nav.failure_lamp); }
static double Q14_STDCALL pur_kv_lamp_value(ElementHeader*) { return pur_lamp(g_nav.kv_lamp); }
static double Q14_STDCALL pur_attention_lamp_value(ElementHeader*) { return pur_lamp(g_nav.attention_lamp); }
static double Q14_STDCALL pur_not_ready_lamp_value(ElementHeader*) { return pur_lamp(g_nav.not_ready_lamp); }

static int32_t Q14_STDCALL pur_selector_down_click(void*, uint32_t) {
    if (g_nav.pur_selector > kSelOff) --g_nav.pur_selector;
    return 1;
}

static int32_t Q14_STDCALL pur_selector_up_click(void*, uint32_t) {
    if (g_nav.pur_selector < kSelectorLast) ++g_nav.pur_selector;
    return 1;
}

// Every press and every repeat while held restarts the 18-frame test and asks for the
// settings and the route to be read again.
static int32_t Q14_STDCALL pur_lamp_test_click(void*, uint32_t) {
    NavState& s = g_nav;
    s.lamp_test_timer = 18;
    s.lamp_test = 1;
    s.settings_reload_request = 1;
    s.route_reload_request = 1;
    return 1;
}

extern ElementHeader* pur_list[9][2];

#define PUR_ICON(nxt, bmp, px, py, flags, cb)                                                     \
    {                                                                                              \
        .h = {.kind = kElementIcon, .bitmap = bmp, .x = px, .y = py, .gauge = &gauge_pur.g,         \
              .next = nxt, .image_flags = flags},                                                  \
        .frames = 1, .callback = cb                                                                \
    }

#define PUR_NEEDLE(nxt, bmp, flags)                                                                \
    {                                                                                              \
        .h = {.kind = kElementNeedle, .bitmap = bmp, .x = 308, .y = 65, .pivot_x = 38, .pivot_y = 32, \
              .gauge = &gauge_pur.g, .next = nxt, .image_flags = flags},                           \
        .callback = pur_selector_value                                                             \
    }

static StaticElement pur_face = {
    .h = {.kind = kElementStatic, .bitmap = 4608, .x = 0, .y = 0, .gauge = &gauge_pur.g, .next = pur_list[1],
          .image_flags = 0x3}};
static IconElement pur_legends = PUR_ICON(pur_list[2], 4624, 0, 0, 0x4003, nullptr);
static NeedleElement pur_needles[2] = {
    PUR_NEEDLE(pur_list[3], 4640, 0x83),
    PUR_NEEDLE(pur_list[4], 4656, 0x4083),
};
static IconElement pur_lamps[5] = {
    PUR_ICON(pur_list[5], 4736, 164, 91, 0x7, pur_power_lamp_value),
    PUR_ICON(pur_list[6], 4720, 108, 91, 0x7, pur_failure_lamp_value),
    PUR_ICON(pur_list[7], 4704, 136, 53, 0x7, pur_kv_lamp_value),
    PUR_ICON(pur_list[8], 4688, 164, 15, 0x7, pur_attention_lamp_value),
    PUR_ICON(nullptr, 4672, 108, 15, 0x7, pur_not_ready_lamp_value),
};

// pur_list[0] is the gauge's element list; pur_list[k] is chain element k's next-element list.
ElementHeader* pur_list[9][2] = {
    {&pur_face.h, nullptr},     {&pur_legends.h, nullptr}, {&pur_needles[0].h, nullptr},
    {&pur_needles[1].h, nullptr}, {&pur_lamps[0].h, nullptr}, {&pur_lamps[1].h, nullptr},
    {&pur_lamps[2].h, nullptr}, {&pur_lamps[3].h, nullptr}, {&pur_lamps[4].h, nullptr},
};

static MouseRect pur_mouse[] = {
    {.type = kMouseParent, .cursor = kCursorNone},
    {.type = kMouseArea, .x = 277, .y = 40, .w = 30, .h = 50, .cursor = kCursorDown, .mask = kMouseLeft,
     .callback = pur_selector_down_click},
    {.type = kMouseArea, .x = 311, .y = 40, .w = 30, .h = 50, .cursor = kCursorUp, .mask = kMouseLeft,
     .callback = pur_selector_up_click},
    {.type = kMouseArea, .x = 51, .y = 78, .w = 30, .h = 30, .cursor = kCursorHand, .mask = kMouseLeftRepeat,
     .callback = pur_lamp_test_click},
    {.type = kMouseEnd, .cursor = kCursorNone},
};

// The panel map names every chain element and mouse area in this order.
static_assert(sizeof pur_list / sizeof pur_list[0] == pur::kElementCount, "PUR chain and panels/panel_map.h differ");
static_assert(sizeof pur_mouse / sizeof pur_mouse[0] == pur::kAreaCount + 1, "PUR mouse areas and panels/panel_map.h differ");

GaugeHeaderRecord gauge_pur = {Q14_GAUGE_HEADER("Q14_PUR", pur_list[0], 140, pur_mouse, pur_lamp_test_countdown)};
