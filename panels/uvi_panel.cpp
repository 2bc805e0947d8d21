// The display-and-keypad panel Q14_UVI: its gauge header, element chain and mouse areas, the
// element callbacks that pick what each element shows and the mouse callbacks that set latches.
#include <cstdio>

#include "display/digits.h"
#include "display/display_cycle.h"
#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"
#include "panels/panel_map.h"
#include "panels/selectors.h"

static void Q14_STDCALL uvi_gauge_callback(GaugeHeader*, int32_t service, uint32_t) {
    if (service == 6) display_cycle(g_nav);
}

// ---- element callbacks -------------------------------------------------------------------

static bool upper_entry_in_progress(const NavState& s) {
    return s.entry_lat_start || s.entry_lat_ppm || s.entry_lat_corr || s.entry_upper_mode8;
}

static bool lower_entry_in_progress(const NavState& s) {
    return s.entry_lon_start || s.entry_lon_ppm || s.entry_lon_corr || s.entry_lower_mode9;
}

static constexpr const char* kBlankLine = "          ";

static double Q14_STDCALL uvi_upper_line_value(ElementHeader* e) {
    const NavState& s = g_nav;
    const char* text = s.upper_text;
    if (s.unit_on == 0 || lower_entry_in_progress(s)) text = kBlankLine;
    else if (s.mode_switch == 1) text = "  88888888";
    else if (upper_entry_in_progress(s) || s.entry_ppm_number == 1) text = s.upper_entry_text;
    element_set_text(e, text);
    return simvar_value(as_string(e)->source[0]);
}

static double Q14_STDCALL uvi_lower_line_value(ElementHeader* e) {
    const NavState& s = g_nav;
    const char* text = s.lower_text;
    if (s.unit_on == 0 || upper_entry_in_progress(s)) text = kBlankLine;
    else if (s.mode_switch == 1) text = " 888888888";
    else if (lower_entry_in_progress(s) || s.entry_ppm_number == 1) text = s.lower_entry_text;
    element_set_text(e, text);
    return simvar_value(as_string(e)->source[0]);
}

// One-character waypoint digit; a value of 10 or more shows its last digit so the text always
// fits the element.
static void set_digit_text(ElementHeader* e, int v, bool blank) {
    char text[2] = {' ', '\0'};
    if (!blank) text[0] = digit_char(v, 0);
    element_set_text(e, text);
}

static double Q14_STDCALL uvi_from_digit_value(ElementHeader* e) {
    const NavState& s = g_nav;
    int v = s.ppm_from;
    if (s.mode_switch == 1) v = 8;
    else if (s.route_change_active == 1) v = s.entry_digits[2];
    bool blank = (s.work_state != 3 && s.mode_switch != 1) ||
                 (s.route_change_active == 1 && s.entry_digits_left > 1) || s.unit_on == 0;
    set_digit_text(e, v, blank);
    return v;
}

static double Q14_STDCALL uvi_to_digit_value(ElementHeader* e) {
    const NavState& s = g_nav;
    int v = s.ppm_to;
    if (s.mode_switch == 1) v = 8;
    if (s.route_change_active == 1) v = s.entry_digits[1];  // overrides KONTR's 8
    bool blank = (s.work_state != 3 && s.mode_switch != 1) ||
                 (s.route_change_active == 1 && s.entry_digits_left > 0) || s.unit_on == 0;
    set_digit_text(e, v, blank);
    return v;
}

static double Q14_STDCALL uvi_mode_knob_value(ElementHeader*) { return 120.0 + 30.0 * g_nav.mode_switch; }

static double Q14_STDCALL uvi_auto_manual_value(ElementHeader*) { return g_nav.auto_manual == 1 ? -120.0 : -60.0; }

// A key lamp is lit when its flag is set or the knob is at KONTR, and only with the unit on.
static double lamp_frame(int flag) {
    return ((flag == 1 || g_nav.mode_switch == 1) && g_nav.unit_on == 1) ? 0.0 : -1.0;
}

static double Q14_STDCALL uvi_enter_lamp_value(ElementHeader*) { return lamp_frame(g_nav.enter_lamp); }
static double Q14_STDCALL uvi_route_change_lamp_value(ElementHeader*) { return lamp_frame(g_nav.route_change_lamp); }
static double Q14_STDCALL uvi_ost_ind_lamp_value(ElementHeader*) { return lamp_frame(g_nav.ost_ind_lamp); }
static double Q14_STDCALL uvi_lzp_change_lamp_value(ElementHeader*) { return lamp_frame(g_nav.lzp_change_lamp); }

// The wheel icon has ten frames; a wheel value outside them (a damaged restore) stops at the ends.
static double Q14_STDCALL uvi_ppm_wheel_value(ElementHeader*) {
    return g_nav.ppm_wheel < 0 ? 0 : g_nav.ppm_wheel > 9 ? 9 : g_nav.ppm_wheel;
}

// Frame 0 while the unit holds the keyboard, else hidden: the icon has that one frame only.
static double Q14_STDCALL uvi_focus_indicator_value(ElementHeader*) { return g_nav.kbd_focus_shown == 1 ? 0.0 : -1.0; }

static double Q14_STDCALL uvi_upper_sign_value(ElementHeader*) {
    const NavState& s = g_nav;
    if (s.unit_on == 0 || lower_entry_in_progress(s)) return 0;
    return s.entry_active == 1 ? s.entry_sign_upper : s.sign_upper;
}

static double Q14_STDCALL uvi_lower_sign_value(ElementHeader*) {
    const NavState& s = g_nav;
    if (s.unit_on == 0 || upper_entry_in_progress(s)) return 0;
    return s.entry_active == 1 ? s.entry_sign_lower : s.sign_lower;
}

// ---- mouse callbacks ---------------------------------------------------------------------

static int32_t Q14_STDCALL uvi_mode_down_click(void*, uint32_t) {
    if (g_nav.mode_switch > kPageFirst) --g_nav.mode_switch;
    return 1;
}
static int32_t Q14_STDCALL uvi_mode_up_click(void*, uint32_t) {
    if (g_nav.mode_switch < kPageLast) ++g_nav.mode_switch;
    return 1;
}
static int32_t Q14_STDCALL uvi_wheel_down_click(void*, uint32_t) {
    wheel_step(g_nav, -1);
    return 1;
}
static int32_t Q14_STDCALL uvi_wheel_up_click(void*, uint32_t) {
    wheel_step(g_nav, +1);
    return 1;
}
static int32_t Q14_STDCALL uvi_auto_click(void*, uint32_t) {
    g_nav.auto_manual = 1;
    return 1;
}
static int32_t Q14_STDCALL uvi_manual_click(void*, uint32_t) {
    g_nav.auto_manual = 0;
    return 1;
}

#define Q14_KEY_CLICK(name, field)                    \
    static int32_t Q14_STDCALL name(void*, uint32_t) { \
        g_nav.field = 1;                               \
        return 1;                                      \
    }
Q14_KEY_CLICK(uvi_key_0_click, key_0)
Q14_KEY_CLICK(uvi_key_1_click, key_1)
Q14_KEY_CLICK(uvi_key_2_click, key_2)
Q14_KEY_CLICK(uvi_key_3_click, key_3)
Q14_KEY_CLICK(uvi_key_4_click, key_4)
Q14_KEY_CLICK(uvi_key_5_click, key_5)
Q14_KEY_CLICK(uvi_key_6_click, key_6)
Q14_KEY_CLICK(uvi_key_7_click, key_7)
Q14_KEY_CLICK(uvi_key_8_click, key_8)
Q14_KEY_CLICK(uvi_key_9_click, key_9)
Q14_KEY_CLICK(uvi_key_enter_click, key_enter)
Q14_KEY_CLICK(uvi_key_reset_click, key_reset)
Q14_KEY_CLICK(uvi_key_route_change_click, key_route_change)
Q14_KEY_CLICK(uvi_key_ost_ind_click, key_ost_ind)
#undef Q14_KEY_CLICK

static int32_t Q14_STDCALL uvi_route_reload_click(void*, uint32_t) {
    g_nav.route_reload_request = 1;
    g_nav.route_copy_request = 1;
    return 1;
}

// Takes or releases keyboard focus; a focus flag holding anything but 0 or 1 is left alone.
static int32_t Q14_STDCALL uvi_focus_click(void*, uint32_t) {
    NavState& s = g_nav;
    if (s.kbd_focus == 0) {
        s.kbd_focus = 1;
        s.kbd_focus_timer = s.kbd_focus_timeout;
    } else if (s.kbd_focus == 1) {
        s.kbd_focus = 0;
        s.kbd_focus_timer = 0;
    }
    return 1;
}

// During alignment on the phi/lambda page: the aircraft's true position becomes the start.
static int32_t Q14_STDCALL uvi_take_position_click(void*, uint32_t) {
    NavState& s = g_nav;
    if (s.work_state == 2 && s.mode_switch == 2 && s.unit_on == 1) {
        s.start_lat = s.present_lat = s.aircraft_lat;
        s.start_lon = s.present_lon = s.aircraft_lon;
        s.start_lat_set = 1;
        s.start_lon_set = 1;
    }
    return 1;
}

// Shortens a running alignment to its last 550 cycles.
static int32_t Q14_STDCALL uvi_align_shortcut_click(void*, uint32_t) {
    NavState& s = g_nav;
    if (s.work_state == 2 && s.align_running == 1 && s.unit_on == 1) s.align_countdown = 500;
    return 1;
}

// ---- tables ------------------------------------------------------------------------------

extern ElementHeader* uvi_list[16][2];

#define UVI_STRING(nxt, px, py, bw, bh, n, cb)                                                     \
    {                                                                                                \
        .h = {.kind = kElementString, .bitmap = -1, .x = px, .y = py, .gauge = &gauge_uvi.g,         \
              .next = nxt, .image_flags = 0x6},                                            \
        .box_w = bw, .box_h = bh, .color_text = 0x00589D6C, .color_back = 0x00080808,                \
        .color_highlight = 0x005C5C5C, .font = "quartz", .font_weight = 400, .charset = 1,           \
        .format_flags = 0x25, .chars = n, .callback = cb                                              \
    }

#define UVI_ICON(nxt, bmp, px, py, n, flags, cb)                                                    \
    {                                                                                                \
        .h = {.kind = kElementIcon, .bitmap = bmp, .x = px, .y = py, .gauge = &gauge_uvi.g,          \
              .next = nxt, .image_flags = flags},                                          \
        .frames = n, .callback = cb                                                                  \
    }

#define UVI_NEEDLE(nxt, bmp, px, py, pvx, pvy, cb)                                                  \
    {                                                                                                \
        .h = {.kind = kElementNeedle, .bitmap = bmp, .x = px, .y = py, .pivot_x = pvx, .pivot_y = pvy, \
              .gauge = &gauge_uvi.g, .next = nxt, .image_flags = 0x83},                    \
        .callback = cb                                                                               \
    }

// Chain: face, four strings, legends, two needles, nine icons (the last has no successor).
static StaticElement uvi_face = {
    .h = {.kind = kElementStatic, .bitmap = 4128, .x = 0, .y = 0, .gauge = &gauge_uvi.g, .next = uvi_list[1],
          .image_flags = 0x3}};

static StringElement uvi_strings[4] = {
    UVI_STRING(uvi_list[2], 138, 38, 205, 60, 10, uvi_upper_line_value),
    UVI_STRING(uvi_list[3], 138, 107, 205, 60, 10, uvi_lower_line_value),
    UVI_STRING(uvi_list[4], 49, 107, 20, 60, 1, uvi_from_digit_value),
    UVI_STRING(uvi_list[5], 91, 107, 20, 60, 1, uvi_to_digit_value),
};

static IconElement uvi_legends = UVI_ICON(uvi_list[6], 4133, 0, 0, 1, 0x4003, nullptr);

static NeedleElement uvi_needles[2] = {
    UVI_NEEDLE(uvi_list[7], 4144, 122, 453, 29, 17, uvi_mode_knob_value),
    UVI_NEEDLE(uvi_list[8], 4160, 130, 302, 38, 20, uvi_auto_manual_value),
};

static IconElement uvi_icons[8] = {
    UVI_ICON(uvi_list[9], 4165, 182, 368, 1, 0x7, uvi_enter_lamp_value),
    UVI_ICON(uvi_list[10], 4176, 239, 429, 1, 0x7, uvi_route_change_lamp_value),
    UVI_ICON(uvi_list[11], 4192, 297, 429, 1, 0x7, uvi_ost_ind_lamp_value),
    UVI_ICON(uvi_list[12], 4208, 26, 48, 1, 0x7, uvi_lzp_change_lamp_value),
    UVI_ICON(uvi_list[13], 4224, 46, 283, 10, 0x4003, uvi_ppm_wheel_value),
    UVI_ICON(uvi_list[14], 4256, 357, 6, 1, 0x7, uvi_focus_indicator_value),
    UVI_ICON(uvi_list[15], 4272, 127, 49, 6, 0x7, uvi_upper_sign_value),
    UVI_ICON(nullptr, 4288, 127, 117, 6, 0x7, uvi_lower_sign_value),
};

// uvi_list[0] is the gauge's element list (the root); uvi_list[k] is the next-element list of
// chain element k and names element k + 1; the last element has no list.
ElementHeader* uvi_list[16][2] = {
    {&uvi_face.h, nullptr},
    {&uvi_strings[0].h, nullptr},
    {&uvi_strings[1].h, nullptr},
    {&uvi_strings[2].h, nullptr},
    {&uvi_strings[3].h, nullptr},
    {&uvi_legends.h, nullptr},
    {&uvi_needles[0].h, nullptr},
    {&uvi_needles[1].h, nullptr},
    {&uvi_icons[0].h, nullptr},
    {&uvi_icons[1].h, nullptr},
    {&uvi_icons[2].h, nullptr},
    {&uvi_icons[3].h, nullptr},
    {&uvi_icons[4].h, nullptr},
    {&uvi_icons[5].h, nullptr},
    {&uvi_icons[6].h, nullptr},
    {&uvi_icons[7].h, nullptr},
};

#define UVI_AREA(ax, ay, aw, ah, cur, msk, cb) \
    {.type = kMouseArea, .x = ax, .y = ay, .w = aw, .h = ah, .cursor = cur, .help = 0, .mask = msk, .event = 0, .callback = cb}

static MouseRect uvi_mouse[] = {
    {.type = kMouseParent, .cursor = kCursorNone},
    UVI_AREA(87, 422, 30, 60, kCursorDown, kMouseLeftRepeat, uvi_mode_down_click),
    UVI_AREA(124, 422, 30, 60, kCursorUp, kMouseLeftRepeat, uvi_mode_up_click),
    UVI_AREA(48, 301, 30, 35, kCursorDown, kMouseLeftRepeat, uvi_wheel_down_click),
    UVI_AREA(48, 249, 30, 35, kCursorUp, kMouseLeftRepeat, uvi_wheel_up_click),
    UVI_AREA(102, 275, 25, 50, kCursorDown, kMouseLeft, uvi_auto_click),
    UVI_AREA(134, 275, 25, 50, kCursorUp, kMouseLeft, uvi_manual_click),
    UVI_AREA(186, 191, 40, 40, kCursorHand, kMouseLeft, uvi_key_1_click),
    UVI_AREA(244, 191, 40, 40, kCursorHand, kMouseLeft, uvi_key_2_click),
    UVI_AREA(302, 191, 40, 40, kCursorHand, kMouseLeft, uvi_key_3_click),
    UVI_AREA(186, 249, 40, 40, kCursorHand, kMouseLeft, uvi_key_4_click),
    UVI_AREA(244, 249, 40, 40, kCursorHand, kMouseLeft, uvi_key_5_click),
    UVI_AREA(302, 249, 40, 40, kCursorHand, kMouseLeft, uvi_key_6_click),
    UVI_AREA(186, 310, 40, 40, kCursorHand, kMouseLeft, uvi_key_7_click),
    UVI_AREA(244, 310, 40, 40, kCursorHand, kMouseLeft, uvi_key_8_click),
    UVI_AREA(302, 310, 40, 40, kCursorHand, kMouseLeft, uvi_key_9_click),
    UVI_AREA(186, 372, 40, 40, kCursorHand, kMouseLeft, uvi_key_enter_click),
    UVI_AREA(244, 372, 40, 40, kCursorHand, kMouseLeft, uvi_key_0_click),
    UVI_AREA(302, 372, 40, 40, kCursorHand, kMouseLeft, uvi_key_reset_click),
    UVI_AREA(244, 434, 40, 40, kCursorHand, kMouseLeft, uvi_key_route_change_click),
    UVI_AREA(302, 434, 40, 40, kCursorHand, kMouseLeft, uvi_key_ost_ind_click),
    UVI_AREA(0, 0, 45, 45, kCursorNone, kMouseLeft, uvi_route_reload_click),
    UVI_AREA(337, 0, 45, 45, kCursorHand, kMouseLeft, uvi_focus_click),
    UVI_AREA(26, 48, 93, 22, kCursorNone, kMouseLeft, uvi_take_position_click),
    UVI_AREA(290, 120, 40, 60, kCursorHand, kMouseLeft, uvi_align_shortcut_click),
    {.type = kMouseEnd, .cursor = kCursorNone},
};

// The panel map names every chain element and mouse area in this order.
static_assert(sizeof uvi_list / sizeof uvi_list[0] == uvi::kElementCount, "UVI chain and panels/panel_map.h differ");
static_assert(sizeof uvi_mouse / sizeof uvi_mouse[0] == uvi::kAreaCount + 1, "UVI mouse areas and panels/panel_map.h differ");

GaugeHeaderRecord gauge_uvi = {Q14_GAUGE_HEADER("Q14_UVI", uvi_list[0], 160, uvi_mouse, uvi_gauge_callback)};
