// Reader of the panel bitmaps: uncompressed Windows BMP files of 4, 8 or 24 bits per pixel,
// decoded field by field into plain RGB pixels, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BmpImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;  // 0x00RRGGBB, row by row from the top
};

// Largest width or height accepted; the panels' own bitmaps are far below it.
constexpr int kBmpMaxSide = 8192;

// Decodes a whole BMP file held in memory. On failure `error` says what is wrong and `out`
// is left empty.
bool bmp_decode(const uint8_t* data, size_t size, BmpImage& out, std::string& error);
// Reads and decodes a file; the error names the file.
bool bmp_load(const std::string& path, BmpImage& out, std::string& error);
