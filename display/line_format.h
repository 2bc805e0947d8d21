// The line formats of the UVI display: a scaled integer value in, ten segment-font characters
// and a terminator out. "*" is the raised degree/hour mark, "'" the minute mark, "," the comma.
#pragma once

#include <cstdint>

// Every format a display line uses; the value each expects is its source times the scale.
enum LineFormat : uint8_t {
    kFormatLatitude,     // degrees x 10000: "  DD*MM,M'"
    kFormatLongitude,    // degrees x 10000: " DDD*MM,M'"
    kFormatAngle,        // degrees x 100, 0..360: "    DDD,D*"
    kFormatDistance,     // km x 100, sign on the icon: "    DDDD,D"
    kFormatSignedAngle6, // degrees x 100, sign on the icon: "     DDD,D" (S/Z page)
    kFormatSignedAngle7, // degrees x 100, sign on the icon: "    DDD,D*" (W/US page)
    kFormatSpeedW,       // km/h x 10: "      DDDD"
    kFormatClock,        // hours x 1000: "    HH*MM'"
    kFormatMinutes,      // minutes x 100: "     DDD,D"
    kFormatDirection,    // degrees x 10: "      DDD*"
    kFormatSpeedU,       // km/h x 10: "       DDD"
    kFormatStage,        // unscaled: "        DD"
};

inline constexpr int kLineChars = 10;

// Ten blanks and the terminator.
void blank_line(char* out);

// Lays out one line from a ten-character pattern: every 'D' takes the next character of
// `digits` in turn, every other character is copied. Writes ten characters and the terminator.
void layout_line(char* out, const char* pattern, const char* digits);

// Writes the line of scaled value v in format f and returns v after the format's steps
// (magnitude, carry, wrap or limit). A value at either end of the 32-bit range stands for a
// source too large to scale: formats with a limit show the limit, the others the blank line.
// A negative value in a format that shows no sign is brought into range (angles by one turn)
// or shown as 0.
int32_t format_line(LineFormat f, int32_t v, char* out);
