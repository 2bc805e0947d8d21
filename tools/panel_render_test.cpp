// Tests of the panel drawing on real units in the host stand-in: the KONTR page draws lit
// segments inside the display lines and nowhere else, placed as the texts say; a unit that
// is off draws none; a hidden read-out draws no text.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/records.h"
#include "tools/commands.h"
#include "panels/panel_map.h"
#include "tools/panel_render.h"
#include "tools/session.h"

// Cairo and fontconfig keep their font caches for the life of the process; under the leak
// checker of the sanitize build those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libcairo.so\n"; }

namespace {

struct Rect {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class PanelRenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(panel_fonts_available(error)) << error;
        ASSERT_TRUE(bundled_bitmap_dir(build_captions(), cache.dir));  // the build tree's caption set
        host_reset();
        m = host_open_unit(2);
        ASSERT_NE(m, nullptr) << host_last_error();
        host_frame();
    }
    void TearDown() override {
        if (s) cairo_surface_destroy(s);
        bitmap_cache_clear(cache);
        host_reset();
    }
    void render(const char* gauge) {
        if (s) cairo_surface_destroy(s);
        std::string error;
        s = render_gauge(cache, m, gauge, 1, error);
        ASSERT_NE(s, nullptr) << error;
        cairo_surface_flush(s);
    }
    uint32_t pixel(int x, int y) const {
        const unsigned char* d = cairo_image_surface_get_data(s);
        return reinterpret_cast<const uint32_t*>(d + y * cairo_image_surface_get_stride(s))[x] & 0xFFFFFF;
    }
    // Close to the element's text colour (0x00BBGGRR in the record, 0xRRGGBB in the pixel).
    bool lit(int x, int y, uint32_t bgr) const {
        uint32_t p = pixel(x, y);
        int dr = static_cast<int>((p >> 16) & 0xFF) - static_cast<int>(bgr & 0xFF);
        int dg = static_cast<int>((p >> 8) & 0xFF) - static_cast<int>((bgr >> 8) & 0xFF);
        int db = static_cast<int>(p & 0xFF) - static_cast<int>((bgr >> 16) & 0xFF);
        return std::abs(dr) < 24 && std::abs(dg) < 24 && std::abs(db) < 24;
    }
    Rect box(const char* gauge, int k) const {
        auto* e = reinterpret_cast<StringElement*>(host_element(m, gauge, k));
        return {e->h.x, e->h.y, e->box_w, e->box_h};
    }
    // An icon's rectangle: its position and its first frame's size.
    Rect icon_rect(int k) {
        ElementHeader* e = host_element(m, "Q14_UVI", k);
        std::string error;
        cairo_surface_t* bmp = bitmap_surface(cache, e->bitmap, true, error);
        return {e->x, e->y, cairo_image_surface_get_width(bmp), cairo_image_surface_get_height(bmp)};
    }
    int count_lit(Rect r, uint32_t bgr) const {
        int n = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) n += lit(x, y, bgr);
        return n;
    }
    int leftmost_lit(Rect r, uint32_t bgr) const {
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int y = r.y; y < r.y + r.h; ++y)
                if (lit(x, y, bgr)) return x;
        return -1;
    }

    BitmapCache cache;
    HostModule* m = nullptr;
    cairo_surface_t* s = nullptr;
};

TEST_F(PanelRenderTest, KontrShowsTheEightsInsideTheDisplayLinesOnly) {
    host_click(m, "Q14_PUR", pur::kSelectorUp);  // OBOGR: powered and on
    host_frames(2);
    ASSERT_EQ(page_of(m), kPageKontr);
    ASSERT_EQ(host_element_text(m, "Q14_UVI", uvi::kUpperLine), "  88888888");
    render("Q14_UVI");
    uint32_t segment = reinterpret_cast<StringElement*>(host_element(m, "Q14_UVI", uvi::kUpperLine))->color_text;
    Rect upper = box("Q14_UVI", uvi::kUpperLine), lower = box("Q14_UVI", uvi::kLowerLine);
    // Eight lit cells of about seven segments each: a good part of the box is lit.
    EXPECT_GT(count_lit(upper, segment), upper.w * upper.h / 20);
    EXPECT_GT(count_lit(lower, segment), lower.w * lower.h / 20);
    // The upper line has one more leading blank than the lower: its eights start one cell later
    // (looking right of the sign icons, which reach into the boxes).
    double cell = upper.w / 10.0;
    Rect sign = icon_rect(uvi::kUpperSign);
    int right_of_sign = sign.x + sign.w;
    Rect upper_digits = {right_of_sign, upper.y, upper.x + upper.w - right_of_sign, upper.h};
    Rect lower_digits = {right_of_sign, lower.y, lower.x + lower.w - right_of_sign, lower.h};
    int shift = leftmost_lit(upper_digits, segment) - leftmost_lit(lower_digits, segment);
    EXPECT_NEAR(shift, cell, cell / 4);
    // No segment-coloured pixel outside the display windows: the line and digit boxes and the signs.
    std::vector<Rect> windows = {upper, lower, box("Q14_UVI", uvi::kFromDigit), box("Q14_UVI", uvi::kToDigit),
                                 icon_rect(uvi::kUpperSign), icon_rect(uvi::kLowerSign)};
    int outside = 0;
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
            bool in = false;
            for (const Rect& w : windows) in = in || w.holds(x, y);
            if (!in && lit(x, y, segment)) ++outside;
        }
    EXPECT_EQ(outside, 0);
    // The digit windows show their eights too.
    EXPECT_GT(count_lit(box("Q14_UVI", uvi::kFromDigit), segment), 50);
}

TEST_F(PanelRenderTest, AUnitThatIsOffShowsNoSegments) {
    host_frames(2);  // selector at OTKL
    render("Q14_UVI");
    uint32_t segment = reinterpret_cast<StringElement*>(host_element(m, "Q14_UVI", uvi::kUpperLine))->color_text;
    EXPECT_EQ(count_lit(box("Q14_UVI", uvi::kUpperLine), segment), 0);
    EXPECT_EQ(count_lit(box("Q14_UVI", uvi::kLowerLine), segment), 0);
    // The display window is drawn (the string background), not left transparent or black.
    Rect upper = box("Q14_UVI", uvi::kUpperLine);
    EXPECT_EQ(pixel(upper.x + 2, upper.y + 2), 0x080808u);
}

TEST_F(PanelRenderTest, AHiddenReadoutDrawsNoText) {
    host_frames(2);
    render("Koord_s");
    uint32_t red = reinterpret_cast<StringElement*>(host_element(m, "Koord_s", 1))->color_text;
    Rect all = {0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
    EXPECT_GT(count_lit(all, red), 20);
    host_click(m, "Koord_s", 1);  // hide
    host_frames(2);
    ASSERT_NE(host_element(m, "Koord_s", 1)->image_flags & kImgHidden, 0u);
    render("Koord_s");
    EXPECT_EQ(count_lit(all, red), 0);
}

}  // namespace
