// Keypad data entry: turns key latches into entries, collects digits, commits on VVOD,
// cancels on SBROS and builds the entry texts.
#pragma once

#include "nav/state.h"

// One pass, once per display cycle after the page texts: consumes the digit, VVOD, SBROS and
// IZM MARSH latches (OST INDIK is left for the system cycle), writes the entries into the
// route, start, present position, clock and airspeed, and sets the entry texts, signs and lamps.
void keypad_entry(NavState& s);
