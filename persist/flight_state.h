// Unit 2: the navigator state saved beside every saved flight (".insb") and restored when the
// module starts with that flight loaded.
#pragma once

#include <cstdint>

#include "frame/records.h"
#include "nav/state.h"

// Host event callback; acts on event 38 (a flight was saved).
void Q14_STDCALL on_host_event(int32_t event, void* data, uint32_t a, uint32_t b);
void save_navigator_state(NavState& s);
void load_navigator_state(NavState& s);
