// Per-leg figures of a bench flight, computed from its samples after the flight.
#include "tools/flight_log.h"

#include <cmath>

double leg_initial_course(GeoPoint a, GeoPoint b) { return geo_course_deg(a, b); }

double leg_final_course(GeoPoint a, GeoPoint b) { return std::fmod(geo_course_deg(b, a) + 180.0, 360.0); }

std::vector<LegReport> leg_reports(const std::vector<FlightSample>& samples, const std::vector<GeoPoint>& route,
                                   double band_km) {
    std::vector<LegReport> out;
    auto point = [&](int w) -> const GeoPoint* {
        return w >= 1 && static_cast<size_t>(w) <= route.size() ? &route[static_cast<size_t>(w) - 1] : nullptr;
    };
    size_t i = 0;
    while (i < samples.size()) {
        size_t j = i;
        while (j < samples.size() && samples[j].from == samples[i].from && samples[j].to == samples[i].to) ++j;
        LegReport r;
        r.from = samples[i].from;
        r.to = samples[i].to;
        r.t_start = samples[i].t;
        r.t_end = samples[j - 1].t;
        r.start_xtk_km = samples[i].xtk_km;
        if (!out.empty()) {
            r.after_turn = true;
            const LegReport& prev = out.back();
            const GeoPoint *pa = point(prev.from), *pb = point(prev.to), *na = point(r.from), *nb = point(r.to);
            if (pa && pb && na && nb)
                r.turn_deg = geo_angle_diff(leg_final_course(*pa, *pb), leg_initial_course(*na, *nb));
        }
        // The turn and the intercept are over when the aircraft first crosses the line, comes
        // within the band, or stops closing in (the unit's own error keeps it off the line).
        size_t k = i;
        if (r.after_turn) {
            double side = samples[i].xtk_km;
            while (k < j && std::fabs(samples[k].xtk_km) > band_km && samples[k].xtk_km * side > 0 &&
                   (k + 1 >= j || std::fabs(samples[k + 1].xtk_km) < std::fabs(samples[k].xtk_km)))
                ++k;
        }
        if (k < j) r.reached_s = samples[k].t - r.t_start;
        for (; k < j; ++k) {
            if (std::fabs(samples[k].xtk_km) > std::fabs(r.max_xtk_km)) {
                r.max_xtk_km = samples[k].xtk_km;
                r.max_xtk_t = samples[k].t;
            }
        }
        out.push_back(r);
        i = j;
    }
    return out;
}
