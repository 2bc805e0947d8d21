// Drawing a gauge from its element chain onto cairo: the drawing steps host/panel_walk.h takes
// from the element records and the last frame's values and texts, painted from the bitmaps.
#include "tools/panel_render.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "display/digits.h"
#include "frame/records.h"
#include "host/panel_walk.h"
#include "tools/bmp_reader.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const char* const kSegmentFace = "DSEG7 Classic";      // digits, blanks, letters, minus, degree mark
const char* const kSegmentMarksFace = "DSEG14 Classic";  // the minute mark and the decimal comma

void set_colour(cairo_t* cr, uint32_t bgr) {
    cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
}

cairo_surface_t* to_surface(const BmpImage& img, bool black_transparent) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return s;
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        for (int x = 0; x < img.width; ++x) {
            uint32_t rgb = img.rgb[static_cast<size_t>(y) * static_cast<size_t>(img.width) + static_cast<size_t>(x)];
            // Premultiplied ARGB: a transparent pixel is all zero.
            row[x] = (black_transparent && rgb == 0) ? 0u : 0xFF000000u | rgb;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// DSEG7 has the digits, the letters, the minus and the degree mark; the other characters of
// the display come from its fourteen-segment sibling.
bool in_seven_segment_face(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_' ||
           c == ':' || c == '.' || c == '!';
}

void paint_image(cairo_t* cr, cairo_surface_t* s, double x, double y, cairo_filter_t filter) {
    cairo_set_source_surface(cr, s, x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_paint(cr);
}

void draw_plain_text(cairo_t* cr, const StringElement* s, const std::string& text) {
    double w = s->box_w, h = s->box_h;
    int chars = s->chars > 0 ? s->chars : static_cast<int>(text.size());
    std::string face(s->font, strnlen(s->font, sizeof s->font));
    cairo_select_font_face(cr, face.empty() ? "monospace" : face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           s->font_weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // A monospace cell is 0.6 em wide: the box takes the element's characters on one line.
    double size = std::fmin(h * 0.92, w / (chars * 0.6));
    cairo_set_font_size(cr, size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.c_str(), &te);
    double x = s->h.x + (w - te.x_advance) / 2;
    double y = s->h.y + (h - (fe.ascent + fe.descent)) / 2 + fe.ascent;
    set_colour(cr, s->color_text);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

void draw_string(cairo_t* cr, const StringElement* s, const std::string& text) {
    cairo_save(cr);
    cairo_rectangle(cr, s->h.x, s->h.y, s->box_w, s->box_h);
    cairo_clip_preserve(cr);
    set_colour(cr, s->color_back);
    cairo_fill(cr);
    if (strncasecmp(s->font, "quartz", 6) == 0) {
        uint32_t c = s->color_text;
        draw_segment_text(cr, text, s->h.x, s->h.y, s->box_w, s->box_h, s->chars, (c & 0xFF) / 255.0,
                          ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
    } else {
        draw_plain_text(cr, s, text);
    }
    cairo_restore(cr);
}

}  // namespace

void bitmap_cache_clear(BitmapCache& cache) {
    for (auto& [key, s] : cache.surfaces) cairo_surface_destroy(s);
    cache.surfaces.clear();
}

cairo_surface_t* bitmap_surface(BitmapCache& cache, int id, bool black_transparent, std::string& error) {
    auto key = std::make_pair(id, black_transparent);
    auto it = cache.surfaces.find(key);
    if (it != cache.surfaces.end()) return it->second;
    BmpImage img;
    if (!bmp_load(cache.dir + "/" + std::to_string(id) + ".bmp", img, error)) return nullptr;
    cairo_surface_t* s = to_surface(img, black_transparent);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        error = "bitmap " + std::to_string(id) + ": " + cairo_status_to_string(cairo_surface_status(s));
        cairo_surface_destroy(s);
        return nullptr;
    }
    cache.surfaces[key] = s;
    return s;
}

bool panel_fonts_available(std::string& error) {
    for (const char* family : {kSegmentFace, kSegmentMarksFace}) {
        FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(family));
        FcConfigSubstitute(nullptr, p, FcMatchPattern);
        FcDefaultSubstitute(p);
        FcResult res;
        FcPattern* match = FcFontMatch(nullptr, p, &res);
        FcChar8* got = nullptr;
        bool ok = match && FcPatternGetString(match, FC_FAMILY, 0, &got) == FcResultMatch &&
                  strcasecmp(reinterpret_cast<const char*>(got), family) == 0;
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(p);
        if (!ok) {
            error = std::string("the segment font \"") + family + "\" is not installed (Debian package fonts-dseg)";
            return false;
        }
    }
    return true;
}

void draw_segment_text(cairo_t* cr, const std::string& text, double x, double y, double w, double h, int chars,
                       double r, double g, double b) {
    if (chars < 1) chars = static_cast<int>(text.size());
    if (chars < 1) return;
    cairo_select_font_face(cr, kSegmentFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 100);
    cairo_text_extents_t eight;
    cairo_text_extents(cr, "8", &eight);
    double cell_em = eight.x_advance / 100.0;  // every glyph of the display is one digit cell wide
    double size = std::fmin(h * 0.62, w * 0.96 / (chars * cell_em));
    double cell = cell_em * size;
    double x0 = x + (w - cell * static_cast<double>(text.size())) / 2;
    double baseline = y + h / 2 + size / 2;  // a digit stands one em high on the baseline
    cairo_set_source_rgb(cr, r, g, b);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ') continue;
        const char* face = kSegmentFace;
        char glyph[4] = {c, 0, 0, 0};
        if (c == '*') {
            std::memcpy(glyph, "\xC2\xB0", 3);  // the raised degree or hour mark
        } else if (!in_seven_segment_face(c)) {
            face = kSegmentMarksFace;            // "'" minute mark, "," decimal comma, others
        }
        cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, size);
        cairo_move_to(cr, x0 + cell * static_cast<double>(i), baseline);
        cairo_show_text(cr, glyph);
    }
}

cairo_surface_t* render_gauge(BitmapCache& cache, HostModule* m, const char* gauge, double scale, std::string& error) {
    std::vector<PanelDrawItem> items;
    if (!panel_walk(m, gauge, items, error)) return nullptr;
    cairo_surface_t* face = bitmap_surface(cache, items[0].bitmap, false, error);
    if (!face) return nullptr;
    int w = cairo_image_surface_get_width(face), h = cairo_image_surface_get_height(face);
    if (!(scale >= 0.25 && scale <= 8)) scale = 1;
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, trunc_to_i32(std::ceil(w * scale)),
                                                      trunc_to_i32(std::ceil(h * scale)));
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, scale, scale);
    for (const PanelDrawItem& it : items) {
        if (it.kind == PanelDraw::kText) {
            draw_string(cr, it.string, std::string(it.text));
            continue;
        }
        cairo_surface_t* s = bitmap_surface(cache, it.bitmap, it.transparent, error);
        if (!s) {
            // A bitmap could not be loaded.
            cairo_destroy(cr);
            cairo_surface_destroy(out);
            return nullptr;
        }
        if (it.kind == PanelDraw::kImage) {
            paint_image(cr, s, it.x, it.y, CAIRO_FILTER_NEAREST);
            continue;
        }
        // The bitmap's pivot lands on the element's position and turns clockwise there.
        cairo_save(cr);
        cairo_translate(cr, it.x, it.y);
        cairo_rotate(cr, it.angle_deg * kPi / 180.0);
        paint_image(cr, s, -it.pivot_x, -it.pivot_y, it.bilinear ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
        cairo_restore(cr);
    }
    cairo_status_t st = cairo_status(cr);
    cairo_destroy(cr);
    if (st != CAIRO_STATUS_SUCCESS) {
        error = std::string(gauge) + ": " + cairo_status_to_string(st);
        cairo_surface_destroy(out);
        return nullptr;
    }
    return out;
}
