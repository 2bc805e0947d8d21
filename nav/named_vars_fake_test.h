// Panel services for the named-variable tests: every publish, bind and withdraw call is
// recorded in order, and a bind hands back the address of a test-owned partner value.
#pragma once

#include <string>
#include <vector>

#include "frame/module.h"

namespace fake_named {

struct Call {
    std::string op;      // "publish", "bind" or "withdraw"
    std::string name;
    const void* address; // published value or bound record
    int32_t type;        // publish only
};

inline std::vector<Call> g_calls;
inline void* g_partner_value = nullptr;  // what a bind reports; null: the partner never published

inline int32_t Q14_STDCALL publish(void* value, int32_t type, const char* name) {
    g_calls.push_back({"publish", name, value, type});
    return 1;
}
inline int32_t Q14_STDCALL bind(NamedValueRef* ref, const char* name) {
    g_calls.push_back({"bind", name, ref, 0});
    ref->value = g_partner_value;
    return 1;
}
inline int32_t Q14_STDCALL withdraw(const char* name) {
    g_calls.push_back({"withdraw", name, nullptr, 0});
    return 1;
}

inline PanelServices g_services = [] {
    PanelServices p{};
    p.publish_named_value = publish;
    p.bind_named_value = bind;
    p.withdraw_named_value = withdraw;
    return p;
}();

inline void set_panel_services(void* table) {
    for (ImportEntry& e : ImportTable.e)
        if (e.id == kTablePanelServices) e.table = table;
}

inline void install() {
    g_calls.clear();
    g_partner_value = nullptr;
    set_panel_services(&g_services);
}
inline void uninstall() { set_panel_services(nullptr); }

inline std::vector<std::string> names(const std::string& op) {
    std::vector<std::string> out;
    for (const Call& c : g_calls)
        if (c.op == op) out.push_back(c.name);
    return out;
}

}  // namespace fake_named
