// Error model (filled in by the navigation work).
#include "nav/error_model.h"

void drift_seed(NavState&, double) {}
void drift_second_step(NavState&) {}
void present_position_update(NavState&) {}
void calibration_step(NavState&) {}
void debug_copies(NavState&) {}
void vibration_step(NavState&) {}
