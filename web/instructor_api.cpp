// The instructor's C interface in the browser trainer: moves the aircraft, runs the scripts of the
// starting situations without a trace, and reports the host's aircraft settings after them.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

#include "host/session_script.h"
#include "host/standin.h"

namespace {

std::string g_error;
std::string g_state;

void put_member(std::string& out, const char* name, double value) {
    char b[64];
    std::snprintf(b, sizeof b, "%s\"%s\":%.17g", out.size() > 1 ? "," : "", name, value);
    out += b;
}

}  // namespace

extern "C" {

// The aircraft moved to (lat, lon) between frames, as the simulator's slew does; 0 when the
// position is refused (see session_place_aircraft).
EMSCRIPTEN_KEEPALIVE int instructor_place(double lat, double lon) { return session_place_aircraft(lat, lon) ? 1 : 0; }

// Runs a session script (host/session_script.h) on the opened units without tracing its frames;
// 1, or 0 with instructor_error() naming the line that stopped it.
EMSCRIPTEN_KEEPALIVE int instructor_run(const char* script) {
    HostModule* units[2] = {host_open_unit(1), host_open_unit(2)};  // opened already: the same modules
    std::string trace;
    if (!script || !units[0] || !units[1]) {
        g_error = script ? host_last_error() : "no script";
        return 0;
    }
    return session_run(units, script, trace, g_error, false) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* instructor_error() { return g_error.c_str(); }

// What the instructor can set, as the host holds it now, as JSON: the page reads its panel back
// from it after a script has changed the settings.
EMSCRIPTEN_KEEPALIVE const char* instructor_state() {
    const Aircraft& a = host_aircraft();
    g_state = "{";
    put_member(g_state, "extPower", a.ext_power ? 1 : 0);
    put_member(g_state, "enginePct", a.engine_pct[0]);
    put_member(g_state, "tas", a.tas_kmh);
    put_member(g_state, "windTo", a.wind_to_deg);
    put_member(g_state, "windKmh", a.wind_kmh);
    put_member(g_state, "heading", a.heading);
    put_member(g_state, "rate", a.sim_rate);
    put_member(g_state, "fly", a.fly ? 1 : 0);
    put_member(g_state, "coupled", a.autopilot_heading_mode ? 1 : 0);
    put_member(g_state, "lat", a.lat);
    put_member(g_state, "lon", a.lon);
    g_state += '}';
    return g_state.c_str();
}

}  // extern "C"
