// Drawing a gauge as the host draws it: its element chain in order, from the panel bitmaps and
// the values and texts its callbacks gave in the last frame, onto a cairo image surface.
#pragma once

#include <cairo.h>

#include <map>
#include <string>
#include <utility>

#include "host/standin.h"

// The panel bitmaps, loaded once each and kept as cairo surfaces (opaque, or with pure black
// transparent).
struct BitmapCache {
    std::string dir;                                        // holds NNNN.bmp
    std::map<std::pair<int, bool>, cairo_surface_t*> surfaces;
};

void bitmap_cache_clear(BitmapCache& cache);
// The surface of bitmap `id`; null with `error` when the file is missing or unreadable.
cairo_surface_t* bitmap_surface(BitmapCache& cache, int id, bool black_transparent, std::string& error);

// Checks that the fonts the panels need can be found: the segment fonts (fonts-dseg).
bool panel_fonts_available(std::string& error);

// Draws gauge `gauge` of module `m` as of the last frame: static images, icon frames (bitmap
// id + frame, -1 hidden), needles turned clockwise about their pivots, pure black transparent
// where an element's flag 0x1 is set, hidden elements left out, and string elements drawn in
// their boxes with their colours (the UVI's "quartz" in a seven-segment font, the others in a
// monospace face). The canvas is the root image's size times `scale`. Returns a new surface
// (the caller destroys it) or null with `error`.
cairo_surface_t* render_gauge(BitmapCache& cache, HostModule* m, const char* gauge, double scale, std::string& error);

// Draws a string element's text as the segment display shows it, centred in the box
// (x, y, w, h) for an element of `chars` characters; exposed for the sheet's captions and tests.
void draw_segment_text(cairo_t* cr, const std::string& text, double x, double y, double w, double h, int chars,
                       double r, double g, double b);
