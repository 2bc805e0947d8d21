// The system gauge Q_14_SYS: the per-frame system cycle (power, warm-up, alignment,
// readiness, display hold, timing) and its host services.
#pragma once

#include "nav/state.h"

// Service 6: one system cycle.
void system_cycle(NavState& s);
// Service 14: the gauge is connected to its window.
void system_connect(NavState& s);
