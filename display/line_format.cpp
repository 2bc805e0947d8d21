// The line formats of the UVI display, all built from one pattern layout and the shared digit
// extraction; the arithmetic runs in 64 bits so carries and magnitudes never overflow.
#include "display/line_format.h"

#include "display/digits.h"

void blank_line(char* out) { layout_line(out, "          ", ""); }

void layout_line(char* out, const char* pattern, const char* digits) {
    // A short pattern or digit list leaves blanks; neither is read past its terminator.
    int p = 0, d = 0;
    for (int i = 0; i < kLineChars; ++i) {
        char c = pattern[p] ? pattern[p++] : ' ';
        if (c == 'D') c = digits[d] ? digits[d++] : ' ';
        out[i] = c;
    }
    out[kLineChars] = '\0';
}

// The last digit is dropped by the layout; a dropped 5..9 rounds the shown digits up.
static int64_t carry(int64_t v) { return v % 10 > 4 ? v + 10 : v; }

static int64_t magnitude(int64_t v) { return v < 0 ? -v : v; }

static int32_t clamp_i32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Either end of the 32-bit range: the source did not fit when it was scaled.
static bool saturated(int32_t v) { return v == INT32_MAX || v == INT32_MIN; }

enum Overflow : uint8_t { kNone, kLimit, kWrap };

// A format that shows consecutive digits of one value.
struct SimpleFormat {
    bool magnitude;     // the sign goes to the icon
    bool carry;
    bool angular;       // a negative value is one turn (`amount`) short of its place
    Overflow overflow;  // above `threshold`: limit to `amount`, or subtract `amount` once
    int64_t threshold;
    int64_t amount;
    const char* pattern;
    int top_weight;     // weight of the first digit shown
};

static const SimpleFormat* simple_format(LineFormat f) {
    static const SimpleFormat kAngle = {false, true, true, kWrap, 35999, 36000, "    DDD,D*", 4};
    static const SimpleFormat kDistance = {true, true, false, kLimit, 399899, 399900, "    DDDD,D", 5};
    static const SimpleFormat kSigned6 = {true, true, false, kLimit, 39899, 39900, "     DDD,D", 4};
    static const SimpleFormat kSigned7 = {true, true, false, kLimit, 39899, 39900, "    DDD,D*", 4};
    static const SimpleFormat kSpeedW = {false, true, false, kWrap, 39989, 39990, "      DDDD", 4};
    static const SimpleFormat kMinutes = {false, true, false, kWrap, 39989, 39990, "     DDD,D", 4};
    static const SimpleFormat kDirection = {false, true, true, kWrap, 3599, 3600, "      DDD*", 3};
    static const SimpleFormat kSpeedU = {false, true, false, kLimit, 3989, 3990, "       DDD", 3};
    static const SimpleFormat kStage = {false, false, false, kNone, 0, 0, "        DD", 1};
    switch (f) {
        case kFormatAngle: return &kAngle;
        case kFormatDistance: return &kDistance;
        case kFormatSignedAngle6: return &kSigned6;
        case kFormatSignedAngle7: return &kSigned7;
        case kFormatSpeedW: return &kSpeedW;
        case kFormatMinutes: return &kMinutes;
        case kFormatDirection: return &kDirection;
        case kFormatSpeedU: return &kSpeedU;
        case kFormatStage: return &kStage;
        default: return nullptr;
    }
}

static int32_t format_simple(const SimpleFormat& f, int32_t value, char* out) {
    // Without a limit no digits of a value that did not fit could be right.
    if (saturated(value) && f.overflow != kLimit) {
        blank_line(out);
        return value;
    }
    int64_t v = value;
    if (f.magnitude) v = magnitude(v);
    if (v < 0 && f.angular) v += f.amount;
    if (v < 0) v = 0;
    if (f.carry) v = carry(v);
    if (v > f.threshold) v = f.overflow == kLimit ? f.amount : f.overflow == kWrap ? v - f.amount : v;
    char digits[8] = {};
    for (int i = 0, k = f.top_weight; k >= (f.carry ? 1 : 0); ++i, --k) digits[i] = digit_char(v, k);
    layout_line(out, f.pattern, digits);
    return clamp_i32(v);
}

// Degrees x 10000 as degrees and minutes to a tenth; the minutes carry into the degrees.
static int32_t format_coordinate(bool longitude, int32_t value, char* out) {
    if (saturated(value)) {
        blank_line(out);
        return value;
    }
    int64_t v = magnitude(value);
    int64_t deg = v / 10000;
    int64_t m = carry(v % 10000 * 6 / 10);  // minutes x 100
    if (m > 5999) {
        m = 0;
        deg += 1;
        if (longitude && deg > 180) deg = 180;
    }
    if (longitude) {
        const char digits[] = {digit_char(deg, 2), digit_char(deg, 1), digit_char(deg, 0),
                               digit_char(m, 3),   digit_char(m, 2),   digit_char(m, 1), '\0'};
        layout_line(out, " DDD*DD,D'", digits);
    } else {
        const char digits[] = {digit_char(deg, 1), digit_char(deg, 0), digit_char(m, 3),
                               digit_char(m, 2),   digit_char(m, 1),   '\0'};
        layout_line(out, "  DD*DD,D'", digits);
    }
    return clamp_i32(v);
}

// Hours x 1000 as hours and whole minutes; the hours never pass 24 on a minute carry.
static int32_t format_clock(int32_t value, char* out) {
    if (saturated(value)) {
        blank_line(out);
        return value;
    }
    int64_t v = value < 0 ? 0 : value;
    int64_t h = v / 1000;
    int64_t m = carry(v % 1000 * 6 / 10);  // minutes x 10
    if (m > 599) {
        m = 0;
        h += 1;
        if (h > 24) h = 24;
    }
    const char digits[] = {digit_char(h, 1), digit_char(h, 0), digit_char(m, 2), digit_char(m, 1), '\0'};
    layout_line(out, "    DD*DD'", digits);
    return clamp_i32(v);
}

int32_t format_line(LineFormat f, int32_t v, char* out) {
    switch (f) {
        case kFormatLatitude: return format_coordinate(false, v, out);
        case kFormatLongitude: return format_coordinate(true, v, out);
        case kFormatClock: return format_clock(v, out);
        default: break;
    }
    const SimpleFormat* simple = simple_format(f);
    if (!simple) {
        blank_line(out);
        return v;
    }
    return format_simple(*simple, v, out);
}
