// Selector steps shared by the mouse areas and the keyboard: one step per command, stopping at
// the ends without wrapping.
#pragma once

#include "nav/state.h"

// Waypoint wheel 0..9; the display cycle reads it through ppm_select.
inline void wheel_step(NavState& s, int step) {
    int w = s.ppm_wheel + step;
    if (w < 0) w = 0;
    if (w > 9) w = 9;
    s.ppm_wheel = static_cast<int8_t>(w);
    s.ppm_select = static_cast<uint8_t>(w);
}
