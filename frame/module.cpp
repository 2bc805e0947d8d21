// Module start and stop, the exported Linkage and ImportTable, and the standard routines.
#include "frame/module.h"

#include "frame/host_api.h"
#include "nav/state.h"
#include "panels/keyboard.h"
#include "persist/flight_state.h"
#include "platform/platform.h"

LinkageRecord Linkage = {
    .module_id = 0x13,
    .init = module_init,
    .deinit = module_deinit,
    .flags = 0,
    .reserved = 0,
    .version = kUnit.interface_version,
    .gauges = {&gauge_uvi.g, &gauge_pur.g, &gauge_sys.g, &gauge_digtest.g, &gauge_ap_key.g, &gauge_koord_i.g,
               &gauge_koord_s.g, nullptr},
};

static constexpr ImportTableRecord import_table() {
    ImportTableRecord t{};
    for (int i = 0; i < kImportCount; ++i) t.e[i] = ImportEntry{kImportIds[i], nullptr};
    return t;
}

// Shipped with every address 0; the host fills them before module_init.
constinit ImportTableRecord ImportTable = import_table();

void Q14_STDCALL module_init() {
    g_nav.hook_handle = plat_install_keyboard_hook(kbd_hook_proc);
    if (kUnit.persists_flights) {
        if (HostEvents* t = host_events()) t->register_event_callback(16, on_host_event, 0, 0);
    }
}

void Q14_STDCALL module_deinit() {
    if (g_nav.hook_handle) {
        plat_remove_keyboard_hook(g_nav.hook_handle);
        g_nav.hook_handle = nullptr;
    }
    if (kUnit.persists_flights) {
        if (HostEvents* t = host_events()) t->unregister_event_callback(16, on_host_event, 0, 0);
    }
}

// The root element handed over is always Q14_UVI's, whichever gauge calls.
static ElementHeader* uvi_root() { return Linkage.gauges[0]->elements[0]; }

int32_t Q14_STDCALL gauge_query() {
    PanelServices* t = panel_services();
    return t ? t->query_elements(uvi_root()) : 0;
}
int32_t Q14_STDCALL gauge_install(uint32_t host_value) {
    PanelServices* t = panel_services();
    return t ? t->install_elements(uvi_root(), host_value) : 0;
}
int32_t Q14_STDCALL gauge_initialize() {
    PanelServices* t = panel_services();
    return t ? t->initialize_elements(uvi_root()) : 0;
}
int32_t Q14_STDCALL gauge_update() {
    PanelServices* t = panel_services();
    return t ? t->update_elements(uvi_root()) : 0;
}
int32_t Q14_STDCALL gauge_generate(uint32_t host_value) {
    PanelServices* t = panel_services();
    return t ? t->generate_elements(uvi_root(), host_value) : 0;
}
int32_t Q14_STDCALL gauge_draw() {
    PanelServices* t = panel_services();
    return t ? t->draw_elements(uvi_root()) : 0;
}
int32_t Q14_STDCALL gauge_kill() {
    PanelServices* t = panel_services();
    return t ? t->kill_elements(uvi_root()) : 0;
}
