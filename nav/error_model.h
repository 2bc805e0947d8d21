// The unit's own present position: unit 2 adds a seeded drift to the true position, unit 1
// dead-reckons with calibrated scale factors. Also the engine-vibration monitor.
#pragma once

#include "nav/state.h"

// Unit 2, connect to window: seed the drift coefficients from the 18 Hz tick count.
void drift_seed(NavState& s, double tick_value);
// Unit 2, once a second (ticks divisible by 18): accumulate the drift.
void drift_second_step(NavState& s);
// Every cycle: the present position while ready.
void present_position_update(NavState& s);
// Unit 1, after the wind step: scale-factor calibration every 91 cycles.
void calibration_step(NavState& s);
// Unit 1, start of the cycle: copies for the debug read-out.
void debug_copies(NavState& s);
// Engine vibration during alignment (uses the previous cycle's stage).
void vibration_step(NavState& s);
