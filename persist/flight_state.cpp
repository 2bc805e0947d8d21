// Flight-state persistence (filled in by the persistence work).
#include "persist/flight_state.h"

void Q14_STDCALL on_host_event(int32_t, void*, uint32_t, uint32_t) {}
void save_navigator_state(NavState&) {}
void load_navigator_state(NavState&) {}
