// The keyboard hook: while the unit holds keyboard focus the PC numeric keypad, Enter and the
// minus and equals keys work the UVI keypad and wheel; their presses never reach the simulator.
#include "panels/keyboard.h"

#include "nav/state.h"
#include "panels/selectors.h"
#include "platform/platform.h"

// Carries out the command of a scan code; false when the code has none.
static bool keyboard_command(NavState& s, int scan) {
    switch (scan) {
        case 12: wheel_step(s, -1); break;
        case 13: wheel_step(s, +1); break;
        case 28: s.key_enter = 1; break;
        case 71: s.key_7 = 1; break;
        case 72: s.key_8 = 1; s.kbd_ns_swap = 1; break;
        case 73: s.key_9 = 1; break;
        case 74: s.key_reset = 1; break;
        case 75: s.key_4 = 1; break;
        case 76: s.key_5 = 1; break;
        case 77: s.key_6 = 1; break;
        case 78: s.key_ost_ind = 1; break;
        case 79: s.key_1 = 1; break;
        case 80: s.key_2 = 1; s.kbd_ns_swap = 1; break;
        case 81: s.key_3 = 1; break;
        case 82: s.key_0 = 1; break;
        case 83: s.key_route_change = 1; break;
        default: return false;
    }
    return true;
}

intptr_t Q14_STDCALL kbd_hook_proc(int code, uintptr_t key, intptr_t flags) {
    NavState& s = g_nav;
    uint32_t f = static_cast<uint32_t>(flags);
    bool released = (f >> 31) & 1;
    if (code < 0 || released || s.kbd_focus != 1) return plat_call_next_hook(s.hook_handle, code, key, flags);
    int repeat = static_cast<int>(f & 0xFFFF);
    int scan = static_cast<int>((f >> 16) & 0xFF);
    bool unit_key = scan == 12 || scan == 13 || scan == 28 || scan > 70;
    if (repeat >= 2) {
        if (unit_key) return 1;
        return plat_call_next_hook(s.hook_handle, code, key, flags);
    }
    if (keyboard_command(s, scan)) {
        s.kbd_focus_timer = s.kbd_focus_timeout;
        return 1;
    }
    if (scan > 70) return 1;
    return plat_call_next_hook(s.hook_handle, code, key, flags);
}
