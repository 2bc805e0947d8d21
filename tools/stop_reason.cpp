// The stop reason of an unfinished bench flight, taken from its trace once the flight is over.
#include "tools/stop_reason.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kRecentS = 120;         // the stretch the ground speed is taken over
constexpr double kNoWayKmh = 30;         // below this the aircraft makes no real way
constexpr double kGrowthKm = 2;          // distance to go grown by more than this: moving away
constexpr double kNearKm = 25;           // came this close to the waypoint: a missed turn

std::string fmt(const char* f, double a, double b = 0, double c = 0) {
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

std::string leg_name(int from, int to) { return std::to_string(from) + "-" + std::to_string(to); }

std::string mmss(double t) {
    char b[32];
    long s = std::lround(t);
    std::snprintf(b, sizeof b, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return b;
}

}  // namespace

std::string explain_unfinished(const std::vector<StopTracePoint>& trace, const StopFacts& facts) {
    if (trace.empty()) return "the flight recorded nothing";
    const StopTracePoint& last = trace.back();
    const std::string leg = leg_name(last.from, last.to);
    std::string gains;
    if (facts.kp <= 0 || facts.kd < 0)
        gains = fmt("; the steering gains q14_kp=%g, q14_kd=%g turn it away from the track", facts.kp, facts.kd);

    if (facts.wind_kmh >= facts.speed_kmh)
        return fmt("the wind, %.0f km/h from %03.0f deg, is at or above the airspeed of %.0f km/h: against it the "
                   "aircraft makes no way towards the waypoint",
                   facts.wind_kmh, facts.wind_from_deg, facts.speed_kmh) +
               " (still on leg " + leg + ")";

    // Ground speed over the last stretch of the flight.
    size_t i = trace.size() - 1;
    while (i > 0 && last.t - trace[i].t < kRecentS) --i;
    if (last.t - trace[i].t > 1) {
        double gs = geo_distance_km(trace[i].truth, last.truth) / (last.t - trace[i].t) * 3600;
        if (gs < kNoWayKmh)
            return fmt("no ground speed: the aircraft covered %.0f km/h over the ground in the last %.0f s", gs,
                       last.t - trace[i].t) + " (leg " + leg + ")" + gains;
    }

    // The route check's warning on the turn onto this leg, or on the leg being too short.
    for (const CheckFinding& f : facts.check_notes) {
        if (f.part != CheckPart::kRoute || f.route != 0) continue;
        const std::string reason = finding_reason(f);
        const bool turn = reason.find("a turn of") != std::string::npos && last.from >= 1 && last.from <= 9 &&
                          f.key == route_key(0, last.from);
        const bool short_leg = reason.find("turn lead") != std::string::npos && last.to >= 1 && last.to <= 9 &&
                               f.key == route_key(0, last.to);
        if (turn || short_leg)
            return "unit 2 never left leg " + leg + ", as the route check warned: " + f.key + ": " + reason + gains;
    }

    // The distance to go on the leg flown at the end.
    double s_min = 1e300, t_min = 0, s_first = -1;
    for (const StopTracePoint& p : trace) {
        if (p.from != last.from || p.to != last.to || !p.s_ok) continue;
        if (s_first < 0) s_first = p.s_km;
        if (p.s_km < s_min) s_min = p.s_km, t_min = p.t;
    }
    if (s_first < 0 || !last.s_ok) return "the time ran out on leg " + leg + "; unit 2 showed no distance to go" + gains;
    if (last.s_km < 0) {
        double t_passed = last.t;
        for (size_t k = trace.size(); k-- > 0 && trace[k].from == last.from && trace[k].to == last.to;)
            if (trace[k].s_ok && trace[k].s_km < 0) t_passed = trace[k].t;
        return "the aircraft passed abeam waypoint " + std::to_string(last.to) + " at " + mmss(t_passed) +
               " without unit 2 changing leg, and is " + fmt("%.1f km", -last.s_km) + " beyond it" + gains;
    }
    if (last.s_km > s_min + kGrowthKm) {
        if (s_min < kNearKm)
            return "a turn it cannot make: the aircraft came within " + fmt("%.1f km", s_min) + " of waypoint " +
                   std::to_string(last.to) + " at " + mmss(t_min) + " but unit 2 did not change leg, and it is " +
                   fmt("%.1f km", last.s_km) + " away now" + gains;
        return "the distance to go on leg " + leg + " grew from " + fmt("%.1f km", s_min) + " at " + mmss(t_min) +
               " to " + fmt("%.1f km", last.s_km) + ": the aircraft is moving away from waypoint " +
               std::to_string(last.to) + gains;
    }
    return "still on its way: " + fmt("%.1f km", last.s_km) + " to go on leg " + leg +
           " and coming down; the flight needs more time than the limit gives" + gains;
}
