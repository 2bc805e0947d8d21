// Settings of section "SYS": autopilot gains, bank time, vibration fault value and the
// calibration threshold, read with the standard text-to-number conversion.
#include "nav/settings.h"

#include <cmath>
#include <cstdlib>

#include "frame/config_file.h"

static double read_number(const char* key, const char* fallback) {
    char text[16];
    config_read("SYS", key, fallback, text, sizeof text);
    return std::strtod(text, nullptr);
}

void settings_read(NavState& s) {
    s.kp = read_number("q14_kp", "60");
    s.kd = read_number("q14_kd", "100");
    s.bank_time = read_number("q14_bank_time", "3.5");
    // Truncated toward zero; a value no integer holds (or NaN) counts as a fault value of 1.
    double v = read_number("vibr_kontrol", "1");
    s.vibr_kontrol = std::isfinite(v) && std::fabs(v) < 2147483647.0 ? static_cast<int32_t>(v) : 1;
    s.perc_pogr = read_number("perc_pogr", "0.23");
}
