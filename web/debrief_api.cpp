// What the trainer's debrief needs of the C++ side: the true aircraft's distance from a route leg,
// on the sphere the host stand-in flies it over (tools/geo), for the page to call.
#include <emscripten/emscripten.h>

#include "tools/geo.h"

extern "C" {

// Distance of (lat, lon) from the great circle from (from_lat, from_lon) towards (to_lat, to_lon),
// km, positive right of it; degrees in.
EMSCRIPTEN_KEEPALIVE double debrief_cross_track_km(double from_lat, double from_lon, double to_lat, double to_lon,
                                                   double lat, double lon) {
    return geo_cross_track_km({from_lat, from_lon}, {to_lat, to_lon}, {lat, lon});
}

}  // extern "C"
