// Calls into the simulator's function tables, looked up in ImportTable at each use.
#include "frame/host_api.h"

#include "frame/module.h"

void* host_table(uint32_t id) {
    for (const ImportEntry* e = ImportTable.e; e->id != 0 || e->table != nullptr; ++e)
        if (e->id == id) return e->table;
    return nullptr;
}

// A host that left the panel-services address empty gets no calls rather than a crash: the
// variable keeps its last value and the other operations do nothing.
double host_read_sim_variable(SimVarRecord& record) {
    if (PanelServices* t = panel_services()) t->read_sim_variable(&record);
    return simvar_value(record);
}

void host_fire_key_event(int32_t event, int32_t value) {
    if (PanelServices* t = panel_services()) t->fire_key_event(event, value);
}

void host_publish_named_value(void* value, int32_t type, const char* name) {
    if (PanelServices* t = panel_services()) t->publish_named_value(value, type, name);
}

// The old address goes first, so that a name no longer published can never leave it behind.
void host_bind_named_value(NamedValueRef& ref, const char* name) {
    if (PanelServices* t = panel_services()) {
        ref.value = nullptr;
        t->bind_named_value(&ref, name);
    }
}

void host_withdraw_named_value(const char* name) {
    if (PanelServices* t = panel_services()) t->withdraw_named_value(name);
}

bool host_current_flight(void* record) {
    CurrentFlight* t = current_flight();
    if (!t || !t->current_flight_query) return false;
    t->current_flight_query(record);
    return true;
}
