// Keypad entry (filled in by the entry work).
#include "display/keypad_entry.h"

void keypad_entry(NavState&) {}
