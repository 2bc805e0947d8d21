// Reading numbers back from what the panels show: the coordinate read-out texts and the
// segment lines of the UVI display, as the pilot would read them.
#pragma once

#include <string>

// A Koord_i/Koord_s text: "N 55 45,756" (latitude) or "E037 37,616" (longitude), degrees and
// minutes to the thousandth. False for any other text (empty, hidden, damaged).
bool parse_koord_text(const std::string& text, bool longitude, double& degrees);
// A UVI number line such as "    3999,0", "      0450" or "    096,3*": the digits with the
// decimal comma, trailing degree or minute mark ignored. False for a blank or other line.
bool parse_display_number(const std::string& text, double& value);
// A UVI coordinate line such as "  55*45,3'" or " 037*36,2'", with the hemisphere from the
// sign frame beside it (1 north/east, 2 south/west). False when blank or not a coordinate.
bool parse_display_coordinate(const std::string& text, int sign_frame, double& degrees);
// A sign icon's frame as the element returned it: 0..5, or -1 for anything else.
int sign_frame_of(double value);
