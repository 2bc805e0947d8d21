// Flight-plan import: the simulator's .PLN flight plans (XML and the older INI form) read into
// waypoints, and one route of q14_ppm.cfg rewritten from them. Pure functions on texts.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"

struct PlnWaypoint {
    std::string ident;  // "UUEE", "" when the plan names none
    std::string type;   // "Airport", "Intersection", "A", "I", ...
    double lat = 0, lon = 0;
    int line = 0;       // where the waypoint stands in the plan, 1-based
};

struct PlnResult {
    bool ok = false;
    std::string error;  // when not ok: what is wrong, naming the line
    std::string form;   // "XML" or "INI"
    std::vector<PlnWaypoint> waypoints;
};

// The parts of an XML plan the import reads, as an XML parser finds them: every <ATCWaypoint>
// of <SimBase.Document><FlightPlan.FlightPlan>, in order, with the lines they stand on (0 when
// the parser cannot tell).
struct PlnXmlWaypoint {
    int line = 0;
    std::string ident;       // its id attribute
    std::string icao_ident;  // <ICAO><ICAOIdent>
    std::string type;        // <ATCWaypointType>
    bool has_position = false;
    std::string position;    // <WorldPosition>
    int position_line = 0;
};
struct PlnXmlPlan {
    bool ok = false;
    std::string error;  // not well-formed (naming the line), or no flight plan element
    std::vector<PlnXmlWaypoint> waypoints;
};
// Parses XML text (UTF-8) into those parts; one implementation per build (import_pln_xml.cpp
// with pugixml, the trainer's with the browser's parser).
PlnXmlPlan read_plan_xml(const std::string& text);

// Reads a whole plan file (UTF-8 with or without BOM, UTF-16 with BOM, or 8-bit text).
PlnResult parse_pln(const std::string& bytes);

// A waypoint as messages name it: its ident, or "(unnamed)".
std::string plan_waypoint_name(const PlnWaypoint& w);

// The waypoints of a parsed plan that make a route: one of two in a row at the same place
// (within 10 m) dropped, at most nine kept; `notes` say what was left out and why. False with
// `error` when fewer than two distinct waypoints remain.
bool plan_route_waypoints(const PlnResult& plan, std::vector<PlnWaypoint>& kept, std::vector<std::string>& notes,
                          std::string& error);

// One coordinate as the plans write it: hemisphere letter, degrees, a degree mark ("°" in
// UTF-8 or Latin-1, or "*"), minutes with "'", optional seconds with '"'. `p` advances past it.
bool parse_pln_coordinate(const char*& p, bool longitude, double& degrees, std::string& why);

// The route value the units read back as (lat, lon): "55*45.5000,37*36.2000", minutes to the
// ten-thousandth; south and west carried by the degrees, or by the minutes below one degree
// (a "-0" degree value would read as north or east).
std::string format_route_value(double lat, double lon);

struct CfgEdit {
    bool ok = false;
    std::string error;
    std::string text;          // the whole new file
    int replaced = 0;          // key lines rewritten
    int added = 0;             // key lines added
    bool section_added = false;
};

// `original` with the nine keys of route `route` (0..3) set from `waypoints` (at most nine;
// keys past them get the empty mark 99*0,999*0): each existing key line of a [PPM] section is
// rewritten in place, missing keys are added at the end of the first [PPM] section (a section
// is appended when there is none); every other line, comment and line ending stays as it was.
CfgEdit cfg_set_route(const std::string& original, int route, const std::vector<GeoPoint>& waypoints);
