// Settings of section "SYS": autopilot gains, bank time, vibration fault value and the
// calibration threshold, read with the standard text-to-number conversion.
#include "nav/settings.h"

#include <cmath>
#include <cstdlib>

#include "display/digits.h"
#include "frame/config_file.h"

// The key's number; text that is not a number gives 0 as the standard conversion does, but a
// value no double holds ("1e999", "inf", "nan") would carry infinity or NaN into the turn lead
// and the autopilot, so it counts as the default.
static double read_number(const char* key, const char* fallback) {
    char text[16];
    config_read("SYS", key, fallback, text, sizeof text);
    double v = std::strtod(text, nullptr);
    return std::isfinite(v) ? v : std::strtod(fallback, nullptr);
}

void settings_read(NavState& s) {
    s.kp = read_number("q14_kp", "60");
    s.kd = read_number("q14_kd", "100");
    s.bank_time = read_number("q14_bank_time", "3.5");
    // Truncated toward zero; a value no integer holds counts as a fault value of 1.
    double v = read_number("vibr_kontrol", "1");
    s.vibr_kontrol = std::fabs(v) < 2147483647.0 ? trunc_to_i32(v) : 1;
    s.perc_pogr = read_number("perc_pogr", "0.23");
}
