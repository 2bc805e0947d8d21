// Flight-plan import: the simulator's .PLN flight plans (XML and the older INI form) read into
// waypoints, and one route of q14_ppm.cfg rewritten from them. Pure functions on texts.
#pragma once

#include <string>
#include <vector>

#include "tools/geo.h"
#include "tools/messages.h"

struct PlnWaypoint {
    std::string ident;  // "UUEE", "" when the plan names none
    std::string name;   // a descriptive name when the plan gives one ("Sheremetyevo"), UTF-8
    std::string type;   // "Airport", "Intersection", "A", "I", ...
    double lat = 0, lon = 0;
    int line = 0;       // where the waypoint stands in the plan, 1-based
};

struct PlnResult {
    bool ok = false;
    std::string error;  // when not ok: what is wrong, naming the line
    Message message;    // the same as an identifier with its values
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
    std::string icao_name;   // <ICAO><ICAOName>
    bool has_icao = false;   // it has an <ICAO> element
    std::string type;        // <ATCWaypointType>
    std::string descr;       // <Descr>
    bool has_position = false;
    std::string position;    // <WorldPosition>
    int position_line = 0;
};
struct PlnXmlPlan {
    bool ok = false;
    std::string error;  // not well-formed (naming the line), or no flight plan element
    Message message;    // the same as an identifier with its values
    std::vector<PlnXmlWaypoint> waypoints;
};
// Parses XML text (UTF-8) into those parts; one implementation per build (import_pln_xml.cpp
// with pugixml, the trainer's web/plan_xml_web.cpp with the browser's parser).
PlnXmlPlan read_plan_xml(const std::string& text);

// Reads a whole plan file: UTF-8 with or without BOM, UTF-16 with BOM, or 8-bit text in the
// encoding its XML declaration names (ISO-8859-1, windows-1252; windows-1252 when it names
// none and is not UTF-8). Names come out in UTF-8.
PlnResult parse_pln(const std::string& bytes);

// One coordinate as the plans write it: hemisphere letter, degrees, a degree mark ("°" in
// UTF-8 or Latin-1, or "*"), minutes with "'", optional seconds with '"'; or the hemisphere
// letter and decimal degrees alone ("N41.52°"). Minutes or seconds of exactly 60 carry over.
// `p` advances past it.
bool parse_pln_coordinate(const char*& p, bool longitude, double& degrees, std::string& why);

enum class PlnDropKind { kSamePlace, kUnflyable, kLeastChange, kPastNinth };

struct PlnDrop {
    size_t index;     // into the plan's waypoints
    std::string why;  // "the same place as UUEE before it", ...
    bool past_ninth = false;  // left out by the first-nine rule
    PlnDropKind kind = PlnDropKind::kSamePlace;
    Message message;  // why, as an identifier with its values
};

// The waypoints (indices into `plan`, in order) that become the route, and the ones left
// out with the reason. A waypoint at the same place as the one kept before it is dropped.
// Then, in a plan of any length, the points no unit can fly as a leg go (closer to the point
// kept before them than the turn lead at `speed_kmh` plus 1 km, such as runway and procedure
// points beside an airport; beside the destination the point before it goes); the departure
// and the destination stay. When those two alone remain and are still too close, `unflyable`
// (when given) says so, and the plan has no route to fly. With `first_nine` the first nine
// that remain are kept; otherwise, while more than nine remain, the point lying least off the
// line between its kept neighbours goes. O(n log n) in the plan's length.
std::vector<size_t> choose_route_points(const std::vector<PlnWaypoint>& plan, double speed_kmh, bool first_nine,
                                        std::vector<PlnDrop>& dropped, std::string* unflyable = nullptr,
                                        Message* unflyable_message = nullptr);

// The name the import's messages give a waypoint: its ident, "(unnamed)" when it has none.
std::string pln_name(const PlnWaypoint& w);
// The comment line written above a waypoint's key: ident, name and type.
std::string pln_comment(const PlnWaypoint& w);
// What the import tells of the waypoints it left out, by kind of drop: a line "dropped <name>
// (line N): why" each for up to five of a kind, else one line counting them with the first five
// names; those after the ninth always on one line.
std::vector<std::string> pln_drop_notes(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped);
// The same notes as identifiers with their values.
std::vector<Message> pln_drop_messages(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped);

// The route value the units read back as (lat, lon): "55*45.5000,37*36.2000", minutes to the
// ten-thousandth; south and west carried by the degrees, or by the minutes below one degree
// (a "-0" degree value would read as north or east).
std::string format_route_value(double lat, double lon);

struct CfgEdit {
    bool ok = false;
    std::string error;
    Message message;           // the error as an identifier with its values
    std::string text;          // the whole new file
    int replaced = 0;          // key lines rewritten
    int added = 0;             // key lines added
    bool section_added = false;
};

// `original` with the nine keys of route `route` (0..3) set from `waypoints` (at most nine;
// keys past them get the empty mark 99*0,999*0): each existing key line of the first [PPM]
// section (the only one the units read; a header's name runs to its last ']') is rewritten in
// place, missing keys are added at its end (a section is appended when there is none); every
// other line, comment and line ending stays as it was.
// `comments` (one per waypoint, may be shorter) become the comment line directly above each
// key: a comment line standing there is replaced (by "; (empty)" above a key set empty),
// otherwise one is inserted.
CfgEdit cfg_set_route(const std::string& original, int route, const std::vector<GeoPoint>& waypoints,
                      const std::vector<std::string>& comments = {});
// Route `route` of `cfg_text` from the chosen waypoints of a plan, each with its comment.
CfgEdit pln_set_route(const std::string& cfg_text, int route, const std::vector<PlnWaypoint>& plan,
                      const std::vector<size_t>& chosen);
