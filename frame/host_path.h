// Paths below the simulator's installation directory.
#pragma once

#include <cstddef>

inline constexpr size_t kHostPathSize = 260;   // 259 characters and the terminator
inline constexpr const char* kConfigRelPath = "\\gauges\\q14_cfg\\q14_ppm.cfg";

// Drive and directory of the running simulator's executable followed directly by `rel`
// (which begins with a backslash). Writes into `out` (kHostPathSize bytes) and returns true;
// when the joined path would not fit, writes an empty text and returns false, so callers
// treat it as a file that does not exist.
bool build_host_path(const char* rel, char* out);
