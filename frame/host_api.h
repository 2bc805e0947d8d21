// Calls into the simulator through the function tables it wrote into ImportTable. The table
// address is looked up at each use, never cached.
#pragma once

#include "frame/host_tables.h"

// The address the host wrote for a table identifier, or null when absent or not filled.
void* host_table(uint32_t id);

inline PanelServices* panel_services() { return static_cast<PanelServices*>(host_table(kTablePanelServices)); }
inline HostEvents* host_events() { return static_cast<HostEvents*>(host_table(kTableHostEvents)); }
inline CurrentFlight* current_flight() { return static_cast<CurrentFlight*>(host_table(kTableCurrentFlight)); }

// Reads a simulator variable into its record and returns the value.
double host_read_sim_variable(SimVarRecord& record);
void host_fire_key_event(int32_t event, int32_t value);
void host_publish_named_value(void* value, int32_t type, const char* name);
void host_bind_named_value(NamedValueRef& ref, const char* name);
void host_withdraw_named_value(const char* name);
// Fills `record` (kFlightRecordSize bytes) with the current flight; false when the host has no
// such table.
bool host_current_flight(void* record);
