// Publishing, binding and withdrawing the unit's named variables, and the keyboard-focus
// arbitration with the other unit.
#include "nav/named_vars.h"

#include "frame/host_api.h"
#include "frame/unit_profile.h"

void named_publish(NavState& s) {
    host_publish_named_value(&s.lbu_var, kNamedDouble, kUnit.name_lbu);
    host_publish_named_value(&s.lbu_dif_var, kNamedDouble, kUnit.name_lbu_dif);
    host_publish_named_value(&s.got_var, kNamedInt, kUnit.name_got);
    host_publish_named_value(&s.pu_delta_var, kNamedDouble, kUnit.name_pu_delta);
    host_publish_named_value(&s.kbd_focus, kNamedInt, kUnit.name_hook);
    host_publish_named_value(&s.ost_ind, kNamedInt, kUnit.name_ost_ind);
}

// Bound once per initialisation: a partner loaded later stays unseen until this unit's system
// gauge is initialised again.
void named_bind(NavState& s) {
    host_bind_named_value(s.other_hook_ref, kUnit.partner_hook);
    s.partner_found_at_init = s.other_hook_ref.value != nullptr;
}

void named_withdraw(NavState&) {
    for (const char* name : kUnit.withdraw) host_withdraw_named_value(name);
}

// The simulator unloads a module without telling the other one, and an address bound once would
// then lead into the freed module. So while the binding at initialisation found the partner, it
// is made again every cycle just before it is read: a partner gone reads as no focus, a partner
// loaded again is seen again. A unit that found no partner then stays blind to it, as before.
void focus_arbitration_start(NavState& s) {
    if (s.partner_found_at_init) host_bind_named_value(s.other_hook_ref, kUnit.partner_hook);
    const int32_t* partner = static_cast<const int32_t*>(s.other_hook_ref.value);
    s.other_kbd_focus = partner ? *partner : 0;
    if (s.other_kbd_focus > s.other_kbd_focus_prev) {
        s.kbd_focus = 0;
        s.kbd_focus_timer = 0;
    }
    s.other_kbd_focus_prev = s.other_kbd_focus;
}

// The lapse check stands on its own: a focus left at 1 with a spent timer also ends here.
void focus_arbitration_end(NavState& s) {
    if (s.kbd_focus_timer > 0) --s.kbd_focus_timer;
    if (s.kbd_focus_timer < 1) s.kbd_focus = 0;
    s.kbd_focus_shown = s.kbd_focus;
}
