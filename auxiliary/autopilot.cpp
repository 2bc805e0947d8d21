// The autopilot steering button QN14_def_AP_Key: with steering on and the unit navigating, it
// sends the simulator's heading autopilot the heading that brings the aircraft onto the leg.
#include "auxiliary/autopilot.h"

#include <cmath>

#include "display/digits.h"
#include "frame/host_api.h"
#include "frame/module.h"
#include "panels/panel_map.h"

enum : int32_t { kHeadingBugEvent = 66042 };

double autopilot_heading(double h, double pu_delta, double lbu_m, double lbu_dif, double kp, double kd,
                         double* correction) {
    double q = (lbu_dif * kd + lbu_m * kp) * 0.001;
    if (q > 60) q = 60;
    else if (q < -60) q = -60;
    if (correction) *correction = q;
    double p = h - pu_delta - q;
    if (p > 360) p -= 360;
    if (p < 0) p += 360;
    return p;
}

void autopilot_frame(NavState& s) {
    double h = host_read_sim_variable(s.ap_heading_var);  // read every frame, steering or not
    if (s.ap_steering_on != 1 || s.nav_ready == 0) return;
    s.ap_heading = autopilot_heading(h, s.pu_delta_var, s.lbu_var, s.lbu_dif_var, s.kp, s.kd, &s.ap_correction);
    // A heading that is not a number is never commanded.
    if (!std::isfinite(s.ap_heading)) return;
    host_fire_key_event(kHeadingBugEvent, trunc_to_i32(s.ap_heading));
}

static void Q14_STDCALL ap_gauge_callback(GaugeHeader*, int32_t service, uint32_t) {
    if (service == 6) autopilot_frame(g_nav);
}

// Frame 2 lit, frame 0 dark; frame 1 is never shown.
static double Q14_STDCALL ap_button_value(ElementHeader*) { return g_nav.ap_steering_on != 0 ? 2.0 : 0.0; }

static int32_t Q14_STDCALL ap_button_click(void*, uint32_t) {
    g_nav.ap_steering_on = g_nav.ap_steering_on == 0 ? 1 : 0;
    return 1;
}

extern ElementHeader* ap_list[2][2];

static StaticElement ap_face = {
    .h = {.kind = kElementStatic, .bitmap = 4768, .x = 0, .y = 0, .gauge = &gauge_ap_key.g, .next = ap_list[1],
          .image_flags = 0x3}};
static IconElement ap_icon = {
    .h = {.kind = kElementIcon, .bitmap = 4773, .x = 0, .y = 0, .gauge = &gauge_ap_key.g, .next = nullptr,
          .image_flags = 0x3},
    .frames = 3,
    .callback = ap_button_value};

ElementHeader* ap_list[2][2] = {{&ap_face.h, nullptr}, {&ap_icon.h, nullptr}};

static MouseRect ap_mouse[] = {
    {.type = kMouseParent, .cursor = kCursorNone},
    {.type = kMouseArea, .x = 0, .y = 0, .w = 30, .h = 65, .cursor = kCursorHand, .mask = kMouseLeft,
     .callback = ap_button_click},
    {.type = kMouseEnd, .cursor = kCursorNone},
};

static_assert(sizeof ap_list / sizeof ap_list[0] == apkey::kElementCount, "AP key chain and panels/panel_map.h differ");
static_assert(sizeof ap_mouse / sizeof ap_mouse[0] == apkey::kAreaCount + 1, "AP key mouse areas and panels/panel_map.h differ");

GaugeHeaderRecord gauge_ap_key = {
    Q14_GAUGE_HEADER("QN14_def_AP_Key", ap_list[0], 15, ap_mouse, ap_gauge_callback)};
