// Reader of the panel bitmaps: the file header, the info header, the palette and the pixel
// rows of an uncompressed BMP, each field read at its own offset, little-endian.
#include "tools/bmp_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
int32_t i32(const uint8_t* p) { return static_cast<int32_t>(u32(p)); }

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;  // BITMAPINFOHEADER; the V4 and V5 headers begin with it

bool fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

}  // namespace

bool bmp_decode(const uint8_t* data, size_t size, BmpImage& out, std::string& error) {
    out = BmpImage{};
    if (!data || size < kFileHeader + kInfoHeader) return fail(error, "too short for a BMP file");
    if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a BMP file (no 'BM' signature)");
    uint32_t pixel_offset = u32(data + 10);
    const uint8_t* info = data + kFileHeader;
    uint32_t info_size = u32(info);
    if (info_size < kInfoHeader || info_size > size - kFileHeader)
        return fail(error, "unsupported info header of " + std::to_string(info_size) + " bytes");
    int32_t width = i32(info + 4);
    int32_t height = i32(info + 8);
    uint16_t planes = u16(info + 12);
    uint16_t bits = u16(info + 14);
    uint32_t compression = u32(info + 16);
    uint32_t colours_used = u32(info + 32);
    if (planes != 1) return fail(error, "planes is " + std::to_string(planes) + ", not 1");
    if (bits != 4 && bits != 8 && bits != 24)
        return fail(error, std::to_string(bits) + " bits per pixel (only 4, 8 and 24 are read)");
    if (compression != 0) return fail(error, "compressed pixel data (only uncompressed is read)");
    bool top_down = height < 0;
    // The magnitude of INT32_MIN does not fit; it is far beyond the limit anyway.
    int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    if (width <= 0 || rows == 0 || width > kBmpMaxSide || rows > kBmpMaxSide)
        return fail(error, "size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");

    std::vector<uint32_t> palette;
    if (bits <= 8) {
        uint32_t max_colours = 1u << bits;
        uint32_t n = colours_used == 0 ? max_colours : colours_used;
        if (n > max_colours) return fail(error, std::to_string(n) + " palette colours for " + std::to_string(bits) + " bits");
        size_t at = kFileHeader + info_size;
        if (at + 4u * n > size) return fail(error, "palette runs past the end of the file");
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t* q = data + at + 4u * i;  // blue, green, red, reserved
            palette.push_back((static_cast<uint32_t>(q[2]) << 16) | (static_cast<uint32_t>(q[1]) << 8) | q[0]);
        }
    }

    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (pixel_offset > size || stride * static_cast<size_t>(rows) > size - pixel_offset)
        return fail(error, "pixel rows run past the end of the file");

    out.width = width;
    out.height = static_cast<int>(rows);
    out.rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(rows), 0);
    for (int64_t r = 0; r < rows; ++r) {
        // Rows are stored bottom-up unless the height is negative.
        int64_t y = top_down ? r : rows - 1 - r;
        const uint8_t* row = data + pixel_offset + stride * static_cast<size_t>(r);
        uint32_t* dst = out.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                const uint8_t* q = row + 3 * x;
                dst[x] = (static_cast<uint32_t>(q[2]) << 16) | (static_cast<uint32_t>(q[1]) << 8) | q[0];
                continue;
            }
            uint32_t index = bits == 8 ? row[x] : (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
            if (index >= palette.size()) {
                out = BmpImage{};
                return fail(error, "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") uses colour " +
                                       std::to_string(index) + " of a " + std::to_string(palette.size()) +
                                       "-colour palette");
            }
            dst[x] = palette[index];
        }
    }
    return true;
}

bool bmp_load(const std::string& path, BmpImage& out, std::string& error) {
    out = BmpImage{};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail(error, path + ": " + std::strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    bool read_error = std::ferror(f) != 0;
    std::fclose(f);
    if (read_error) return fail(error, path + ": read error");
    if (!bmp_decode(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
