// Navigation computations (filled in by the navigation work).
#include "nav/navigation.h"

void navigation_step(NavState&) {}
void leg_switching_step(NavState&) {}
