// The browser trainer's C interface: the page's script calls these to start the host stand-in
// with both units, run frames, read what each gauge shows as drawing steps and send clicks,
// keys and aircraft settings. Everything it returns lives in static buffers of this file.
#include <emscripten/emscripten.h>
#include <strings.h>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/panel_walk.h"
#include "host/session_script.h"
#include "host/standin.h"
#include "nav/settings_value.h"
#include "display/route_value.h"
#include "platform/profile_reader.h"
#include "panels/panel_map.h"
#include "tools/geo.h"
#include "tools/import_pln.h"
#include "tools/messages.h"
#include "tools/readout.h"
#include "tools/route_check.h"
#include "tools/route_cfg.h"
#include "web/flight_check.h"

namespace {

constexpr int kUnits = 2;
constexpr int kMaxGauges = 8;
constexpr const char* kSimDir = "/sim";
// Fields of one drawing step in the buffer the page reads (doubles); the page gets their
// positions from trainer_layout().
#define Q14_STEP_FIELDS(F_)                                                                                       \
    F_(Kind) F_(Element) F_(Bitmap) F_(X) F_(Y) F_(PivotX) F_(PivotY) F_(Angle) F_(Flags) F_(BoxW) F_(BoxH)       \
    F_(TextColour) F_(BackColour) F_(Chars) F_(SegmentFont) F_(Text) F_(TextLen)
#define Q14_STEP_ENUM(name) kStep##name,
enum StepField { Q14_STEP_FIELDS(Q14_STEP_ENUM) kStepFields };

HostModule* g_units[kUnits] = {};
std::vector<PanelDrawItem> g_items;
std::vector<double> g_steps;
std::string g_error;
int32_t g_area[6];
double g_aircraft_out[12];
std::vector<GeoPoint> g_route;
std::vector<double> g_route_path;
double g_position[2];
std::string g_trace;
std::string g_findings;
std::string g_import;
std::string g_layout;

HostModule* unit(int u) { return u >= 1 && u <= kUnits ? g_units[u - 1] : nullptr; }

const char* gauge_name(int u, int g) {
    HostModule* m = unit(u);
    if (!m || g < 0 || g >= kMaxGauges) return nullptr;
    const GaugeHeader* h = host_linkage(m)->gauges[g];
    return h ? h->name : nullptr;
}

// One "name":value member of a JSON object being written (the object's '{' already out).
void json_member(std::string& out, const char* name, const std::string& value) {
    if (out.back() != '{') out += ',';
    out += '"';
    out += name;
    out += "\":";
    out += value;
}
void json_member(std::string& out, const char* name, int value) { json_member(out, name, std::to_string(value)); }

std::string json_number(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.15g", v);
    return b;
}

// What the page must know of the C++ side, as JSON: the panel map (element and mouse-area
// numbers of each gauge, pages, selector positions), the drawing-step fields and kinds, and the
// settings with their defaults and sensible ranges, and the route check's and the plan import's
// messages, identifier and English wording (the page has the other languages' words).
void build_layout(std::string& out) {
#define Q14_JSON_UVI(n) json_member(out, #n, uvi::k##n);
#define Q14_JSON_PUR(n) json_member(out, #n, pur::k##n);
#define Q14_JSON_AP_KEY(n) json_member(out, #n, apkey::k##n);
#define Q14_JSON_PAGE(n) json_member(out, #n, kPage##n);
#define Q14_JSON_SELECTOR(n) json_member(out, #n, kSel##n);
#define Q14_JSON_STEP(n) json_member(out, #n, kStep##n);
    out = "{\"gauges\":{\"Q14_UVI\":{\"elements\":{";
    Q14_UVI_ELEMENTS(Q14_JSON_UVI)
    out += "},\"areas\":{";
    Q14_UVI_AREAS(Q14_JSON_UVI)
    out += "}},\"Q14_PUR\":{\"elements\":{";
    Q14_PUR_ELEMENTS(Q14_JSON_PUR)
    out += "},\"areas\":{";
    Q14_PUR_AREAS(Q14_JSON_PUR)
    out += "}},\"QN14_def_AP_Key\":{\"elements\":{";
    Q14_AP_KEY_ELEMENTS(Q14_JSON_AP_KEY)
    out += "},\"areas\":{";
    Q14_AP_KEY_AREAS(Q14_JSON_AP_KEY)
    out += "}}},\"pages\":{";
    Q14_PAGES(Q14_JSON_PAGE)
    out += "},\"selector\":{";
    Q14_SELECTOR(Q14_JSON_SELECTOR)
    out += "},\"stepFields\":{";
    Q14_STEP_FIELDS(Q14_JSON_STEP)
    out += "},\"stepKinds\":{";
    json_member(out, "Image", static_cast<int>(PanelDraw::kImage));
    json_member(out, "Needle", static_cast<int>(PanelDraw::kNeedle));
    json_member(out, "Text", static_cast<int>(PanelDraw::kText));
    out += "},\"settings\":[";
    for (int k = 0; k < kSettingsKeyCount; ++k) {
        if (k) out += ',';
        out += '{';
        json_member(out, "key", std::string("\"") + kSettingsKeys[k].key + '"');
        json_member(out, "default", std::string("\"") + kSettingsKeys[k].default_text + '"');
        json_member(out, "lo", json_number(kSettingsRanges[k].lo));
        json_member(out, "hi", json_number(kSettingsRanges[k].hi));
        out += '}';
    }
    out += "],\"messages\":{";
    for (int k = 1; k < kMessageCount; ++k) {
        const MessageId id = static_cast<MessageId>(k);
        json_member(out, message_name(id), json_string(message_english(id)));
    }
    out += "}}";
#undef Q14_JSON_UVI
#undef Q14_JSON_PUR
#undef Q14_JSON_AP_KEY
#undef Q14_JSON_PAGE
#undef Q14_JSON_SELECTOR
#undef Q14_JSON_STEP
}

}  // namespace

extern "C" {

// The layout above as JSON text (see build_layout); the page reads it once at start-up.
EMSCRIPTEN_KEEPALIVE const char* trainer_layout() {
    if (g_layout.empty()) build_layout(g_layout);
    return g_layout.c_str();
}

// Resets the simulator, points it at the virtual simulator folder (the page has written
// /sim/gauges/q14_cfg/q14_ppm.cfg), names the current flight ("" none) and opens both units
// with the aircraft parked at (lat, lon). Returns 1, or 0 with trainer_error().
EMSCRIPTEN_KEEPALIVE int trainer_start(double lat, double lon, const char* flight_path) {
    if (!session_open(kSimDir, flight_path ? flight_path : "", lat, lon, g_units, g_error)) return 0;
    g_steps.reserve(static_cast<size_t>(64 * kStepFields));
    g_items.reserve(64);
    return 1;
}

EMSCRIPTEN_KEEPALIVE const char* trainer_error() { return g_error.c_str(); }

EMSCRIPTEN_KEEPALIVE void trainer_frames(int n) {
    if (n > 0) host_frames(n);
}

EMSCRIPTEN_KEEPALIVE double trainer_frame_number() { return static_cast<double>(host_frame_number()); }

EMSCRIPTEN_KEEPALIVE const char* trainer_gauge_name(int u, int g) { return gauge_name(u, g); }

// Walks gauge g of unit u into drawing steps; returns their number (-1 when the gauge cannot
// be drawn) and leaves them at trainer_steps(), kStepFields doubles each.
EMSCRIPTEN_KEEPALIVE int trainer_walk(int u, int g) {
    const char* name = gauge_name(u, g);
    if (!name || !panel_walk(unit(u), name, g_items, g_error)) return -1;
    g_steps.clear();
    for (const PanelDrawItem& it : g_items) {
        double f[kStepFields] = {};
        f[kStepKind] = static_cast<double>(it.kind);
        f[kStepElement] = it.element;
        f[kStepBitmap] = it.bitmap;
        f[kStepX] = it.x;
        f[kStepY] = it.y;
        f[kStepPivotX] = it.pivot_x;
        f[kStepPivotY] = it.pivot_y;
        f[kStepAngle] = it.angle_deg;
        f[kStepFlags] = (it.transparent ? 1 : 0) | (it.bilinear ? 2 : 0);
        if (const StringElement* s = it.string) {
            f[kStepBoxW] = s->box_w;
            f[kStepBoxH] = s->box_h;
            f[kStepTextColour] = s->color_text;
            f[kStepBackColour] = s->color_back;
            f[kStepChars] = s->chars;
            f[kStepSegmentFont] = strncasecmp(s->font, "quartz", 6) == 0 ? 1 : 0;
            f[kStepText] = static_cast<double>(reinterpret_cast<uintptr_t>(it.text.data()));
            f[kStepTextLen] = static_cast<double>(it.text.size());
        }
        g_steps.insert(g_steps.end(), f, f + kStepFields);
    }
    return static_cast<int>(g_items.size());
}

EMSCRIPTEN_KEEPALIVE const double* trainer_steps() { return g_steps.data(); }
EMSCRIPTEN_KEEPALIVE int trainer_step_fields() { return kStepFields; }

// Mouse area k (1-based) of gauge g of unit u: x, y, w, h, cursor, repeats (1 when holding the
// button repeats the click); null past the last area.
EMSCRIPTEN_KEEPALIVE const int32_t* trainer_mouse_area(int u, int g, int k) {
    const char* name = gauge_name(u, g);
    if (!name || k < 1 || k > host_mouse_area_count(unit(u), name)) return nullptr;
    const MouseRect& r = host_gauge(unit(u), name)->mouse[k];
    g_area[0] = r.x;
    g_area[1] = r.y;
    g_area[2] = r.w;
    g_area[3] = r.h;
    g_area[4] = r.cursor;
    g_area[5] = r.mask == kMouseLeftRepeat ? 1 : 0;
    return g_area;
}

EMSCRIPTEN_KEEPALIVE int trainer_click(int u, int g, int k) {
    const char* name = gauge_name(u, g);
    return name ? host_click(unit(u), name, k) : 0;
}

// A PC keystroke by scan code; 1 when a unit's keyboard hook took it.
EMSCRIPTEN_KEEPALIVE int trainer_key(int scan, int release) { return host_key(scan, 1, release != 0) ? 1 : 0; }

// A named value (NaN when no unit publishes it).
EMSCRIPTEN_KEEPALIVE double trainer_named(const char* name) { return name ? host_named_double(name) : NAN; }

// The aircraft settings (see session_set_aircraft).
EMSCRIPTEN_KEEPALIVE void trainer_set_aircraft(double tas_kmh, double wind_to_deg, double wind_kmh, double heading,
                                               double sim_rate, int paused, int fly, int coupled) {
    session_set_aircraft(tas_kmh, wind_to_deg, wind_kmh, heading, sim_rate, paused != 0, fly != 0, coupled != 0);
}

// External power on the aircraft's bus (simulator variable 753): without it the units run on
// their batteries.
EMSCRIPTEN_KEEPALIVE void trainer_set_ext_power(int on) { session_set_power(on != 0); }

// All four engines at `percent` of their power (0: stopped); running engines shake an alignment.
EMSCRIPTEN_KEEPALIVE void trainer_set_engines(double percent) { session_set_engines(percent); }

// Checks a saved flight's record (size bytes) before unit 2 gets it: "" when every value is in
// range, else JSON {"count": values out of range, "findings": [the first of them as messages]}.
EMSCRIPTEN_KEEPALIVE const char* trainer_check_flight(const uint8_t* record, int size) {
    static std::string out;
    out.clear();
    if (!record || size != kSaveRecordSize) return "";
    std::vector<Message> findings;
    int bad = check_state_record(record, findings);
    if (!bad) return "";
    out = "{\"count\":" + std::to_string(bad) + ",\"findings\":[";
    for (size_t i = 0; i < findings.size(); ++i) out += (i ? "," : "") + message_json(findings[i]);
    out += "]}";
    return out.c_str();
}

// 1 when a saved flight's record (size bytes) was taken with unit 2 switched on.
EMSCRIPTEN_KEEPALIVE int trainer_flight_unit_on(const uint8_t* record, int size) {
    return record && size == kSaveRecordSize && record_unit_on(record) ? 1 : 0;
}

// Runs a session script on the opened units (see session_run); returns its trace, or null with
// trainer_error().
EMSCRIPTEN_KEEPALIVE const char* trainer_run_script(const char* script) {
    g_trace.clear();
    if (!script || !session_run(g_units, script, g_trace, g_error)) return nullptr;
    return g_trace.c_str();
}

// lat, lon, heading, tas, ground speed north and east (km/h), sim time (s), sim rate, paused,
// flying, coupled, heading bug.
EMSCRIPTEN_KEEPALIVE const double* trainer_aircraft() {
    const Aircraft& a = host_aircraft();
    double v[] = {a.lat, a.lon, a.heading, a.tas_kmh, a.gs_north_kmh, a.gs_east_kmh, a.sim_time_s, a.sim_rate,
                  a.paused ? 1.0 : 0.0, a.fly ? 1.0 : 0.0, a.autopilot_heading_mode ? 1.0 : 0.0, a.ap_heading_bug};
    std::memcpy(g_aircraft_out, v, sizeof v);
    return g_aircraft_out;
}

// Host event to every unit (38: the current flight was saved).
EMSCRIPTEN_KEEPALIVE void trainer_raise_event(int event, const char* flight_path) {
    host_raise_event(event, flight_path ? flight_path : "");
}

// Bytes the program has allocated and not freed (for the benchmark's steady-frame check).
EMSCRIPTEN_KEEPALIVE double trainer_heap_in_use() { return static_cast<double>(mallinfo().uordblks); }

// The unit's computed position as its Koord_s read-out shows it: lat, lon; null while the
// read-out shows none.
EMSCRIPTEN_KEEPALIVE const double* trainer_unit_position(int u) {
    HostModule* m = unit(u);
    if (!m) return nullptr;
    bool ok = parse_koord_text(std::string(host_element_text_view(m, "Koord_s", 1)), false, g_position[0]) &&
              parse_koord_text(std::string(host_element_text_view(m, "Koord_s", 2)), true, g_position[1]);
    return ok ? g_position : nullptr;
}

// Where the aircraft starts, before the route check has read the whole route file at `path`:
// waypoint 1 of route 0 as the units read the file, when its value is a valid position; null
// otherwise (the page then parks the aircraft).
EMSCRIPTEN_KEEPALIVE const double* trainer_route_start(const char* path) {
    static double start[2];
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return nullptr;
    std::string bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
    std::fclose(f);
    char value[kRouteValueSize];
    profile_get_string(bytes.data(), bytes.size(), true, "PPM", route_key(0, 1).c_str(), "", value, sizeof value);
    std::string why;
    return route_value_strict(value, start[0], start[1], why) ? start : nullptr;
}

// Route `route` (0..3) of a route file's text (`length` bytes), as the units would fly it, for the map: returns
// the number of waypoints (0 with trainer_error() when the route cannot be flown); the
// great-circle legs sampled `per_leg` times each are at trainer_route_path(), lat/lon pairs.
EMSCRIPTEN_KEEPALIVE int trainer_route(const char* cfg_text, int length, int route, int per_leg) {
    g_route_path.clear();
    if (!cfg_text || length < 0 ||
        !route_from_cfg(std::string(cfg_text, static_cast<size_t>(length)), route, g_route, g_error))
        return 0;
    if (per_leg < 1 || per_leg > 256) per_leg = 32;
    for (size_t i = 0; i + 1 < g_route.size(); ++i)
        for (int k = 0; k <= per_leg; ++k) {
            GeoPoint p = geo_interpolate(g_route[i], g_route[i + 1], static_cast<double>(k) / per_leg);
            g_route_path.push_back(p.lat);
            g_route_path.push_back(p.lon);
        }
    return static_cast<int>(g_route.size());
}

// Checks a route file (`length` bytes, NULs included) with the route check, as the units would
// read it: a JSON list of findings in line order, each {"line", "key", "severity" ("error" or
// "warning"), "message": {"id", "values"}} (line 0: no line, such as a missing key).
EMSCRIPTEN_KEEPALIVE const char* trainer_check_route(const char* cfg_text, int length) {
    g_findings = "[";
    if (cfg_text && length >= 0) {
        RouteFileCheck c = check_route_file(std::string(cfg_text, static_cast<size_t>(length)), "q14_ppm.cfg");
        for (const CheckFinding& f : c.findings) {
            if (g_findings.size() > 1) g_findings += ',';
            g_findings += '{';
            json_member(g_findings, "line", f.line);
            json_member(g_findings, "key", json_string(f.key));
            json_member(g_findings, "severity", f.severity == CheckSeverity::kError ? "\"error\"" : "\"warning\"");
            json_member(g_findings, "message", message_json(f.message));
            g_findings += '}';
        }
    }
    g_findings += ']';
    return g_findings.c_str();
}

// True when the route file's route 0 can be flown (the map draws it, the units load it).
EMSCRIPTEN_KEEPALIVE int trainer_route_flyable(const char* cfg_text, int length) {
    if (!cfg_text || length < 0) return 0;
    std::vector<GeoPoint> route;
    std::string error;
    return route_from_cfg(std::string(cfg_text, static_cast<size_t>(length)), 0, route, error) ? 1 : 0;
}

// Why a plan import failed, as the page gets it: {"error": message} (trainer_error() has it in English).
static const char* import_refused(const Message& m) {
    g_error = message_text(m);
    g_import = "{\"error\":" + message_json(m) + '}';
    return g_import.c_str();
}

// Imports a flight plan (`plan_length` bytes) into route `route` (0..3) of a route file's text:
// returns JSON, {"text": the whole new file, "notes": [the messages on left-out waypoints, as
// q14bench import-pln prints them]}, or {"error": message} when the plan cannot make a route.
// The file given is not changed.
EMSCRIPTEN_KEEPALIVE const char* trainer_import_plan(const char* plan_bytes, int plan_length, int route,
                                                     const char* cfg_text, int cfg_length) {
    if (!plan_bytes || plan_length < 0 || !cfg_text || cfg_length < 0 || route < 0 || route > 3)
        return import_refused(message(MessageId::kImportNothing));
    PlnResult plan = parse_pln(std::string(plan_bytes, static_cast<size_t>(plan_length)));
    if (!plan.ok) return import_refused(plan.message);
    std::vector<PlnDrop> dropped;
    Message unflyable;
    std::vector<size_t> chosen =
        choose_route_points(plan.waypoints, kCheckDefaultSpeedKmh, false, dropped, nullptr, &unflyable);
    if (chosen.size() < 2)
        return import_refused(message(MessageId::kImportTooFew, {message_value("count", std::to_string(chosen.size()))}));
    if (unflyable.id != MessageId::kNone)
        return import_refused(message(MessageId::kImportUnflyable, {message_value("why", unflyable)}));
    CfgEdit edit = pln_set_route(std::string(cfg_text, static_cast<size_t>(cfg_length)), route, plan.waypoints, chosen);
    if (!edit.ok) return import_refused(edit.message);
    g_import = "{\"text\":" + json_string(edit.text) + ",\"notes\":[";
    bool first = true;
    for (const Message& n : pln_drop_messages(plan.waypoints, dropped)) {
        g_import += (first ? "" : ",") + message_json(n);
        first = false;
    }
    g_import += "]}";
    return g_import.c_str();
}

EMSCRIPTEN_KEEPALIVE const double* trainer_route_path() { return g_route_path.data(); }
EMSCRIPTEN_KEEPALIVE int trainer_route_path_points() { return static_cast<int>(g_route_path.size() / 2); }

}  // extern "C"

// Defined in trainer_lib.js: readies the preload plugins that compile the side modules.
extern "C" void trainer_preload_plugins();

int main() {
    trainer_preload_plugins();
    return 0;
}
