// The module's exported records and the routines the host calls through them: module start
// and stop, the seven standard routines shared by all gauges, and the gauge list.
#pragma once

#include "frame/unit_profile.h"

Q14_EXPORT LinkageRecord Linkage;
// The import list: pairs {table identifier, table address}, closed by {0, 0}.
struct ImportTableRecord {
    ImportEntry e[kImportCount + 1];
};
Q14_EXPORT ImportTableRecord ImportTable;

void Q14_STDCALL module_init();
void Q14_STDCALL module_deinit();

// The seven standard routines; each hands Q14_UVI's root element to the host.
int32_t Q14_STDCALL gauge_query();
int32_t Q14_STDCALL gauge_install(uint32_t host_value);
int32_t Q14_STDCALL gauge_initialize();
int32_t Q14_STDCALL gauge_update();
int32_t Q14_STDCALL gauge_generate(uint32_t host_value);
int32_t Q14_STDCALL gauge_draw();
int32_t Q14_STDCALL gauge_kill();

// The seven gauges, in Linkage order.
extern GaugeHeaderRecord gauge_uvi;        // Q14_UVI, panels/uvi_panel.cpp
extern GaugeHeaderRecord gauge_pur;        // Q14_PUR, panels/pur_panel.cpp
extern GaugeHeaderRecord gauge_sys;        // Q_14_SYS, nav/system_gauge.cpp
extern GaugeHeaderRecord gauge_digtest;    // DigTest, auxiliary/debug_readout.cpp
extern GaugeHeaderRecord gauge_ap_key;     // QN14_def_AP_Key, auxiliary/autopilot.cpp
extern GaugeHeaderRecord gauge_koord_i;    // Koord_i, auxiliary/coord_readout.cpp
extern GaugeHeaderRecord gauge_koord_s;    // Koord_s, auxiliary/coord_readout.cpp

// A gauge header: version 800, the seven standard routines, the gauge's own name, element
// list, width, mouse list and callback; every other word zero.
#define Q14_GAUGE_HEADER(gauge_name, element_list, width, mouse_list, gauge_callback)                   \
    {                                                                                                  \
        .version = 800, .name = gauge_name, .elements = element_list, .query = gauge_query,            \
        .install = gauge_install, .initialize = gauge_initialize, .update = gauge_update,              \
        .generate = gauge_generate, .draw = gauge_draw, .kill = gauge_kill, .width_mm = width,         \
        .mouse = mouse_list, .callback = gauge_callback                                                \
    }
