// The host stand-in: plays the simulator for tests and tools. It loads gauge modules (native
// shared objects with dlopen, or the real .gau files with LoadLibraryA), fills their import
// tables with its own function tables and drives them through the binary interface only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/host_tables.h"
#include "frame/records.h"
#include "host/aircraft.h"

struct HostModule;  // one loaded module

// A key event the module fired (fire_key_event).
struct HostKeyEvent {
    int32_t event;
    int32_t value;
    uint64_t frame;  // host frame number when it was fired
};

// A call of one of the panel services' element operations (query_elements .. kill_elements).
// Each operation returns its own byte offset in the panel-services table (96 .. 124).
struct HostElementOp {
    std::string op;               // "query_elements", "install_elements", ...
    const ElementHeader* element; // the element handed over
    uint32_t host_value;          // install and generate only
    bool has_value;
    HostModule* caller;           // the module whose routine made the call
};

// ---- the simulator -----------------------------------------------------------------------
// There is one simulator per process; these reset it (unloading every module first).
void host_reset();
// The aircraft whose simulator variables the modules read.
Aircraft& host_aircraft();
// Directory the modules see as the simulator's installation directory (holds
// gauges/q14_cfg/q14_ppm.cfg); native only, sets the platform layer's executable path.
void host_set_sim_dir(const std::string& dir);
// The flight now loaded, as the current-flight query reports it ("" none).
void host_set_flight_path(const std::string& path);
// Frame rate of host_frame, in frames per simulated second (default 18).
void host_set_frame_rate(double hz);
// Replaces a simulator variable's value (in the host's units) until cleared or reset.
void host_set_sim_variable(int32_t id, double value);
void host_clear_sim_variable(int32_t id);
// Why the last host_load failed.
const std::string& host_last_error();

// ---- modules -----------------------------------------------------------------------------
// Loads a module, fills its ImportTable (unknown identifiers get a zero-filled table), gives
// every string element a text buffer and calls module_init. Null when it cannot be loaded; a
// file already loaded gives its module again.
HostModule* host_load(const std::string& path);
// Kills every gauge of an opened module (service 12), calls module_deinit and unloads; the
// module's named values and event callbacks are dropped. Records that other modules bound to
// its values keep their addresses, as in the simulator, which sends no notice of an unload.
void host_unload(HostModule* m);
// Path of the built native module of a unit (1 or 2), next to the test executables.
std::string host_module_path(int unit);
// Loads the unit's module and opens every gauge: services 2 and 4 for all, then 14.
HostModule* host_open_unit(int unit);
// The same for a module file elsewhere (an installed copy).
HostModule* host_open(const std::string& path);
// The exported records, as the host sees them.
const LinkageRecord* host_linkage(HostModule* m);
ImportEntry* host_import_table(HostModule* m);
// A gauge by name ("Q14_UVI", ...), or null.
GaugeHeader* host_gauge(HostModule* m, const char* name);
// Sends a gauge one service (2, 4, 6, 12, 14 or any other number).
void host_service(HostModule* m, const char* gauge, int32_t service);

// ---- frames ------------------------------------------------------------------------------
// One simulator frame: advances the performance counter (native) by 1/rate seconds and the
// aircraft likewise (sim time, ticks, position, its autopilot), then for every opened module
// in load order sends each gauge service 6 and evaluates its elements in chain order.
void host_frame();
void host_frames(int n);
uint64_t host_frame_number();

// ---- what the panels show (as of the last evaluation) -----------------------------------
// Element k of a gauge's chain (0 = root), its last callback value and (strings) text.
ElementHeader* host_element(HostModule* m, const char* gauge, int k);
int host_element_count(HostModule* m, const char* gauge);
double host_element_value(HostModule* m, const char* gauge, int k);
std::string host_element_text(HostModule* m, const char* gauge, int k);
// Evaluates the gauge's elements now (without a frame).
void host_update_elements(HostModule* m, const char* gauge);
// True when no string callback wrote past its element's buffer.
bool host_text_buffers_intact();

// ---- input -------------------------------------------------------------------------------
// Clicks mouse area k of a gauge (1 = the first clickable area after the parent); returns
// the callback's result.
int32_t host_click(HostModule* m, const char* gauge, int area);
// Number of clickable areas in a gauge's mouse list.
int host_mouse_area_count(HostModule* m, const char* gauge);
// A keystroke through the keyboard hooks (scan code, repeat count, release). Returns true
// when a hook swallowed it.
bool host_key(int scan, int repeat = 1, bool release = false);
// Raises a host event to every registered event callback (event 38: flight saved).
void host_raise_event(int32_t event, const std::string& flight_path);
// Event callbacks registered now.
int host_event_callback_count();

// ---- what the modules did ----------------------------------------------------------------
const std::vector<HostKeyEvent>& host_key_events();
void host_clear_key_events();
const std::vector<HostElementOp>& host_element_ops();
void host_clear_element_ops();
// A published named value: its address and type code (0x21 double, 0x22 int), or null.
const void* host_named_value(const std::string& name, int32_t* type = nullptr);
double host_named_double(const std::string& name);  // NaN when absent
int32_t host_named_int(const std::string& name);    // -1 when absent
// Names published now, in publication order; and every publish/withdraw call as "+NAME" or
// "-NAME" in call order.
std::vector<std::string> host_named_names();
const std::vector<std::string>& host_named_log();
// How many times a simulator variable was read since the last reset.
uint64_t host_sim_variable_reads(int32_t id);

// Everything the host can observe of some loaded modules: every element's value (as bits, so
// NaN equals NaN), text and image flags after a fresh evaluation, the named values, and how
// much the modules asked of the host.
struct HostSnapshot {
    std::vector<uint64_t> values;
    std::vector<std::string> texts;
    std::vector<uint32_t> flags;
    std::vector<std::string> names;
    std::vector<uint64_t> named_values;
    size_t named_log = 0, key_events = 0, element_ops = 0;
    bool operator==(const HostSnapshot&) const = default;
};
HostSnapshot host_snapshot(const std::vector<HostModule*>& modules);
