// Fuzz target of the route value parser: any bytes, as long as the file read could deliver,
// must parse without leaving the buffer, and only the first 63 characters may count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/route_file.h"

static bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size heap copy with its terminator, so a read past it is caught.
    char* text = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';

    double lat = 0, lon = 0;
    parse_route_value(text, &lat, &lon);

    // The value as the platform read would cut it must give the same bits.
    std::string cut(text, std::strlen(text) < 63 ? std::strlen(text) : 63);
    double lat_cut = 0, lon_cut = 0;
    parse_route_value(cut.c_str(), &lat_cut, &lon_cut);
    if (!same(lat, lat_cut) || !same(lon, lon_cut)) {
        std::fprintf(stderr, "value depends on characters past 63\n");
        std::abort();
    }
    std::free(text);
    return 0;
}
