// Heading steering for the simulator's autopilot.
#pragma once

#include "nav/state.h"

// The heading that makes good the leg course, turned against the deviation: H - pu_delta - Q,
// Q = (lbu_dif * kd + lbu_m * kp) / 1000 limited to +-60, wrapped once into 0..360.
double autopilot_heading(double h, double pu_delta, double lbu_m, double lbu_dif, double kp, double kd,
                         double* correction);
// One frame of the autopilot gauge.
void autopilot_frame(NavState& s);
