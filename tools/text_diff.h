// A line diff of two texts for showing a change before it is made: lines removed "-", added
// "+", one line of context " " around each change, "@@ line N" where a stretch begins.
#pragma once

#include <string>

// "" when the texts have the same lines.
std::string line_diff(const std::string& before, const std::string& after);
