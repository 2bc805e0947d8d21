// Navigation computations of the system cycle: the active leg's great-circle geometry from the
// unit's present position, speeds, clock, time to go, wind, and the automatic leg change.
#include "nav/navigation.h"

#include <cmath>

#include "frame/unit_profile.h"
#include "nav/geometry.h"

namespace {

// Zero substitutes: a longitude difference of exactly 0 becomes this many degrees.
constexpr double kLegZero = 0.0001;
constexpr double kConvergenceZero = 1e-7;
// Within this longitude of the FROM meridian the convergence is taken as 0.
constexpr double kMeridianBand = 0.016667;

// A route-table entry for a leg index. The keypad writes 0..9 only, but a restored flight or
// any other writer could leave a larger byte: such an index is taken as 9, the last waypoint,
// consistent with the next waypoint after 9 being 1.
uint8_t route_index(uint8_t i) { return i > 9 ? 9 : i; }

// Every value this step leaves for the display, the named variables and the autopilot. For
// finite inputs each is finite by construction; an input that is not (a damaged restore, a
// non-numeric host value) must still not spread, so any such output is set to 0.
constexpr double NavState::* kOutputs[] = {
    &NavState::convergence,  &NavState::dist_direct,     &NavState::leg_course,
    &NavState::leg_final_course, &NavState::next_leg_course, &NavState::turn_angle,
    &NavState::turn_lead,    &NavState::dist_to_go,      &NavState::cross_track,
    &NavState::ground_speed, &NavState::ground_track,    &NavState::drift_angle,
    &NavState::track_angle,  &NavState::track_error,     &NavState::clock_minutes,
    &NavState::time_to_go,   &NavState::eta_hours,       &NavState::wind_dir,
    &NavState::wind_speed,   &NavState::lbu_var,         &NavState::lbu_dif_var,
    &NavState::pu_delta_var,
};

// Direction (0..360, the way it points) of a velocity given north and east components, from
// asin of the east share; speed is their magnitude, above 0.
double direction_of(double north, double east, double speed) {
    double r = east / speed;
    if (r > 1) r = 1;  // rounding only; keeps asin defined
    if (r < -1) r = -1;
    double dir = std::asin(r) * R2D;
    if (north < 0) dir = 180 - dir;
    return wrap360(dir);
}

}  // namespace

void navigation_step(NavState& s) {
    s.ppm_from = route_index(s.ppm_from);
    s.ppm_to = route_index(s.ppm_to);
    const double lat_f = s.ppm_lat[s.ppm_from], lon_f = s.ppm_lon[s.ppm_from];
    const double lat_t = s.ppm_lat[s.ppm_to], lon_t = s.ppm_lon[s.ppm_to];
    const double lat_p = s.present_lat, lon_p = s.present_lon;

    // 1. Convergence: how much the great circle F->P turns between F and P, so that a track
    // measured at P can be referred to the FROM meridian.
    double d = wrap180(lon_p - lon_f);
    if (d > -kMeridianBand && d < kMeridianBand) {
        s.convergence = 0;
    } else {
        double c1 = gc_course(lat_f, lat_p, d, 0.0);  // d is never 0 here
        double c2 = gc_course(lat_p, lat_f, lon_f - lon_p, kConvergenceZero);
        s.convergence = wrap180(c1 - c2 - 180);
    }

    // 2-5. Leg course, distance to TO and its split along and across the leg, measured at TO
    // from the angle between the leg's back course and the course towards the aircraft.
    s.leg_course = gc_course(lat_f, lat_t, lon_t - lon_f, kLegZero);
    s.dist_direct = gc_distance(lat_p, lat_t, lon_p - lon_t, kLegZero);
    const double back = gc_course(lat_t, lat_f, lon_f - lon_t, kLegZero);
    s.leg_final_course = wrap360(back + 180);
    const double to_aircraft = gc_course(lat_t, lat_p, lon_p - lon_t, kLegZero);
    const double a = wrap180(to_aircraft - back) * K1;
    s.dist_to_go = std::cos(a) * s.dist_direct;
    s.cross_track = -std::sin(a) * s.dist_direct;  // right of the leg is positive
    if (s.nav_ready == 1) s.lbu_var = s.cross_track * 1000;

    // 6-7. The next leg and the turn onto it (the start point 0 never follows 9).
    s.ppm_to_copy = s.ppm_to;
    s.ppm_next = static_cast<uint8_t>(s.ppm_to + 1 > 9 ? 1 : s.ppm_to + 1);
    const double lat_n = s.ppm_lat[s.ppm_next], lon_n = s.ppm_lon[s.ppm_next];
    s.next_leg_course = gc_course(lat_t, lat_n, lon_n - lon_t, kLegZero);
    s.turn_angle = std::fabs(wrap180(s.next_leg_course - s.leg_final_course));
    if (s.turn_angle > 110) s.turn_angle = 110;

    // 8. Turn lead from last cycle's ground speed.
    s.turn_lead = turn_lead_km(s.bank_time, s.turn_angle, s.ground_speed, kUnit.k_turn);

    // 9-11. Ground speed and track; below 1 km/h the track and what follows from it keep their
    // last values (the direction of a standing aircraft is undefined).
    s.ground_speed = std::sqrt(s.gs_east * s.gs_east + s.gs_north * s.gs_north);
    if (s.ground_speed > 1) s.ground_track = direction_of(s.gs_north, s.gs_east, s.ground_speed);
    s.drift_angle = s.ground_speed > 10 ? wrap180(s.ground_track - s.heading) : 0;
    if (s.ground_speed > 1) {
        s.track_angle = wrap360(s.ground_track + s.convergence);
        s.track_error = wrap180(s.track_angle - s.leg_course);
        if (s.nav_ready == 1) {
            s.pu_delta_var = s.track_error;
            s.lbu_dif_var = std::sin(s.track_error * K1) * s.ground_speed;
        }
    }

    // 12. The unit clock runs with simulated time and stands still while paused.
    s.clock_minutes += s.sim_running * s.sim_rate * s.frame_dt / 60;
    if (s.clock_minutes > 1440) s.clock_minutes -= 1440;

    // 13-14. Time to go and arrival time, only at a speed that makes them meaningful.
    if (s.ground_speed > 100) {
        s.time_to_go = s.dist_to_go / s.ground_speed * 60;
        if (s.time_to_go > 1000) s.time_to_go = 1000;
        if (s.time_to_go < 0) s.time_to_go = 0;
        s.eta_hours = (s.clock_minutes + s.time_to_go) / 60;
        if (s.eta_hours > 24) s.eta_hours -= 24;
    } else {
        s.time_to_go = 0;
        s.eta_hours = 0;
    }

    // 15. Wind: ground velocity minus air velocity. A calm has no direction; it shows 0.
    if (s.tas_entered > 100 && s.ground_speed > 100) {
        const double wn = s.gs_north - std::cos(s.heading * K1) * s.tas_entered;
        const double we = s.gs_east - std::sin(s.heading * K1) * s.tas_entered;
        s.wind_speed = std::sqrt(we * we + wn * wn);
        s.wind_dir = s.wind_speed > 0 ? direction_of(wn, we, s.wind_speed) : 0;
    } else {
        s.wind_dir = 0;
        s.wind_speed = 0;
    }

    for (double NavState::* field : kOutputs)
        if (!std::isfinite(s.*field)) s.*field = 0;
}

void leg_switching_step(NavState& s) {
    // 16. Arm once the aircraft is clearly short of the lead point, and not just after a switch.
    if (s.turn_lead + 1 < s.dist_to_go && s.leg_switch_timer == 0 && s.nav_ready == 1) s.leg_switch_armed = 1;

    // 17. Switch at the lead point; the timer keeps the new leg from arming for 89 cycles.
    if (s.dist_to_go < s.turn_lead && s.leg_switch_armed == 1 && s.auto_manual == 1) {
        const uint8_t to = route_index(s.ppm_to);
        s.ppm_from = to;
        s.ppm_to = static_cast<uint8_t>(to + 1 > 9 ? 1 : to + 1);
        s.leg_switched = 1;
        s.leg_switch_timer = 89;
        s.leg_switch_armed = 0;
    } else if (s.leg_switch_timer > 0) {
        --s.leg_switch_timer;
    }

    // 18. The switch indication ends once the timer has run out and the aircraft is within
    // 1 km of the new leg; manual mode never shows it.
    const bool on_leg = s.cross_track > -1 && s.cross_track < 1;
    if ((s.leg_switch_timer == 0 && on_leg) || s.auto_manual == 0) s.leg_switched = 0;

    // 19-21. SMENA LZP: in manual mode a prompt that blinks from two minutes before TO and
    // holds (with the phase latched on its last cycle) until 720 cycles near the leg.
    if (s.time_to_go > 0 && s.time_to_go < 2 && s.auto_manual == 0) {
        s.lzp_prompt_latch = s.blink_phase;
        s.lzp_prompt_timer = 720;
    }
    if (on_leg && s.lzp_prompt_timer > 0) --s.lzp_prompt_timer;
    if (s.auto_manual == 1) {
        s.lzp_prompt_latch = 0;
        s.lzp_change_lamp = s.leg_switched;
    } else {
        if (s.lzp_prompt_timer == 0) s.lzp_prompt_latch = 0;
        s.lzp_change_lamp = s.blink_phase * s.lzp_prompt_latch;
    }
}
