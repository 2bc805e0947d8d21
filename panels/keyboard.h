// PC keyboard commands while the unit holds keyboard focus: a Win32 keyboard hook.
#pragma once

#include <cstdint>

#include "frame/records.h"

intptr_t Q14_STDCALL kbd_hook_proc(int code, uintptr_t key, intptr_t flags);
