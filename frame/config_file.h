// Reads one key of the route and settings file "\gauges\q14_cfg\q14_ppm.cfg" below the
// simulator's directory, with the default when the file, the key or the path is missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Copies the value (or `fallback`) into `out`, cut to size - 1 characters.
void config_read(const char* section, const char* key, const char* fallback, char* out, uint32_t size);

// `text` as the read hands it back into a buffer of `size` characters: at most size - 1 of
// them, terminated (null reads as empty). The pure readers of values cut the same way.
inline void config_value_cut(const char* text, char* out, std::size_t size) {
    std::size_t n = 0;
    if (text)
        while (n + 1 < size && text[n] != '\0') ++n;
    if (n) std::memcpy(out, text, n);
    out[n] = '\0';
}
