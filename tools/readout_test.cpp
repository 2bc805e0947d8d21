// Tests of reading numbers back from the panel texts: the coordinate read-outs and the UVI
// lines, including every kind of text that must be refused rather than misread.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/readout.h"

namespace {

TEST(Readout, KoordTextsGiveSignedDegrees) {
    struct Case {
        const char* text;
        bool lon;
        double deg;
    } cases[] = {
        {"N 55 45,756", false, 55 + 45.756 / 60},
        {"S 33 30,000", false, -33.5},
        {"E037 37,616", true, 37 + 37.616 / 60},
        {"W000 30,000", true, -0.5},
        {"W179 59,999", true, -(179 + 59.999 / 60)},
    };
    for (const Case& c : cases) {
        double d = 0;
        ASSERT_TRUE(parse_koord_text(c.text, c.lon, d)) << c.text;
        EXPECT_NEAR(d, c.deg, 1e-12) << c.text;
    }
    for (auto [text, lon] : {std::pair<const char*, bool>{"", false}, {"N 55 45,756", true}, {"E037 37,616", false},
                             {"N 55 45.756", false}, {"N 55 60,000", false}, {"N 55 45,75", false},
                             {"N 5x 45,756", false}, {"X 55 45,756", false}}) {
        double d = 0;
        EXPECT_FALSE(parse_koord_text(text, lon, d)) << text;
    }
}

TEST(Readout, UviNumberLines) {
    struct Case {
        const char* text;
        double v;
    } cases[] = {{"    3999,0", 3999.0}, {"      0450", 450}, {"    096,3*", 96.3}, {"     012,3", 12.3},
                 {"    24*00'", -1}, {"          ", -1}, {"  88888888", 88888888}, {"LAT PPM 25", -1}, {"1,2,3", -1}};
    for (const Case& c : cases) {
        double v = 0;
        bool ok = parse_display_number(c.text, v);
        EXPECT_EQ(ok, c.v >= 0) << c.text;
        if (ok) {
            EXPECT_DOUBLE_EQ(v, c.v) << c.text;
        }
    }
}

TEST(Readout, UviCoordinateLinesTakeTheirHemisphereFromTheSign) {
    double d = 0;
    ASSERT_TRUE(parse_display_coordinate("  55*45,3'", 1, d));
    EXPECT_NEAR(d, 55 + 45.3 / 60, 1e-12);
    ASSERT_TRUE(parse_display_coordinate(" 037*36,2'", 2, d));
    EXPECT_NEAR(d, -(37 + 36.2 / 60), 1e-12);
    EXPECT_FALSE(parse_display_coordinate("  55*45,3'", 0, d));  // no hemisphere shown
    EXPECT_FALSE(parse_display_coordinate("  55*45,3'", 3, d));
    EXPECT_FALSE(parse_display_coordinate("          ", 1, d));
    EXPECT_FALSE(parse_display_coordinate("  55*45,3 ", 1, d));
    EXPECT_FALSE(parse_display_coordinate("    24*00'", 1, d));
    EXPECT_EQ(sign_frame_of(4.0), 4);
    EXPECT_EQ(sign_frame_of(-1.0), -1);
    EXPECT_EQ(sign_frame_of(2.5), -1);
    EXPECT_EQ(sign_frame_of(std::nan("")), -1);
}

}  // namespace
