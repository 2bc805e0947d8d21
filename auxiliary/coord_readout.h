// Coordinate read-outs Koord_i (true position) and Koord_s (the unit's own position).
#pragma once

// 11-character text "N 55 45,756" (latitude) or "E037 37,616" (longitude): degrees, minutes
// and thousandths of a minute, rounded on the dropped ten-thousandth. `out` holds 16 bytes.
void format_coordinates(double x, bool longitude, char* out);
