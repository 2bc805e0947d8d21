// A small simulator for white-box tests of the system cycle: panel services that answer the
// simulator variables from a test-owned array, a current-flight query that counts its calls,
// and a performance counter the test steps.
#pragma once

#include <cmath>
#include <cstring>
#include <vector>

#include "frame/module.h"
#include "nav/state.h"
#include "nav/system_cycle.h"
#include "platform/posix_control.h"

namespace fake_sim {

inline constexpr int kVarCount = 1024;
inline constexpr double kPerfFrequency = 1e7;  // the Linux layer's fixed frequency

inline double g_values[kVarCount];  // by variable number, in the host's units
inline std::vector<int32_t> g_reads;
inline int g_flight_queries = 0;
inline int64_t g_counter = 0;
inline int32_t* g_partner_hook = nullptr;  // the partner's published HOOK; null while not published

inline int32_t Q14_STDCALL read_sim_variable(SimVarRecord* r) {
    g_reads.push_back(r->id);
    simvar_set_value(*r, r->id >= 0 && r->id < kVarCount ? g_values[r->id] : 0.0);
    return 1;
}

// No flight is loaded: the restore and the save find nothing to work on.
inline int32_t Q14_STDCALL current_flight_query(void* record) {
    ++g_flight_queries;
    std::memset(record, 0, kFlightRecordSize);
    return 1;
}

inline int32_t Q14_STDCALL bind_named_value(NamedValueRef* ref, const char*) {
    ref->value = g_partner_hook;
    return g_partner_hook ? 1 : 0;
}

inline PanelServices g_services = [] {
    PanelServices p{};
    p.read_sim_variable = read_sim_variable;
    p.bind_named_value = bind_named_value;
    return p;
}();

inline CurrentFlight g_flight = [] {
    CurrentFlight c{};
    c.current_flight_query = current_flight_query;
    return c;
}();

inline void set_table(uint32_t id, void* table) {
    for (ImportEntry& e : ImportTable.e)
        if (e.id == id) e.table = table;
}

// Installs the fake host with every variable 0 and external power on.
inline void install() {
    std::memset(g_values, 0, sizeof g_values);
    g_values[753] = 28;
    g_reads.clear();
    g_flight_queries = 0;
    g_partner_hook = nullptr;
    g_counter = 1000 * static_cast<int64_t>(kPerfFrequency);
    plat_set_perf_counter(g_counter);
    set_table(kTablePanelServices, &g_services);
    set_table(kTableCurrentFlight, &g_flight);
}

inline void uninstall() {
    set_table(kTablePanelServices, nullptr);
    set_table(kTableCurrentFlight, nullptr);
    plat_set_perf_counter(-1);
}

// Latitude and longitude in degrees as the host delivers them.
inline void set_lat(double deg) { g_values[71] = deg / 8.998425275576774e-06; }
inline void set_lon(double deg) { g_values[72] = deg / 1.2789769243681803e-12; }

// One system cycle after `dt_s` seconds of performance counter.
inline void cycle(NavState& s, double dt_s = 1.0 / 18) {
    g_counter += std::llround(dt_s * kPerfFrequency);
    plat_set_perf_counter(g_counter);
    system_cycle(s);
}

inline void cycles(NavState& s, int n) {
    for (int i = 0; i < n; ++i) cycle(s);
}

}  // namespace fake_sim
