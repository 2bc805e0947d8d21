// The invisible system gauge Q_14_SYS: its records and the dispatch of the host's services to
// the system cycle and the named variables.
#include "frame/module.h"
#include "nav/named_vars.h"
#include "nav/state.h"
#include "nav/system_cycle.h"

static void Q14_STDCALL sys_gauge_callback(GaugeHeader*, int32_t service, uint32_t) {
    switch (service) {
        case 2: named_publish(g_nav); break;
        case 4: named_bind(g_nav); break;
        case 6: system_cycle(g_nav); break;
        case 12: named_withdraw(g_nav); break;
        case 14: system_connect(g_nav); break;
        default: break;
    }
}

static StaticElement sys_face = {
    .h = {.kind = kElementStatic, .bitmap = 4112, .x = 0, .y = 0, .gauge = &gauge_sys.g, .next = nullptr,
          .image_flags = 0x3}};

static ElementHeader* sys_list[2] = {&sys_face.h, nullptr};

static MouseRect sys_mouse[] = {
    {.type = kMouseParent, .cursor = kCursorNone},
    {.type = kMouseEnd, .cursor = kCursorNone},
};

GaugeHeaderRecord gauge_sys = {Q14_GAUGE_HEADER("Q_14_SYS", sys_list, 20, sys_mouse, sys_gauge_callback)};
