// Settings of section "SYS" of the route and settings file.
#pragma once

#include "nav/state.h"

// Reads the five keys (defaults when the file or a key is missing).
void settings_read(NavState& s);
