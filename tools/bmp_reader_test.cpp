// Tests of the BMP reader: the three depths with their row padding, bottom-up and top-down
// rows, the shipped panel bitmaps, and damaged files refused without reading past the end.
#include <gtest/gtest.h>

#include <cstring>

#include "tools/bmp_reader.h"

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = (v >> (8 * i)) & 0xFF;
}

// A BMP file of w x h pixels given as palette indices (4, 8 bit) or 0xRRGGBB (24 bit), top row
// first in `px`; stored bottom-up unless `top_down`.
std::vector<uint8_t> make_bmp(int w, int h, int bits, const std::vector<uint32_t>& px, const std::vector<uint32_t>& palette,
                              bool top_down = false) {
    size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    size_t offset = 14 + 40 + 4 * palette.size();
    std::vector<uint8_t> b(offset + stride * static_cast<size_t>(h), 0);
    b[0] = 'B', b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 10, static_cast<uint32_t>(offset));
    put32(b, 14, 40);
    put32(b, 18, static_cast<uint32_t>(w));
    put32(b, 22, static_cast<uint32_t>(top_down ? -h : h));
    put16(b, 26, 1);
    put16(b, 28, static_cast<uint16_t>(bits));
    put32(b, 46, static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) put32(b, 54 + 4 * i, palette[i]);  // 0x00RRGGBB is B,G,R,0
    for (int y = 0; y < h; ++y) {
        size_t row = offset + stride * static_cast<size_t>(top_down ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint32_t v = px[static_cast<size_t>(y * w + x)];
            if (bits == 24) {
                b[row + 3 * x] = v & 0xFF, b[row + 3 * x + 1] = (v >> 8) & 0xFF, b[row + 3 * x + 2] = (v >> 16) & 0xFF;
            } else if (bits == 8) {
                b[row + x] = static_cast<uint8_t>(v);
            } else {
                b[row + x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? v << 4 : v);
            }
        }
    }
    return b;
}

TEST(BmpReader, DecodesEveryDepthBothRowOrdersAndOddWidths) {
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    // 3 x 2 pixels: odd width, so every depth has row padding.
    const std::vector<uint32_t> indices = {1, 2, 3, 4, 0, 1};
    std::vector<uint32_t> rgb;
    for (uint32_t i : indices) rgb.push_back(palette[i]);
    struct Case {
        int bits;
        bool top_down;
    } cases[] = {{4, false}, {4, true}, {8, false}, {8, true}, {24, false}, {24, true}};
    for (const Case& c : cases) {
        std::vector<uint8_t> file = c.bits == 24 ? make_bmp(3, 2, 24, rgb, {}, c.top_down)
                                                 : make_bmp(3, 2, c.bits, indices, palette, c.top_down);
        BmpImage img;
        std::string error;
        ASSERT_TRUE(bmp_decode(file.data(), file.size(), img, error)) << c.bits << ": " << error;
        EXPECT_EQ(img.width, 3);
        EXPECT_EQ(img.height, 2);
        EXPECT_EQ(img.rgb, rgb) << c.bits << " bits, top-down " << c.top_down;
    }
}

TEST(BmpReader, DamagedFilesAreRefused) {
    const std::vector<uint32_t> palette = {0x000000, 0xFFFFFF};
    std::vector<uint8_t> good = make_bmp(4, 4, 8, std::vector<uint32_t>(16, 1), palette);
    struct Case {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
    } cases[] = {
        {"signature", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
        {"cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 3); }},
        {"header only", [](std::vector<uint8_t>& b) { b.resize(20); }},
        {"pixels beyond the end", [](std::vector<uint8_t>& b) { put32(b, 10, 0xFFFFFFF0u); }},
        {"palette index", [](std::vector<uint8_t>& b) { b.back() = 7; }},
        {"16 bits", [](std::vector<uint8_t>& b) { put16(b, 28, 16); }},
        {"compressed", [](std::vector<uint8_t>& b) { put32(b, 30, 1); }},
        {"zero width", [](std::vector<uint8_t>& b) { put32(b, 18, 0); }},
        {"huge height", [](std::vector<uint8_t>& b) { put32(b, 22, 0x80000000u); }},
        {"palette too big", [](std::vector<uint8_t>& b) { put32(b, 46, 300); }},
        {"info header size", [](std::vector<uint8_t>& b) { put32(b, 14, 12); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad);
        BmpImage img;
        std::string error;
        EXPECT_FALSE(bmp_decode(bad.data(), bad.size(), img, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(img.rgb.empty()) << c.what;
    }
}

TEST(BmpReader, ReadsTheShippedPanelBitmaps) {
    struct Case {
        int id, w, h;
    } cases[] = {{4128, 383, 514}, {4256, 21, 20}, {4224, 18, 19}, {4784, 120, 45}};  // 8, 4, 24, 24 bits
    for (const Case& c : cases) {
        BmpImage img;
        std::string error;
        ASSERT_TRUE(bmp_load(std::string(Q14_SOURCE_DIR) + "/res/bmp/" + std::to_string(c.id) + ".bmp", img, error)) << error;
        EXPECT_EQ(img.width, c.w);
        EXPECT_EQ(img.height, c.h);
    }
    BmpImage img;
    std::string error;
    EXPECT_FALSE(bmp_load("/nonexistent/4096.bmp", img, error));
    EXPECT_NE(error.find("/nonexistent/4096.bmp"), std::string::npos);
}

}  // namespace
