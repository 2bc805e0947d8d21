// Cairo surfaces written into memory through cairo's own PNG and SVG writers.
#include "tools/cairo_io.h"

cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

bool surface_to_png(cairo_surface_t* surface, std::string& png, std::string& error) {
    png.clear();
    cairo_surface_flush(surface);
    cairo_status_t st = cairo_surface_write_to_png_stream(surface, append_to_string, &png);
    if (st != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot encode PNG: ") + cairo_status_to_string(st);
        return false;
    }
    return true;
}
