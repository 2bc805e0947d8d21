// Keypad data entry: turns key latches into entries, collects digits, commits on VVOD,
// cancels on SBROS and builds the entry texts.
#pragma once

#include "nav/state.h"

void keypad_entry(NavState& s);
