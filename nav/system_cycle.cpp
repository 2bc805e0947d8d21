// The system cycle of Q_14_SYS (filled in by the system-cycle work).
#include "nav/system_cycle.h"

void system_cycle(NavState&) {}
void system_connect(NavState& s) {
    s.route_reload_request = 1;
    s.settings_reload_request = 1;
}
