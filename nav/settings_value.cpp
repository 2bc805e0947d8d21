// Settings value conversion: the standard text-to-number reading, with the non-finite values
// replaced by the key's default.
#include "nav/settings_value.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "display/digits.h"

double settings_number(const char* text, const char* default_text) {
    char buf[kSettingsValueSize];
    std::size_t n = 0;
    if (text) {
        while (n < sizeof buf - 1 && text[n] != '\0') ++n;
        std::memcpy(buf, text, n);
    }
    buf[n] = '\0';
    const double v = std::strtod(buf, nullptr);
    return std::isfinite(v) ? v : std::strtod(default_text, nullptr);
}

int32_t settings_fault_value(double v) { return std::fabs(v) < 2147483647.0 ? trunc_to_i32(v) : 1; }
