// The display gauge Q14_UVI's per-frame cycle: page load, line formats, signs, then keypad
// entry, route load and copy, and (unit 1) the settings read.
#pragma once

#include "nav/state.h"

void display_cycle(NavState& s);
