// The unit's own present position: unit 2 adds a seeded, slowly growing error to the true
// position, unit 1 dead-reckons on the ground velocity with two calibrated scale factors.
#include "nav/error_model.h"

#include <cmath>

#include "display/digits.h"
#include "frame/unit_profile.h"
#include "nav/geometry.h"

namespace {

constexpr double kDegPerMetre = 8.998425275581272e-06;  // degrees of latitude per metre
constexpr double kPerTwoHours = 0.0001388888888888889;  // 1/7200: coefficient to m/s
// Degrees per (km/h * second): north on 111.13 km per degree, east on 111.24 km.
constexpr double kDegPerKmhSecNorth = 2.4995625765503532e-06;
constexpr double kDegPerKmhSecEast = 2.497063013973803e-06;

constexpr double kVibrationMax = 500;
constexpr double kEngineIdlePct = 6;  // engine values below this do not shake the platform

// Stores a new present position. A step that would make it non-finite (a non-number or
// infinite input) is not taken; a position that is itself non-finite (a damaged restore)
// restarts from the true position, or from 0/0 when there is none.
void store_position(NavState& s, double lat, double lon) {
    if (std::isfinite(lat) && std::isfinite(lon)) {
        s.present_lat = lat;
        s.present_lon = lon;
    } else if (!std::isfinite(s.present_lat) || !std::isfinite(s.present_lon)) {
        const bool known = std::isfinite(s.aircraft_lat) && std::isfinite(s.aircraft_lon);
        s.present_lat = known ? s.aircraft_lat : 0;
        s.present_lon = known ? wrap_longitude(s.aircraft_lon) : 0;
    }
}

// One axis of the calibration: the relative error of the unit's displacement against the true
// one, low-pass filtered, sets the scale factor when it leaves the tolerance band.
void calibrate_axis(double unit_move, double true_move, double perc_pogr, double& filt, double& scale) {
    double e = (unit_move - true_move) / true_move;
    // No true displacement (0/0, x/0) or an implausible error counts as none.
    if (!(e >= -0.05 && e <= 0.05)) e = 0;
    filt += 0.05 * (e - filt);
    if (filt > perc_pogr * 0.01 || filt < perc_pogr * -0.01) scale = 1 - 0.8 * filt;
    if (scale > 1.005) scale = 1.005;
    if (scale < 0.995) scale = 0.995;
    if (filt > perc_pogr * -0.007 && filt < perc_pogr * 0.007) scale = 1.0;
}

}  // namespace

void drift_seed(NavState& s, double tick_value) {
    if (!kUnit.seeded_drift) return;
    const int32_t t = trunc_to_i32(tick_value);
    // Remainders taken non-negative, so the rates stay in their ranges for any tick value.
    int32_t east = t % 38, north = t % 40;
    if (east < 0) east += 38;
    if (north < 0) north += 40;
    s.drift_rate_east = (east - 18) * 100.0;
    s.drift_rate_north = (north - 19) * 100.0;
}

void drift_second_step(NavState& s) {
    if (!kUnit.seeded_drift) return;
    double elapsed = s.sim_time_copy - s.sim_time_last_second;
    // A time jump (slew, reload) or a step back adds nothing.
    if (!(elapsed >= 0 && elapsed <= 3)) elapsed = 0;
    if (s.nav_ready == 1) {
        const double k = s.sim_running * elapsed * s.sim_rate;
        s.drift_north_m += k * s.drift_rate_north * kPerTwoHours;
        s.drift_east_m += k * s.drift_rate_east * kPerTwoHours;
    }
    s.sim_time_last_second = s.sim_time_copy;
}

void present_position_update(NavState& s) {
    if (s.nav_ready != 1) return;
    const double lon_scale = std::cos(s.aircraft_lat * K1);  // never exactly 0 for a double
    if (kUnit.seeded_drift) {
        store_position(s, s.aircraft_lat + s.drift_north_m * kDegPerMetre,
                       wrap_longitude(s.aircraft_lon + s.drift_east_m * kDegPerMetre / lon_scale));
    } else if (kUnit.dead_reckoning) {
        const double g = s.sim_running * s.sim_rate * s.frame_dt;
        store_position(s, s.present_lat + s.gs_north * g * s.scale_north * kDegPerKmhSecNorth,
                       wrap_longitude(s.present_lon + s.gs_east * g * s.scale_east * kDegPerKmhSecEast / lon_scale));
    }
}

void calibration_step(NavState& s) {
    if (!kUnit.dead_reckoning) return;
    if (s.calib_counter < s.calib_period) {
        ++s.calib_counter;
        return;
    }
    if (s.sim_running == 1 && s.nav_ready == 1 && s.ground_speed > 100) {
        calibrate_axis(s.present_lat - s.ref_present_lat, s.aircraft_lat - s.ref_aircraft_lat, s.perc_pogr,
                       s.filt_north, s.scale_north);
        calibrate_axis(s.present_lon - s.ref_present_lon, s.aircraft_lon - s.ref_aircraft_lon, s.perc_pogr,
                       s.filt_east, s.scale_east);
    } else if (s.nav_ready == 0 || s.ground_speed < 100) {
        s.filt_north = s.filt_east = 0;
        s.scale_north = s.scale_east = 1.0;
    }
    s.ref_present_lat = s.present_lat;
    s.ref_present_lon = s.present_lon;
    s.ref_aircraft_lat = s.aircraft_lat;
    s.ref_aircraft_lon = s.aircraft_lon;
    s.calib_counter = 0;
}

void debug_copies(NavState& s) {
    if (!kUnit.dead_reckoning) return;
    s.dbg_err_north_pct = s.filt_north * 100;
    s.dbg_err_east_pct = s.filt_east * 100;
    s.dbg_scale_north = s.scale_north;
    s.dbg_scale_east = s.scale_east;
}

void vibration_step(NavState& s) {
    if (s.work_state != 2) {
        s.vibration_accum = 0;
        return;
    }
    if (s.align_stage > 11 && s.align_stage < 90) {
        double sum = 0;
        for (double pct : s.engine_pct)
            if (pct >= kEngineIdlePct) sum += pct;  // also drops a non-number
        s.vibration_accum += 0.001 * sum;
    }
    if (s.vibration_accum > kVibrationMax) s.vibration_accum = kVibrationMax;
}
