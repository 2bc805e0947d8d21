// The scripted session: the interpreter of its few commands and the per-frame trace, over the
// stand-in's interface only, so that the native and the browser build run it alike.
#include "host/session_script.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "panels/panel_map.h"

namespace {

// Formats a double to 17 significant digits: the same value reads back bit for bit.
void put_value(std::string& out, double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.17g", v);
    out += b;
}

void trace_frame(HostModule* const units[2], std::string& trace) {
    std::string shown, values;
    for (int u = 0; u < 2; ++u) {
        HostModule* m = units[u];
        const LinkageRecord* l = host_linkage(m);
        for (int g = 0; l && g < 8 && l->gauges[g]; ++g) {
            const char* name = l->gauges[g]->name;
            for (int k = 0; k < host_element_count(m, name); ++k) {
                const ElementHeader* e = host_element(m, name, k);
                double v = host_element_value(m, name, k);
                if (e->kind == kElementString) {
                    shown += host_element_text_view(m, name, k);
                    shown += '|';
                } else if (e->kind == kElementIcon) {
                    put_value(shown, v);
                    shown += '|';
                } else if (e->kind == kElementNeedle) {
                    values += ' ';
                    values += std::to_string(u + 1) + name + std::to_string(k) + '=';
                    put_value(values, v);
                }
            }
        }
    }
    for (const std::string& n : host_named_names()) {
        values += ' ' + n + '=';
        put_value(values, host_named_double(n));
    }
    trace += "F " + std::to_string(host_frame_number()) + " T " + shown + " N" + values + '\n';
}

// The next blank-separated word of `line` from `pos` on ("" at the end).
std::string next_word(const std::string& line, size_t& pos) {
    size_t b = line.find_first_not_of(" \t\r", pos);
    if (b == std::string::npos) {
        pos = line.size();
        return "";
    }
    size_t e = line.find_first_of(" \t\r", b);
    if (e == std::string::npos) e = line.size();
    pos = e;
    return line.substr(b, e - b);
}

// The next word as a number; false unless it is one, whole.
bool next_number(const std::string& line, size_t& pos, double& out) {
    std::string w = next_word(line, pos);
    char* end = nullptr;
    out = std::strtod(w.c_str(), &end);
    return !w.empty() && end && *end == '\0';
}

}  // namespace

bool session_open(const std::string& sim_dir, const std::string& flight_path, double lat, double lon,
                  HostModule* units[2], std::string& error) {
    host_reset();
    host_set_sim_dir(sim_dir);
    if (!flight_path.empty()) host_set_flight_path(flight_path);
    Aircraft& a = host_aircraft();
    a.lat = std::isfinite(lat) ? lat : 0;
    a.lon = std::isfinite(lon) ? lon : 0;
    a.ext_power = true;
    for (int u = 0; u < 2; ++u) {
        units[u] = host_open_unit(u + 1);
        if (!units[u]) {
            error = host_last_error();
            return false;
        }
    }
    return true;
}

void session_set_aircraft(double tas_kmh, double wind_to_deg, double wind_kmh, double heading, double sim_rate,
                          bool paused, bool fly, bool coupled) {
    Aircraft& a = host_aircraft();
    auto finite_or = [](double v, double keep) { return std::isfinite(v) ? v : keep; };
    a.tas_kmh = std::fmax(0, finite_or(tas_kmh, a.tas_kmh));
    a.wind_to_deg = finite_or(wind_to_deg, a.wind_to_deg);
    a.wind_kmh = std::fmax(0, finite_or(wind_kmh, a.wind_kmh));
    a.autopilot_heading_mode = coupled;
    if (!coupled) a.heading = std::fmod(std::fmod(finite_or(heading, a.heading), 360.0) + 360.0, 360.0);
    a.sim_rate = std::fmin(16, std::fmax(1, finite_or(sim_rate, a.sim_rate)));
    a.paused = paused;
    a.fly = fly;
}

void session_set_power(bool on) { host_aircraft().ext_power = on; }

void session_set_engines(double percent) {
    if (!std::isfinite(percent)) return;
    for (double& e : host_aircraft().engine_pct) e = std::fmin(100, std::fmax(0, percent));
}

bool session_place_aircraft(double lat, double lon) {
    if (!(lat >= -90 && lat <= 90) || !std::isfinite(lon)) return false;
    Aircraft& a = host_aircraft();
    a.lat = lat;
    a.lon = std::fmod(std::fmod(lon, 360.0) + 360.0, 360.0);  // into -180 (exclusive) .. 180, as it flies
    if (a.lon > 180.0) a.lon -= 360.0;
    return true;
}

namespace {

// Mouse area `word` of gauge `gauge`: its name in the panel map, or a number (gauges outside
// the map); false when it is neither.
bool area_of(const std::string& gauge, const std::string& word, int& area) {
#define Q14_AREA_UVI(n) if (word == #n) return area = uvi::k##n, true;
#define Q14_AREA_PUR(n) if (word == #n) return area = pur::k##n, true;
#define Q14_AREA_AP_KEY(n) if (word == #n) return area = apkey::k##n, true;
    if (gauge == "Q14_UVI") { Q14_UVI_AREAS(Q14_AREA_UVI) }
    if (gauge == "Q14_PUR") { Q14_PUR_AREAS(Q14_AREA_PUR) }
    if (gauge == "QN14_def_AP_Key") { Q14_AP_KEY_AREAS(Q14_AREA_AP_KEY) }
#undef Q14_AREA_UVI
#undef Q14_AREA_PUR
#undef Q14_AREA_AP_KEY
    size_t pos = 0;
    double v = 0;
    if (!next_number(word, pos, v) || !(std::fabs(v) < 1e6)) return false;
    area = static_cast<int>(v);
    return true;
}

}  // namespace

bool session_run(HostModule* const units[2], const std::string& script, std::string& trace, std::string& error,
                 bool traced) {
    size_t start = 0;
    for (int n = 1; start < script.size(); ++n) {
        size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find('#'));
        size_t pos = 0;
        std::string cmd = next_word(line, pos);
        if (cmd.empty()) continue;
        double v[8] = {};
        bool ok = false;
        if (cmd == "frames") {
            if ((ok = next_number(line, pos, v[0]) && v[0] >= 0 && v[0] <= 1e6))
                for (int i = 0; i < static_cast<int>(v[0]); ++i) {
                    host_frame();
                    if (traced) trace_frame(units, trace);
                }
        } else if (cmd == "click") {
            std::string gauge;
            int area = 0;
            if ((ok = next_number(line, pos, v[0]) && (v[0] == 1 || v[0] == 2) && !(gauge = next_word(line, pos)).empty() &&
                      area_of(gauge, next_word(line, pos), area)))
                host_click(units[static_cast<int>(v[0]) - 1], gauge.c_str(), area);
        } else if (cmd == "key") {
            if ((ok = next_number(line, pos, v[0]) && v[0] >= 1 && v[0] <= 255)) {
                host_key(static_cast<int>(v[0]));
                host_key(static_cast<int>(v[0]), 1, true);
            }
        } else if (cmd == "aircraft") {
            ok = true;
            for (double& x : v) ok = ok && next_number(line, pos, x);
            if (ok) session_set_aircraft(v[0], v[1], v[2], v[3], v[4], v[5] != 0, v[6] != 0, v[7] != 0);
        } else if (cmd == "power" || cmd == "engines") {
            // Each checked whole before it acts.
            bool power = cmd == "power";
            ok = next_number(line, pos, v[0]) && next_word(line, pos).empty() &&
                 (power ? v[0] == 0 || v[0] == 1 : v[0] >= 0 && v[0] <= 100);
            if (ok && power) session_set_power(v[0] == 1);
            if (ok && !power) session_set_engines(v[0]);
        } else if (cmd == "position") {
            ok = next_number(line, pos, v[0]) && next_number(line, pos, v[1]) && next_word(line, pos).empty() &&
                 session_place_aircraft(v[0], v[1]);
        }
        if (ok && !next_word(line, pos).empty()) ok = false;  // nothing may follow
        if (!ok) {
            error = "line " + std::to_string(n) + ": cannot run \"" + line + "\"";
            return false;
        }
    }
    return true;
}
