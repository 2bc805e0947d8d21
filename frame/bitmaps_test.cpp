// Checks the panel bitmaps of every caption set against the gauge tables: every bitmap an element
// names (all icon frames included) is a checked-in BMP of the right size and depth, listed in the
// set's resource script; the sets differ only in the bitmaps that carry captions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "frame/module.h"
#include "res/caption_sets.h"

namespace {

// The sizes the gauges are laid out for; depth 0 where any of 4, 8 or 24 bits will do.
// Opaque bitmaps must not hold pure black, which the host would punch through.
struct BitmapRow {
    int first, count, w, h, depth;
    bool opaque;
};
constexpr BitmapRow kBitmaps[] = {
    {4096, 1, 120, 60, 0, true},    // DigTest face
    {4112, 1, 20, 20, 0, true},     // Q_14_SYS face
    {4128, 1, 383, 514, 8, true},   // Q14_UVI face
    {4133, 1, 383, 514, 8, false},  // Q14_UVI legends
    {4144, 1, 66, 35, 0, false},    // mode knob
    {4160, 1, 76, 41, 0, false},    // AVT/RUCHN lever
    {4165, 1, 47, 48, 0, false},    // lit VVOD
    {4176, 1, 49, 49, 0, false},    // lit IZM MARSH
    {4192, 1, 49, 49, 0, false},    // lit OST INDIK
    {4208, 1, 92, 22, 0, false},    // lit SMENA LZP
    {4224, 10, 18, 19, 24, true},   // wheel digits
    {4256, 1, 21, 20, 4, false},    // focus indicator
    {4272, 6, 30, 38, 0, true},     // upper sign frames
    {4288, 6, 30, 38, 0, true},     // lower sign frames
    {4608, 1, 383, 130, 8, true},   // Q14_PUR face
    {4624, 1, 383, 130, 0, false},  // Q14_PUR legends
    {4640, 1, 78, 65, 0, false},    // selector knob
    {4656, 1, 78, 65, 0, false},    // selector index line
    {4672, 1, 53, 27, 0, false},    // NEGOT
    {4688, 1, 53, 27, 0, false},    // VNIM
    {4704, 1, 53, 27, 0, false},    // KV
    {4720, 1, 53, 27, 0, false},    // OTKAZ
    {4736, 1, 53, 27, 0, false},    // PIT
    {4768, 1, 30, 65, 0, true},     // autopilot button face
    {4773, 3, 30, 65, 0, false},    // autopilot button frames
    {4784, 1, 120, 45, 0, true},    // coordinate read-out face
};

const BitmapRow* row_of(int id) {
    for (const BitmapRow& b : kBitmaps)
        if (id >= b.first && id < b.first + b.count) return &b;
    return nullptr;
}

std::string source_path(const std::string& rel) { return std::string(Q14_SOURCE_DIR) + "/" + rel; }

std::string bmp_path(const CaptionSet& set, int id) {
    return source_path(std::string(set.bitmaps) + "/" + std::to_string(id) + ".bmp");
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u16(const std::vector<uint8_t>& d, size_t at) { return d[at] | d[at + 1] << 8; }
uint32_t u32(const std::vector<uint8_t>& d, size_t at) { return u16(d, at) | u16(d, at + 2) << 16; }
int32_t i32(const std::vector<uint8_t>& d, size_t at) { return static_cast<int32_t>(u32(d, at)); }

// The fields of an uncompressed BITMAPINFOHEADER file that the host's loader relies on.
struct Bmp {
    std::vector<uint8_t> data;
    int w = 0, h = 0, bits = 0;
    uint32_t pixels = 0, palette = 0, colours = 0;
    size_t stride() const { return ((static_cast<size_t>(w) * bits + 31) / 32) * 4; }
};

// Reads the header field by field; returns an empty message when the file is sound.
std::string load_bmp(const CaptionSet& set, int id, Bmp& b) {
    b.data = read_file(bmp_path(set, id));
    const std::vector<uint8_t>& d = b.data;
    if (d.size() < 54) return "missing or shorter than its headers";
    if (d[0] != 'B' || d[1] != 'M') return "no BM signature";
    if (u32(d, 2) != d.size()) return "file size field " + std::to_string(u32(d, 2)) + " vs " + std::to_string(d.size());
    b.pixels = u32(d, 10);
    if (u32(d, 14) != 40) return "info header is not the 40-byte BITMAPINFOHEADER";
    b.w = i32(d, 18);
    b.h = i32(d, 22);
    if (u16(d, 26) != 1) return "planes is not 1";
    b.bits = static_cast<int>(u16(d, 28));
    if (u32(d, 30) != 0) return "compressed";
    if (b.w <= 0 || b.h <= 0) return "not a bottom-up bitmap of positive size";
    if (b.bits != 4 && b.bits != 8 && b.bits != 24) return "unexpected depth " + std::to_string(b.bits);
    b.palette = 54;
    b.colours = b.bits <= 8 ? (u32(d, 46) ? u32(d, 46) : 1u << b.bits) : 0;
    if (b.colours > (1u << b.bits) && b.bits <= 8) return "palette larger than the depth allows";
    if (b.pixels < b.palette + 4 * b.colours) return "pixels overlap the palette";
    if (b.pixels + b.stride() * b.h > d.size()) return "pixel rows run past the end of the file";
    return "";
}

// Colour of pixel (x, y), y counted from the top.
uint32_t pixel_rgb(const Bmp& b, int x, int y) {
    const uint8_t* row = b.data.data() + b.pixels + b.stride() * (b.h - 1 - y);
    const uint8_t* p;
    if (b.bits == 24) {
        p = row + 3 * x;
    } else {
        int index = b.bits == 8 ? row[x] : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        p = b.data.data() + b.palette + 4 * index;
    }
    return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

struct Use {
    int id;
    const GaugeHeader* gauge;
    const ElementHeader* element;
};

// Every bitmap number the gauges of this module name, walking each gauge's element chain.
std::vector<Use> referenced_bitmaps() {
    std::vector<Use> uses;
    for (int g = 0; Linkage.gauges[g]; ++g) {
        const GaugeHeader* gauge = Linkage.gauges[g];
        for (const ElementHeader* e = gauge->elements[0]; e; e = e->next ? e->next[0] : nullptr) {
            if (e->kind == kElementString) continue;
            int frames = e->kind == kElementIcon ? reinterpret_cast<const IconElement*>(e)->frames : 1;
            for (int f = 0; f < frames; ++f) uses.push_back({e->bitmap + f, gauge, e});
        }
    }
    return uses;
}

TEST(PanelBitmaps, EveryReferencedBitmapIsAFileOfItsTabledSizeAndDepth) {
    std::vector<Use> uses = referenced_bitmaps();
    ASSERT_GE(uses.size(), 47u);
    for (const CaptionSet& set : kCaptionSets) {
        for (const Use& u : uses) {
            SCOPED_TRACE(std::string(set.name) + " " + u.gauge->name + " bitmap " + std::to_string(u.id));
            const BitmapRow* row = row_of(u.id);
            ASSERT_NE(row, nullptr) << "bitmap number outside the panel artwork";
            Bmp b;
            std::string fault = load_bmp(set, u.id, b);
            ASSERT_EQ(fault, "");
            EXPECT_EQ(b.w, row->w);
            EXPECT_EQ(b.h, row->h);
            if (row->depth) {
                EXPECT_EQ(b.bits, row->depth);
            }
        }
    }
}

long black_pixels(const Bmp& b) {
    long black = 0;
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x) black += pixel_rgb(b, x, y) == 0;
    return black;
}

TEST(PanelBitmaps, FacesAndDisplayFramesHoldNoTransparentBlack) {
    for (const CaptionSet& set : kCaptionSets) {
        for (const BitmapRow& s : kBitmaps) {
            if (!s.opaque) continue;
            for (int id = s.first; id < s.first + s.count; ++id) {
                SCOPED_TRACE(std::string(set.name) + " bitmap " + std::to_string(id));
                Bmp b;
                ASSERT_EQ(load_bmp(set, id, b), "");
                EXPECT_EQ(black_pixels(b), 0);
            }
        }
    }
}

TEST(PanelBitmaps, TransparentLayersLeaveTheFaceVisible) {
    // The legends layers and the lit lamps lie over the whole face or part of it: mostly holes.
    for (const CaptionSet& set : kCaptionSets) {
        for (int id : {4133, 4624, 4144, 4160, 4640, 4656}) {
            SCOPED_TRACE(std::string(set.name) + " bitmap " + std::to_string(id));
            Bmp b;
            ASSERT_EQ(load_bmp(set, id, b), "");
            long black = black_pixels(b);
            EXPECT_GT(black, static_cast<long>(b.w) * b.h / 3);
            EXPECT_LT(black, static_cast<long>(b.w) * b.h);
        }
    }
}

TEST(PanelBitmaps, CaptionSetsDifferOnlyInTheBitmapsThatCarryCaptions) {
    // Faces with etched or printed captions, the legends layers, the lit keys and lamps and the
    // autopilot face; everything else (sign frames with their hemisphere letters, wheel digits,
    // needles, read-out faces) is the same drawing in every set.
    const std::set<int> captioned = {4128, 4133, 4165, 4176, 4192, 4208, 4624, 4672, 4688, 4704, 4720, 4736, 4768};
    const CaptionSet& latin = kCaptionSets[0];
    for (const CaptionSet& set : kCaptionSets) {
        if (&set == &latin) continue;
        for (const BitmapRow& s : kBitmaps) {
            for (int id = s.first; id < s.first + s.count; ++id) {
                SCOPED_TRACE(std::string(set.name) + " bitmap " + std::to_string(id));
                bool same = read_file(bmp_path(set, id)) == read_file(bmp_path(latin, id));
                EXPECT_EQ(same, captioned.count(id) == 0);
            }
        }
    }
}

TEST(PanelBitmaps, ElementsAndMouseAreasLieOnTheirGaugeFace) {
    for (int g = 0; Linkage.gauges[g]; ++g) {
        const GaugeHeader* gauge = Linkage.gauges[g];
        SCOPED_TRACE(gauge->name);
        const ElementHeader* root = gauge->elements[0];
        const BitmapRow* face = row_of(root->bitmap);
        ASSERT_NE(face, nullptr);
        for (const ElementHeader* e = root->next ? root->next[0] : nullptr; e; e = e->next ? e->next[0] : nullptr) {
            if (e->kind == kElementString) continue;
            const BitmapRow* s = row_of(e->bitmap);
            ASSERT_NE(s, nullptr);
            SCOPED_TRACE("element bitmap " + std::to_string(e->bitmap));
            if (e->kind == kElementNeedle) {
                // The pivot lies in the bitmap, and the bitmap turned about it stays on the face.
                EXPECT_TRUE(e->pivot_x >= 0 && e->pivot_x < s->w && e->pivot_y >= 0 && e->pivot_y < s->h);
                int dx = std::max(e->pivot_x, s->w - e->pivot_x), dy = std::max(e->pivot_y, s->h - e->pivot_y);
                int reach = static_cast<int>(std::ceil(std::sqrt(double(dx * dx + dy * dy))));
                EXPECT_GE(e->x - reach, 0);
                EXPECT_GE(e->y - reach, 0);
                EXPECT_LE(e->x + reach, face->w);
                EXPECT_LE(e->y + reach, face->h);
            } else {
                EXPECT_GE(e->x, 0);
                EXPECT_GE(e->y, 0);
                EXPECT_LE(e->x + s->w, face->w);
                EXPECT_LE(e->y + s->h, face->h);
            }
        }
        for (const MouseRect* m = gauge->mouse; m->type != kMouseEnd; ++m) {
            if (m->type != kMouseArea) continue;
            EXPECT_TRUE(m->x >= 0 && m->y >= 0 && m->x + m->w <= face->w && m->y + m->h <= face->h)
                << "area " << m->x << "," << m->y << " " << m->w << "x" << m->h;
        }
    }
}

// Numbers at the start of lines of a text file that look like "NNNN<sep>...".
std::set<int> leading_numbers(const std::string& path) {
    std::ifstream in(path);
    std::set<int> ids;
    std::string ln;
    while (std::getline(in, ln)) {
        int id = 0;
        if (std::sscanf(ln.c_str(), "%d", &id) == 1) ids.insert(id);
    }
    return ids;
}

TEST(PanelBitmaps, ResourceScriptsAndIndexListExactlyTheReferencedBitmaps) {
    std::set<int> referenced;
    for (const Use& u : referenced_bitmaps()) referenced.insert(u.id);
    std::set<int> tabled;
    for (const BitmapRow& s : kBitmaps)
        for (int id = s.first; id < s.first + s.count; ++id) tabled.insert(id);
    EXPECT_EQ(referenced, tabled);
    EXPECT_EQ(leading_numbers(source_path("res/bitmaps.tsv")), referenced);
    for (const CaptionSet& set : kCaptionSets) {
        SCOPED_TRACE(set.resources);
        EXPECT_EQ(leading_numbers(source_path(set.resources)), referenced);
        // Each resource line names its own file in its set's folder (names are relative to res/).
        std::string folder = std::string(set.bitmaps).substr(std::string("res/").size());
        std::ifstream rc(source_path(set.resources));
        std::string ln;
        int lines = 0;
        while (std::getline(rc, ln)) {
            int id = 0;
            char file[64] = {};
            if (std::sscanf(ln.c_str(), "%d BITMAP \"%63[^\"]\"", &id, file) != 2) continue;
            EXPECT_EQ(std::string(file), folder + "/" + std::to_string(id) + ".bmp");
            ++lines;
        }
        EXPECT_EQ(lines, static_cast<int>(referenced.size()));
    }
}

TEST(PanelBitmaps, IndexSizesAgreeWithTheFiles) {
    for (const CaptionSet& set : kCaptionSets) {
        std::ifstream in(source_path("res/bitmaps.tsv"));
        std::string ln;
        int rows = 0;
        while (std::getline(in, ln)) {
            int id, w, h, depth;
            if (std::sscanf(ln.c_str(), "%d\t%d\t%d\t%d", &id, &w, &h, &depth) != 4) continue;
            SCOPED_TRACE(std::string(set.name) + " bitmap " + std::to_string(id));
            Bmp b;
            ASSERT_EQ(load_bmp(set, id, b), "");
            EXPECT_EQ(b.w, w);
            EXPECT_EQ(b.h, h);
            EXPECT_EQ(b.bits, depth);
            ++rows;
        }
        int tabled = 0;
        for (const BitmapRow& s : kBitmaps) tabled += s.count;
        EXPECT_EQ(rows, tabled);
    }
}

}  // namespace
