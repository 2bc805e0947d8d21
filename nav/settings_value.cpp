// Settings value conversion: the standard text-to-number reading, with the non-finite values
// replaced by the key's default.
#include "nav/settings_value.h"

#include <cmath>
#include <cstdlib>

#include "display/digits.h"
#include "frame/config_file.h"

double settings_number(const char* text, const char* default_text) {
    char buf[kSettingsValueSize];
    config_value_cut(text, buf, sizeof buf);
    const double v = std::strtod(buf, nullptr);
    return std::isfinite(v) ? v : std::strtod(default_text, nullptr);
}

int32_t settings_fault_value(double v) { return std::fabs(v) < 2147483647.0 ? trunc_to_i32(v) : 1; }
