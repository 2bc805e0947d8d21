// The module's navigator state, built at load time from the initial values of the record
// and the unit's debug start values.
#include "nav/state.h"

#include "frame/unit_profile.h"

static constexpr NavState load_state() {
    NavState s{};
    s.dbg_err_north_pct = kUnit.debug_start[0];
    s.dbg_err_east_pct = kUnit.debug_start[1];
    s.dbg_scale_north = kUnit.debug_start[2];
    s.dbg_scale_east = kUnit.debug_start[3];
    return s;
}

constinit NavState g_nav = load_state();

void nav_state_reset_to_load(NavState& s) { s = load_state(); }
