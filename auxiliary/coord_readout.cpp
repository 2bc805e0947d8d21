// The coordinate read-outs Koord_i and Koord_s: degrees, minutes and thousandths, frozen while
// a display hold is active, shown or hidden by a click.
#include "auxiliary/coord_readout.h"

#include <cmath>
#include <initializer_list>

#include "display/digits.h"
#include "frame/element_text.h"
#include "frame/module.h"
#include "nav/state.h"

void format_coordinates(double x, bool longitude, char* out) {
    // Degrees beyond any coordinate (or NaN) would not fit the text; they are limited first so
    // that every conversion below is defined.
    if (std::isnan(x)) x = 0;
    if (x > 999) x = 999;
    if (x < -999) x = -999;
    int64_t d = static_cast<int64_t>(x);
    double m = (x - static_cast<double>(d)) * 60.0;
    int64_t n = static_cast<int64_t>(m * 10000.0);
    bool negative = x < 0;
    if (d < 0) d = -d;
    if (n < 0) n = -n;
    if (n % 10 >= 5 && n > 0) n += 10;
    if (n > 599999) {
        n = 0;
        d += 1;
    }
    int i = 0;
    if (longitude) {
        out[i++] = negative ? 'W' : 'E';
        out[i++] = digit_char(d, 2);
    } else {
        out[i++] = negative ? 'S' : 'N';
        out[i++] = ' ';
    }
    out[i++] = digit_char(d, 1);
    out[i++] = digit_char(d, 0);
    out[i++] = ' ';
    out[i++] = digit_char(n, 5);
    out[i++] = digit_char(n, 4);
    out[i++] = ',';
    out[i++] = digit_char(n, 3);
    out[i++] = digit_char(n, 2);
    out[i++] = digit_char(n, 1);
    out[i] = '\0';
}

// Sets or clears the hidden bit of a read-out's two string elements, reached from its header.
static void set_texts_hidden(GaugeHeader* g, bool hidden) {
    ElementHeader* lat = g->elements[0]->next[0];
    ElementHeader* lon = lat->next[0];
    for (ElementHeader* e : {lat, lon}) {
        if (hidden) e->image_flags |= kImgHidden;
        else e->image_flags &= ~static_cast<uint32_t>(kImgHidden);
    }
}

static void readout_frame(GaugeHeader* g, double lat, double lon, char* lat_text, char* lon_text, int visible) {
    if (g_nav.ost_ind == 0) {
        format_coordinates(lat, false, lat_text);
        format_coordinates(lon, true, lon_text);
    }
    set_texts_hidden(g, visible != 1);
}

static void Q14_STDCALL koord_i_callback(GaugeHeader* g, int32_t service, uint32_t) {
    NavState& s = g_nav;
    if (service == 6)
        readout_frame(g, s.aircraft_lat, s.aircraft_lon, s.koord_i_lat_text, s.koord_i_lon_text, s.koord_i_visible);
}

static void Q14_STDCALL koord_s_callback(GaugeHeader* g, int32_t service, uint32_t) {
    NavState& s = g_nav;
    if (service == 6)
        readout_frame(g, s.present_lat, s.present_lon, s.koord_s_lat_text, s.koord_s_lon_text, s.koord_s_visible);
}

static double string_value(ElementHeader* e, const char* text) {
    element_set_text(e, text);
    return simvar_value(as_string(e)->source[0]);
}

static double Q14_STDCALL koord_i_lat_value(ElementHeader* e) { return string_value(e, g_nav.koord_i_lat_text); }
static double Q14_STDCALL koord_i_lon_value(ElementHeader* e) { return string_value(e, g_nav.koord_i_lon_text); }
static double Q14_STDCALL koord_s_lat_value(ElementHeader* e) { return string_value(e, g_nav.koord_s_lat_text); }
static double Q14_STDCALL koord_s_lon_value(ElementHeader* e) { return string_value(e, g_nav.koord_s_lon_text); }

static int32_t Q14_STDCALL koord_i_click(void*, uint32_t) {
    g_nav.koord_i_visible = g_nav.koord_i_visible == 0 ? 1 : 0;
    return 1;
}

static int32_t Q14_STDCALL koord_s_click(void*, uint32_t) {
    g_nav.koord_s_visible = g_nav.koord_s_visible == 0 ? 1 : 0;
    return 1;
}

#define KOORD_STRING(owner, nxt, py, face, cb)                                                     \
    {                                                                                              \
        .h = {.kind = kElementString, .bitmap = -1, .x = 5, .y = py, .gauge = &owner.g, .next = nxt,  \
              .image_flags = 0x6},                                                                 \
        .source = {{.id = 904}}, .box_w = 120, .box_h = 14, .color_text = 0x0000FA, .color_back = 0,  \
        .color_highlight = 0x5C5C5C, .font = face, .font_weight = 700, .charset = 1,                 \
        .format_flags = 0x25, .chars = 11, .callback = cb                                           \
    }

#define KOORD_MOUSE(cb)                                                                            \
    {                                                                                              \
        {.type = kMouseParent, .cursor = kCursorNone},                                             \
        {.type = kMouseArea, .x = 10, .y = 10, .w = 100, .h = 25, .cursor = kCursorHand,           \
         .mask = kMouseLeft, .callback = cb},                                                      \
        {.type = kMouseEnd, .cursor = kCursorNone},                                                \
    }

extern ElementHeader* koord_i_list[3][2];
extern ElementHeader* koord_s_list[3][2];

static StaticElement koord_i_face = {
    .h = {.kind = kElementStatic, .bitmap = 4784, .gauge = &gauge_koord_i.g, .next = koord_i_list[1],
          .image_flags = 0x3}};
static StringElement koord_i_strings[2] = {
    KOORD_STRING(gauge_koord_i, koord_i_list[2], 5, "Courier", koord_i_lat_value),
    KOORD_STRING(gauge_koord_i, nullptr, 25, "Courier New", koord_i_lon_value),
};
ElementHeader* koord_i_list[3][2] = {
    {&koord_i_face.h, nullptr}, {&koord_i_strings[0].h, nullptr}, {&koord_i_strings[1].h, nullptr}};
static MouseRect koord_i_mouse[] = KOORD_MOUSE(koord_i_click);

static StaticElement koord_s_face = {
    .h = {.kind = kElementStatic, .bitmap = 4784, .gauge = &gauge_koord_s.g, .next = koord_s_list[1],
          .image_flags = 0x3}};
static StringElement koord_s_strings[2] = {
    KOORD_STRING(gauge_koord_s, koord_s_list[2], 5, "Courier", koord_s_lat_value),
    KOORD_STRING(gauge_koord_s, nullptr, 25, "Courier New", koord_s_lon_value),
};
ElementHeader* koord_s_list[3][2] = {
    {&koord_s_face.h, nullptr}, {&koord_s_strings[0].h, nullptr}, {&koord_s_strings[1].h, nullptr}};
static MouseRect koord_s_mouse[] = KOORD_MOUSE(koord_s_click);

GaugeHeaderRecord gauge_koord_i = {Q14_GAUGE_HEADER("Koord_i", koord_i_list[0], 120, koord_i_mouse, koord_i_callback)};
GaugeHeaderRecord gauge_koord_s = {Q14_GAUGE_HEADER("Koord_s", koord_s_list[0], 120, koord_s_mouse, koord_s_callback)};
