// Route check: q14_ppm.cfg read with the units' own rules (profile look-up, route values,
// empty marks, settings conversion) and every finding reported with file, line, key, reason.
//
// The library is the C++ standard library plus the units' pure readers: it takes the file's
// text and a name for it and touches no file, so the bench tool, the tests and the trainer's
// route editor (compiled to WebAssembly) share it. Findings are of two kinds:
//   error    the units would misread the file: a damaged value, a number that is none, a key
//            they never find, half of an empty waypoint, a place off the earth, a route that
//            runs through an empty waypoint.
//   warning  it reads, but is probably not what the pilot meant: "-0" degrees, minutes of 60
//            or more, signed minutes, waypoints at a pole, legs between nearly opposite points,
//            turns near 180 degrees, legs shorter than their turn lead plus 1 km, settings out
//            of their sensible range, keys the units never read, text they ignore.
// Turn leads are unit 2's (the steering unit, whose turn radius is the larger) at the given
// true airspeed, flown in calm air, with the file's own bank time.
#pragma once

#include <string>
#include <vector>

#include "nav/settings_value.h"
#include "tools/messages.h"

enum class CheckSeverity { kWarning, kError };
enum class CheckPart { kFile, kRoute, kSettings };

struct CheckFinding {
    std::string file;                       // the name given to the check
    int line = 0;                           // 1-based; 0 when there is no line (a missing key)
    std::string key;                        // "ppm_03", "q14_kp"; "" for the file as a whole
    CheckSeverity severity = CheckSeverity::kError;
    Message message;                        // why: identifier and values (the English: finding_reason)
    CheckPart part = CheckPart::kFile;
    int route = -1;                         // 0..3 when part is kRoute
};

inline constexpr double kCheckDefaultSpeedKmh = 600;  // fly's default true airspeed

struct RouteFileCheck {
    std::vector<CheckFinding> findings;     // in line order; findings without a line first
    int errors = 0, warnings = 0;
    bool has_ppm = false;                   // a [PPM] section exists
    // Every waypoint as the units read it, [route][waypoint 1..9] (entry 0 unused), and the
    // line of its key (0 when missing: then the value is the default 1*0,1*0).
    double lat[4][10] = {}, lon[4][10] = {};
    int line[4][10] = {};
    // The settings as the units use them, and the line each came from (0: the default).
    double settings[kSettingsKeyCount] = {};
    int settings_line[kSettingsKeyCount] = {};
};

// Checks the whole file `text`, naming it `name` in the findings.
RouteFileCheck check_route_file(const std::string& text, const std::string& name,
                                double speed_kmh = kCheckDefaultSpeedKmh);
// The same into `out`, whose storage is kept (a checker of many files allocates less).
void check_route_file(const std::string& text, const std::string& name, double speed_kmh, RouteFileCheck& out);
// True when some error lies in route `route` or in the file as a whole (not the settings).
bool check_route_has_errors(const RouteFileCheck& c, int route);
// "FILE:LINE: error: KEY: reason" (no ":LINE" without a line, no "KEY: " without a key).
std::string format_finding(const CheckFinding& f);
// The same into `out`, replacing what it held (its storage kept, for many findings).
void format_finding(const CheckFinding& f, std::string& out);
// The reason alone: the finding's message in English.
std::string finding_reason(const CheckFinding& f);
// One line of the settings as the units use them: "q14_kp=60 ... (line 3, ...)".
std::string settings_text(const RouteFileCheck& c);

// The value of `key` in section `section` as the units' profile reader finds it in the file's
// bytes (platform/profile_reader.h): names without regard to case, the first section of that
// name only, blanks trimmed, quotes removed. `line` (1-based) is where it was found. False when
// absent or written without '=' (the units then read their default).
bool ini_lookup(const std::string& text, const std::string& section, const std::string& key, std::string& value,
                int* line = nullptr);
// The key of waypoint w (1..9) of route r (0..3): "ppm_0w" for route 0, else "ppm_rw".
std::string route_key(int route, int waypoint);
// A route value written exactly as "deg*min,deg*min" (four finite numbers, three separators,
// blanks allowed between them, nothing after): lat and lon as the units read it. False with
// `why` otherwise.
bool route_value_strict(const std::string& value, double& lat, double& lon, std::string& why);
// Both empty marks (latitude 99 and longitude 999): the units show a blank waypoint.
bool route_point_is_empty(double lat, double lon);
// Unit 2's lead before a turn of `turn_deg` (capped at 110, as the units cap it) at
// `speed_kmh`, with `bank_time_s` of rolling in, km.
double unit_turn_lead_km(double turn_deg, double speed_kmh, double bank_time_s);
