// Reading numbers back from the panel texts: fixed layouts checked character by character,
// so a text that is not what the layout says is refused rather than misread.
#include "tools/readout.h"

#include <cctype>
#include <cmath>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Digits text[b..e) as a number; false unless every one is a digit.
bool digits(const std::string& text, size_t b, size_t e, int& out) {
    out = 0;
    if (e > text.size() || b >= e) return false;
    for (size_t i = b; i < e; ++i) {
        if (!is_digit(text[i])) return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

bool parse_koord_text(const std::string& text, bool longitude, double& degrees) {
    if (text.size() != 11) return false;
    char h = text[0];
    int d = 0, m = 0, t = 0;
    bool ok = longitude ? (h == 'E' || h == 'W') && digits(text, 1, 4, d)
                        : (h == 'N' || h == 'S') && text[1] == ' ' && digits(text, 2, 4, d);
    ok = ok && text[4] == ' ' && digits(text, 5, 7, m) && text[7] == ',' && digits(text, 8, 11, t);
    if (!ok || m > 59) return false;
    double v = d + (m + t / 1000.0) / 60.0;
    degrees = (h == 'S' || h == 'W') ? -v : v;
    return true;
}

bool parse_display_number(const std::string& text, double& value) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '*' || text[e - 1] == '\'')) --e;
    if (b == e) return false;
    double whole = 0, frac = 0, scale = 1;
    bool comma = false, any = false;
    for (size_t i = b; i < e; ++i) {
        char c = text[i];
        if (c == ',' && !comma) {
            comma = true;
            continue;
        }
        if (!is_digit(c)) return false;
        any = true;
        if (comma) {
            scale /= 10;
            frac += (c - '0') * scale;
        } else {
            whole = whole * 10 + (c - '0');
        }
    }
    if (!any) return false;
    value = whole + frac;
    return true;
}

bool parse_display_coordinate(const std::string& text, int sign_frame, double& degrees) {
    // Degrees end at the '*' mark; minutes are "MM,M" followed by the minute mark.
    size_t star = text.find('*');
    if (star == std::string::npos || text.size() != star + 6) return false;
    size_t b = 0;
    while (b < star && text[b] == ' ') ++b;
    int d = 0, m = 0, t = 0;
    if (!digits(text, b, star, d) || !digits(text, star + 1, star + 3, m) || text[star + 3] != ',' ||
        !digits(text, star + 4, star + 5, t) || text[star + 5] != '\'')
        return false;
    if (sign_frame != 1 && sign_frame != 2) return false;
    double v = d + (m + t / 10.0) / 60.0;
    degrees = sign_frame == 2 ? -v : v;
    return true;
}

int sign_frame_of(double value) {
    if (!(value >= 0 && value <= 5)) return -1;
    double r = std::floor(value);
    return r == value ? static_cast<int>(r) : -1;
}
