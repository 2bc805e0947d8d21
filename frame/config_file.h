// Reads one key of the route and settings file "\gauges\q14_cfg\q14_ppm.cfg" below the
// simulator's directory, with the default when the file, the key or the path is missing.
#pragma once

#include <cstdint>

// Copies the value (or `fallback`) into `out`, cut to size - 1 characters.
void config_read(const char* section, const char* key, const char* fallback, char* out, uint32_t size);
