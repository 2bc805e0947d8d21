// Settings of section "SYS": autopilot gains, bank time, vibration fault value and the
// calibration threshold, read with the standard text-to-number conversion.
#include "nav/settings.h"

#include "frame/config_file.h"
#include "nav/settings_value.h"

static double read_number(SettingsKey k) {
    char text[kSettingsValueSize];
    config_read("SYS", kSettingsKeys[k].key, kSettingsKeys[k].default_text, text, sizeof text);
    return settings_number(text, kSettingsKeys[k].default_text);
}

void settings_read(NavState& s) {
    s.kp = read_number(kSetKp);
    s.kd = read_number(kSetKd);
    s.bank_time = read_number(kSetBankTime);
    s.vibr_kontrol = settings_fault_value(read_number(kSetVibrKontrol));
    s.perc_pogr = read_number(kSetPercPogr);
}
