// Navigation computations of the system cycle: leg geometry, ground speed and track, drift,
// clock, time to go, ETA and wind; then the automatic leg change and the SMENA LZP lamp.
#pragma once

#include "nav/state.h"

// Geometry, clock, time to go and wind.
void navigation_step(NavState& s);
// Automatic leg change and the track-line-change lamp.
void leg_switching_step(NavState& s);
