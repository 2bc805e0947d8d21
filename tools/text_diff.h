// A line diff of two texts for showing a change before it is made: lines removed "-", added
// "+", one line of context " " around each change, "@@ line N" where a stretch begins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// "" when the texts have the same lines.
std::string line_diff(const std::string& before, const std::string& after);
// The lines of a text without their ends ("\n" or "\r\n"); a final line end adds no empty line.
std::vector<std::string> split_lines(const std::string& text);
// The same as views into `text`.
std::vector<std::string_view> split_line_views(std::string_view text);
