// Display cycle (filled in by the display work).
#include "display/display_cycle.h"

void display_cycle(NavState&) {}
