// The values a unit shares with the other unit and other gauges through the host's named
// variables, and the keyboard-focus arbitration between the two units.
#pragma once

#include "nav/state.h"

void named_publish(NavState& s);   // service 2
void named_bind(NavState& s);      // service 4
void named_withdraw(NavState& s);  // service 12
// Start of every system cycle: bind the partner's HOOK afresh if the binding at initialisation
// found it, then drop the focus when the partner has just taken it.
void focus_arbitration_start(NavState& s);
// End of every system cycle: the focus time-out.
void focus_arbitration_end(NavState& s);
