// Route file: reads the 36 waypoint keys of section "PPM" into the file tables and copies
// route 0 into the working route.
#include "display/route_file.h"

#include "frame/config_file.h"

void route_load(NavState& s) {
    char key[8] = "ppm_00";
    char value[kRouteValueSize];
    for (s.file_ppm_index = 1; s.file_ppm_index < 40; ++s.file_ppm_index) {
        const int nn = s.file_ppm_index;
        if (nn % 10 == 0) continue;  // 10, 20, 30 are no keys
        key[4] = static_cast<char>('0' + nn / 10);
        key[5] = static_cast<char>('0' + nn % 10);
        config_read("PPM", key, kRouteDefaultValue, value, sizeof value);
        parse_route_value(value, &s.file_ppm_lat[nn], &s.file_ppm_lon[nn]);
    }
    s.route_reload_request = 0;
}

void route_copy(NavState& s) {
    for (int w = 1; w <= 9; ++w) {
        s.ppm_lat[w] = s.file_ppm_lat[w];
        s.ppm_lon[w] = s.file_ppm_lon[w];
    }
    s.route_copy_request = 0;
}
