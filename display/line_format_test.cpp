// Tests of the UVI line formats: the pilot-visible texts of real values, the carries, wraps and
// limits, and values no source should produce (huge, negative, beyond 32 bits).
#include "display/line_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "display/digits.h"

namespace {

struct Case {
    LineFormat format;
    double source;
    double scale;
    const char* text;
};

std::string show(LineFormat f, double source, double scale) {
    char out[16];
    std::memset(out, 'X', sizeof out);
    format_line(f, trunc_to_i32(source * scale), out);
    EXPECT_EQ(out[kLineChars], '\0');
    EXPECT_EQ(out[kLineChars + 1], 'X') << "wrote past the terminator";
    return out;
}

const double kInf = std::numeric_limits<double>::infinity();

const Case kCases[] = {
    // Latitude: degrees, minutes to a tenth; the sign goes to the icon.
    {kFormatLatitude, 55.7558, 1e4, "  55*45,3'"},
    {kFormatLatitude, -33.5, 1e4, "  33*30,0'"},
    {kFormatLatitude, 10.99999, 1e4, "  11*00,0'"},  // minutes carry into the degrees
    {kFormatLatitude, 89.99, 1e4, "  89*59,4'"},
    {kFormatLatitude, 0.0, 1e4, "  00*00,0'"},
    {kFormatLatitude, 1e12, 1e4, "          "},      // beyond 32 bits: no digits are right
    {kFormatLatitude, -kInf, 1e4, "          "},
    // Longitude: three degree digits, never past 180 on a minute carry.
    {kFormatLongitude, 179.99999, 1e4, " 180*00,0'"},
    {kFormatLongitude, 180.99999, 1e4, " 180*00,0'"},
    {kFormatLongitude, -70.25, 1e4, " 070*15,0'"},
    {kFormatLongitude, 37.6033333, 1e4, " 037*36,2'"},
    // Angle 0..360 to a tenth; the carry to 360.0 wraps to 0.
    {kFormatAngle, 359.96, 100, "    000,0*"},
    {kFormatAngle, 359.94, 100, "    359,9*"},
    {kFormatAngle, 123.45, 100, "    123,5*"},
    {kFormatAngle, 400.0, 100, "    040,0*"},        // one turn off only
    {kFormatAngle, -5.0, 100, "    355,0*"},        // a negative angle is one turn short
    {kFormatAngle, -0.01, 100, "    000,0*"},
    {kFormatAngle, -800.0, 100, "    000,0*"},      // more than a turn below: shown as 0
    {kFormatAngle, kInf, 100, "          "},
    // Distance S: limited to 3999.0 km.
    {kFormatDistance, 5000.0, 100, "    3999,0"},
    {kFormatDistance, 3998.95, 100, "    3999,0"},
    {kFormatDistance, 12.34, 100, "    0012,3"},
    {kFormatDistance, -12.34, 100, "    0012,3"},
    {kFormatDistance, 1e12, 100, "    3999,0"},
    {kFormatDistance, -kInf, 100, "    3999,0"},
    // Signed angles (cross-track km on S/Z, drift degrees on W/US): limited to 399.0.
    {kFormatSignedAngle6, -12.34, 100, "     012,3"},
    {kFormatSignedAngle6, 500.0, 100, "     399,0"},
    {kFormatSignedAngle6, -1e12, 100, "     399,0"},
    {kFormatSignedAngle7, -12.34, 100, "    012,3*"},
    {kFormatSignedAngle7, 7.96, 100, "    008,0*"},
    // Speed W: whole km/h, rounded on the tenth.
    {kFormatSpeedW, 450.4, 10, "      0450"},
    {kFormatSpeedW, 450.5, 10, "      0451"},
    {kFormatSpeedW, 3999.0, 10, "      0000"},   // rolls over past 3998.9
    {kFormatSpeedW, -5.0, 10, "      0000"},
    {kFormatSpeedW, 1e12, 10, "          "},
    // Clock: hours and minutes, hours limited to 24 on the carry.
    {kFormatClock, 23.999, 1000, "    24*00'"},
    {kFormatClock, 24.999, 1000, "    24*00'"},
    {kFormatClock, 14.5, 1000, "    14*30'"},
    {kFormatClock, 12.25, 1000, "    12*15'"},
    {kFormatClock, -0.5, 1000, "    00*00'"},    // a negative clock is not a time: shown as 0
    {kFormatClock, 1e12, 1000, "          "},
    // Minutes t to a tenth.
    {kFormatMinutes, 12.34, 100, "     012,3"},
    {kFormatMinutes, 399.96, 100, "     000,1"},  // rolls over past 399.89
    {kFormatMinutes, -3.0, 100, "     000,0"},
    // Wind direction and speed.
    {kFormatDirection, 359.96, 10, "      000*"},
    {kFormatDirection, 270.0, 10, "      270*"},
    {kFormatDirection, -90.0, 10, "      270*"},
    {kFormatSpeedU, 45.0, 10, "       045"},
    {kFormatSpeedU, 398.95, 10, "       399"},
    {kFormatSpeedU, 1e12, 10, "       399"},
    // Alignment stage, unscaled.
    {kFormatStage, 90, 1, "        90"},
    {kFormatStage, 7, 1, "        07"},
    {kFormatStage, -3, 1, "        00"},
    {kFormatStage, 2147483647.0, 1, "          "},
};

TEST(LineFormat, ShowsEachValueAsThePilotReadsIt) {
    for (const Case& c : kCases)
        EXPECT_EQ(show(c.format, c.source, c.scale), c.text) << "format " << int(c.format) << " source " << c.source;
}

TEST(LineFormat, ReturnsTheValueAfterItsSteps) {
    char out[16];
    EXPECT_EQ(format_line(kFormatDistance, -1234, out), 1234);         // magnitude
    EXPECT_EQ(format_line(kFormatDistance, 500000, out), 399900);      // limit
    EXPECT_EQ(format_line(kFormatAngle, 35996, out), 6);               // carry, then wrap
    EXPECT_EQ(format_line(kFormatSpeedW, 4505, out), 4515);            // carry
    EXPECT_EQ(format_line(kFormatSpeedU, INT32_MAX, out), 3990);       // limit without overflow
    EXPECT_EQ(format_line(kFormatSignedAngle6, INT32_MIN, out), 39900);
}

// Whatever the value, a line is ten characters of the segment font and a terminator.
TEST(LineFormat, EveryValueGivesTenFontCharacters) {
    const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -2000000000, -36001, -36000, -1, 0, 1, 9, 10, 35999,
                              36000, 399899, 399900, 1809999, 99999999, 2000000000, INT32_MAX - 10, INT32_MAX - 1,
                              INT32_MAX};
    for (int f = kFormatLatitude; f <= kFormatStage; ++f) {
        for (int32_t v : values) {
            char out[32];
            std::memset(out, 'X', sizeof out);
            format_line(static_cast<LineFormat>(f), v, out);
            ASSERT_EQ(std::strlen(out), 10u) << "format " << f << " value " << v;
            EXPECT_EQ(std::strspn(out, " 0123456789*',"), 10u) << "format " << f << " value " << v << ": " << out;
        }
    }
}

TEST(LineFormat, LayoutFillsPatternAndPadsShortInput) {
    char out[16];
    layout_line(out, "  DD*DD,D'", "12345");
    EXPECT_STREQ(out, "  12*34,5'");
    layout_line(out, "DDD", "12");  // short pattern, too few digits: blanks, never a read past either
    EXPECT_STREQ(out, "12        ");
    blank_line(out);
    EXPECT_STREQ(out, "          ");
}

TEST(Digits, NegativeValuesGiveDigitsOfTheMagnitude) {
    const struct {
        int64_t v;
        int k;
        int digit;
    } cases[] = {
        {1234, 0, 4}, {1234, 3, 1}, {1234, 4, 0}, {-1234, 0, 4}, {-1234, 2, 2},
        {INT64_MIN, 18, 9}, {INT64_MAX, 0, 7}, {5, 19, 0}, {5, -1, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(digit_at(c.v, c.k), c.digit) << c.v << " weight " << c.k;
    EXPECT_EQ(digit_char(-7, 0), '7');
}

TEST(Digits, ScalingSaturatesAndNaNGivesZero) {
    EXPECT_EQ(trunc_to_i32(1e12 * 100), INT32_MAX);
    EXPECT_EQ(trunc_to_i32(-std::numeric_limits<double>::infinity()), INT32_MIN);
    EXPECT_EQ(trunc_to_i32(std::nan("")), 0);
    EXPECT_EQ(trunc_to_i32(-12.9), -12);
}

}  // namespace
