// Cairo surfaces written into memory: PNG images and SVG documents as byte strings, so that
// the callers can write every output file at once when all of them are ready.
#pragma once

#include <cairo.h>

#include <string>

// Stream callback that appends cairo's output to the std::string passed as closure.
cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length);
// The surface as PNG bytes.
bool surface_to_png(cairo_surface_t* surface, std::string& png, std::string& error);
