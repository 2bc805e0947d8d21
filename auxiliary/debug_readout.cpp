// The debug read-out DigTest: four internal values of the error model as plain numbers.
#include <cstdio>
#include <cstring>

#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"

// Unit 2 copies its drift values each frame; unit 1's system cycle fills the fields itself.
static void Q14_STDCALL digtest_callback(GaugeHeader*, int32_t service, uint32_t) {
    if (!kUnit.debug_gauge_copies || service != 6) return;
    NavState& s = g_nav;
    s.dbg_err_north_pct = s.drift_rate_north;
    s.dbg_err_east_pct = s.drift_rate_east;
    s.dbg_scale_north = s.drift_north_m;
    s.dbg_scale_east = s.drift_east_m;
}

// Formats into a frame-sized buffer, then hands the element only what fits its ten characters
// (-1900.000000 keeps its first ten: only decimals are lost). A value whose whole part alone
// would not fit shows as "+big" or "-big" rather than as a cut, wrong number.
static void format_debug_line(char (&text)[32], int chars, const char* format, double v) {
    bool fits = v > -1e15 && v < 1e15;
    if (fits) {
        std::snprintf(text, sizeof text, format, v);
        const char* dot = std::strchr(text, '.');
        fits = dot && dot - text <= chars;
    }
    if (!fits) std::snprintf(text, sizeof text, "%s", v != v ? "nan" : (v > 0 ? "+big" : "-big"));
}

// Formatting a double costs more than all the rest of a frame, and these values change
// seldom (unit 2's rates never, its drift once a second): a line is formatted again only when
// its value changes, and the kept text is handed to the element every frame.
static double debug_line(ElementHeader* e, int line, const char* format, double v) {
    NavState& s = g_nav;
    if (s.dbg_line_formatted[line] != 1 || std::memcmp(&s.dbg_line_value[line], &v, sizeof v) != 0) {
        format_debug_line(s.dbg_line_text[line], as_string(e)->chars, format, v);
        s.dbg_line_value[line] = v;
        s.dbg_line_formatted[line] = 1;
    }
    element_set_text(e, s.dbg_line_text[line]);
    return v;
}

static double Q14_STDCALL digtest_line1(ElementHeader* e) { return debug_line(e, 0, "%3.6f", g_nav.dbg_err_north_pct); }
static double Q14_STDCALL digtest_line2(ElementHeader* e) { return debug_line(e, 1, "%3.6f", g_nav.dbg_err_east_pct); }
static double Q14_STDCALL digtest_line3(ElementHeader* e) { return debug_line(e, 2, "%2.7f", g_nav.dbg_scale_north); }
static double Q14_STDCALL digtest_line4(ElementHeader* e) { return debug_line(e, 3, "%2.7f", g_nav.dbg_scale_east); }

extern ElementHeader* digtest_list[5][2];

#define DIGTEST_STRING(nxt, py, cb)                                                                \
    {                                                                                              \
        .h = {.kind = kElementString, .bitmap = -1, .x = 1, .y = py, .gauge = &gauge_digtest.g,      \
              .next = nxt, .image_flags = 0x6},                                                    \
        .source = {{.id = 904}}, .box_w = 118, .box_h = 13, .color_text = 0x0000FA,                 \
        .color_back = 0x323232, .color_highlight = 0x5C5C5C, .font = "Courier New",                \
        .font_weight = 700, .charset = 1, .format_flags = 0x25, .chars = 10, .callback = cb         \
    }

static StaticElement digtest_face = {
    .h = {.kind = kElementStatic, .bitmap = 4096, .gauge = &gauge_digtest.g, .next = digtest_list[1],
          .image_flags = 0x3}};
static StringElement digtest_strings[4] = {
    DIGTEST_STRING(digtest_list[2], 1, digtest_line1),
    DIGTEST_STRING(digtest_list[3], 16, digtest_line2),
    DIGTEST_STRING(digtest_list[4], 31, digtest_line3),
    DIGTEST_STRING(nullptr, 46, digtest_line4),
};
ElementHeader* digtest_list[5][2] = {
    {&digtest_face.h, nullptr},       {&digtest_strings[0].h, nullptr}, {&digtest_strings[1].h, nullptr},
    {&digtest_strings[2].h, nullptr}, {&digtest_strings[3].h, nullptr},
};

static MouseRect digtest_mouse[] = {
    {.type = kMouseParent, .cursor = kCursorNone},
    {.type = kMouseEnd, .cursor = kCursorNone},
};

GaugeHeaderRecord gauge_digtest = {
    Q14_GAUGE_HEADER("DigTest", digtest_list[0], 120, digtest_mouse, digtest_callback)};
