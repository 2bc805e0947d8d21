// Unit 2: the navigator state saved beside every saved flight (".insb") and restored when the
// module starts with that flight loaded.
#pragma once

#include <cstdint>

#include "frame/records.h"
#include "nav/state.h"

// Host event callback; acts on event 38 (a flight was saved): arms save_countdown.
void Q14_STDCALL on_host_event(int32_t event, void* data, uint32_t a, uint32_t b);
// Write the state to "<current flight>.insb" / read it back. Both do nothing in a unit that
// does not keep flights, without a current flight, or when the file name would not fit.
void save_navigator_state(NavState& s);
void load_navigator_state(NavState& s);

// The longest state file name (characters, terminator not counted).
inline constexpr int kStateFileNameMax = 255;

// The record <-> state conversions of the save and the restore, apart from the file work.
// Filling writes the waypoint and field slots and the constant reserved slots of
// s.save_record; restoring reads them back, keeping any field whose slot holds no valid value.
void navigator_state_to_record(NavState& s);
void navigator_state_from_record(NavState& s);

