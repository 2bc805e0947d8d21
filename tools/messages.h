// The route check's and the plan import's messages: one identifier each with its English wording,
// and the values it names. The tools print the English; the trainer hands identifier and values on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Identifier and English wording; {name} is a value, which may be another message (a part).
// A value a message lacks reads as nothing.
#define Q14_MESSAGES(M_)                                                                                            \
    /* the route file as a whole and its lines */                                                                  \
    M_(FileUtf8Bom, "the file is {encoding} (Notepad's \"UTF-8\"): the units read it all the same (letters the "      \
                    "Windows code page lacks read as '?')")                                                         \
    M_(FileUtf16Le, "the file is {encoding} (Notepad's \"Unicode\"): the units read it all the same (letters the "    \
                    "Windows code page lacks read as '?')")                                                         \
    M_(FileUtf16Be, "the file is {encoding} (Notepad's \"Unicode big endian\"): the units read it all the same "       \
                    "(letters the Windows code page lacks read as '?')")                                            \
    M_(FileOddByte, "the file ends in half a UTF-16 character (an odd number of bytes): the units read the last "      \
                    "character with whatever byte follows the file in memory")                                      \
    M_(LineNul, "the line holds a NUL byte: the units read its name and value only up to it")                        \
    M_(LineSkipped, "the units skip this line: it is neither a [section], a key=value line nor a ';' comment")        \
    M_(FileNotText, "not a text file (byte {byte} is NUL) and no [PPM] section in it: the units read every waypoint "   \
                    "of every route as 1*0,1*0")                                                                    \
    M_(FileNoPpm, "no [PPM] section: the units read every waypoint of every route as 1*0,1*0 (1\xC2\xB0N 1\xC2\xB0"   \
                  "E)")                                                                                             \
    M_(HeaderSecondBracket, "a second ']' on the line: the section name runs to the last one, so the units read it "  \
                            "as [{name}]")                                                                          \
    M_(HeaderTextAfter, "the units read the section [{name}] and ignore '{after}' after its ']'")                     \
    M_(SectionAgain, "[{name}] appears again (first on line {first}): the units read keys only from the first, "      \
                     "never from this one")                                                                         \
    M_(KeyBeforeSection, "stands before any section: the units look for it in [{section}] only")                     \
    M_(KeyInOtherSection, "stands in section [{in}]: the units look for it in [{section}] only")                      \
    M_(SettingUnknown, "the units read no setting of this name (they read q14_kp, q14_kd, q14_bank_time, "            \
                       "vibr_kontrol and perc_pogr)")                                                               \
    M_(KeyInSecondSection, "stands in a second [{section}] section: the units read only the first, on line {first}")  \
    M_(KeyAgain, "appears again: the units read only the first, on line {first}")                                   \
    M_(KeyWaypointZero, "the units never read it: waypoint numbers run 1 to 9, a key ending in 0 is none")            \
    M_(KeyRouteOver3, "the units never read it: routes are numbered 0 to 3")                                         \
    M_(KeyNotPpm, "the units never read it: [PPM] keys are ppm_ and two digits, route then waypoint")                \
    M_(KeyNotPpmRoute0, "the units never read it: [PPM] keys are ppm_ and two digits, route then waypoint; route "    \
                        "0's keys have two digits, ppm_0{waypoint}")                                                \
    /* waypoints and routes */                                                                                     \
    M_(WaypointNoValue, "has no '=': the units find the key without a value and read it as 1*0,1*0, a waypoint at "   \
                        "1\xC2\xB0N 1\xC2\xB0" "E (a later line of the same key is never read)")                    \
    M_(WaypointMissing, "missing from [PPM]: the units read it as 1*0,1*0, a waypoint at 1\xC2\xB0N 1\xC2\xB0" "E")    \
    M_(RouteMissing, "route {route} is missing: the units read all nine waypoints as 1*0,1*0 (1\xC2\xB0N 1\xC2\xB0"   \
                     "E)")                                                                                          \
    M_(Route0Missing, "route {route} is missing: the units read all nine waypoints as 1*0,1*0 (1\xC2\xB0N "           \
                      "1\xC2\xB0" "E), and route 0 is the one copied into the working route")                        \
    M_(ValueTooLong, "longer than {max} characters: the units read only '{seen}'")                                   \
    M_(ValueNoNumber, "{why}: that part reads as 0, so the units read it as {place}")                                \
    M_(ValueNotDms, "'{seen}' is not deg*min,deg*min ({why}): the units read it as {place}")                          \
    M_(ValueTextAfter, "the units ignore '{rest}' after the value; comments must stand on lines of their own")        \
    M_(ValueOverflow, "'{seen}' adds up beyond any number: the units read it as {place}")                            \
    M_(HalfEmptyLat, "half of an empty waypoint: the units show a blank latitude but a waypoint all the same, and "   \
                     "navigate to latitude 99; an empty waypoint is 99*0,999*0")                                    \
    M_(HalfEmptyLon, "half of an empty waypoint: the units show a blank longitude but a waypoint all the same, and "  \
                     "navigate to longitude 999; an empty waypoint is 99*0,999*0")                                  \
    M_(MinusZero, "{what} -0*{min} reads as {read}: minus zero degrees is not negative, so the minutes keep their "    \
                  "sign; write 0*-{min} for {towards}")                                                            \
    M_(SignedMinutes, "{what} {deg}*{min} reads as {read}: minutes carry no sign of their own when the degrees are "   \
                      "not zero; the hemisphere rides on the degrees")                                              \
    M_(Minutes60, "{what} minutes of {min} (60 or more) read as {read}")                                             \
    M_(BeyondPole, "latitude {lat} lies beyond the pole: no place on the earth")                                     \
    M_(Beyond180, "longitude {lon} lies beyond 180\xC2\xB0: the units show it as written and fly to it by a wrapped "  \
                  "difference")                                                                                     \
    M_(NearPole, "{place} lies within 1\xC2\xB0 of the pole, where courses and longitudes lose their meaning")        \
    M_(AfterEmpty, "comes after the empty waypoint {empty}: the units fly the legs to and from the empty marks "      \
                   "(latitude 99, longitude 999), which are no place")                                              \
    M_(Route0Short, "route 0 has {count} waypoint(s) before its first empty one; the working route it is copied into " \
                    "needs at least two")                                                                           \
    M_(LegSamePlace, "the same place as {from} before it: the leg between them has no course")                       \
    M_(LegAntipodal, "the leg from {from} is {km} km long, between nearly opposite points of the globe: many great "  \
                     "circles come close to joining them, so its course hangs on the last digit")                   \
    M_(TurnBack, "a turn of {turn}\xC2\xB0 at this waypoint, nearly back the way it came: the units lead a turn as if " \
                 "it were 110\xC2\xB0 at most, so the aircraft overshoots it widely")                              \
    M_(LegShort, "the leg from {from} is {km} km, shorter than the turn lead here ({lead} km at {speed} km/h) plus 1 "  \
                 "km: the units never leave it automatically")                                                      \
    /* the parts of a route value the messages above name */                                                       \
    M_(PartLatDeg, "latitude degrees")                                                                              \
    M_(PartLatMin, "latitude minutes")                                                                              \
    M_(PartLonDeg, "longitude degrees")                                                                             \
    M_(PartLonMin, "longitude minutes")                                                                             \
    M_(PartLatitude, "latitude")                                                                                    \
    M_(PartLongitude, "longitude")                                                                                  \
    M_(PartSouth, "south")                                                                                          \
    M_(PartWest, "west")                                                                                            \
    M_(ScanNoSeparator, "no '{sep}' after the {part}")                                                              \
    M_(ScanNoStart, "no {part} at the start")                                                                       \
    M_(ScanNoPart, "no {part} after the '{sep}'")                                                                   \
    M_(ScanNoNumber, "'{text}' in the {part} is no number")                                                         \
    /* settings */                                                                                                 \
    M_(SettingNoValue, "has no '=': the units find the key without a value and use the default {default} (a later "   \
                       "line of the same key is never read)")                                                       \
    M_(SettingNotNumber, "'{seen}' is not a number: the units read 0 ({meaning})")                                   \
    M_(SettingUnusable, "'{seen}' is no usable number: the units take the default {default} instead")                \
    M_(SettingComma, "the units read {value} and ignore '{rest}' (the decimal mark is a point)")                      \
    M_(SettingTextAfter, "the units read {value} and ignore '{rest}'; comments must stand on lines of their own")     \
    M_(FaultTruncated, "the units truncate {value} to {fault}")                                                      \
    M_(FaultValue, "a fault value of {fault}: {meaning}; 1 is usual")                                                \
    M_(SettingRange, "{value} lies outside the sensible {lo} to {hi}: {meaning}")                                    \
    M_(MeaningKp, "the autopilot's cross-track gain; 0 leaves it without steering, a negative gain steers away from "  \
                  "the track")                                                                                      \
    M_(MeaningKd, "the autopilot's damping of the cross-track rate; a negative value makes the steering swing")       \
    M_(MeaningBankTime, "seconds of rolling into a turn, part of every turn lead")                                   \
    M_(MeaningVibrKontrol, "0 switches the vibration fault off; any other value raises it")                          \
    M_(MeaningPercPogr, "unit 1's dead-reckoning error in percent above which it corrects its scale")                 \
    /* flight plans */                                                                                             \
    M_(PlanEncoding, "the plan declares the encoding '{encoding}', which the importer does not read (it reads "      \
                     "UTF-8, UTF-16 with a byte-order mark, ISO-8859-1 and windows-1252)")                         \
    M_(PlanNul, "byte {byte} is a NUL character: not a text file (UTF-16 needs its byte-order mark)")                \
    M_(PlanEmpty, "the file is empty")                                                                               \
    M_(PlanXmlBroken, "line {line}: not well-formed XML ({detail})")                                                \
    M_(PlanNotFlightPlan, "no <FlightPlan.FlightPlan> element inside <SimBase.Document>: not a simulator flight plan") \
    M_(PlanWaypoint, "waypoint {number}")                                                                            \
    M_(PlanWaypointIdent, "waypoint {number} ({ident})")                                                             \
    M_(PlanNoPosition, "line {line}: {name} has no <WorldPosition>")                                                 \
    M_(PlanIcaoOnly, "line {line}: {name} has no <WorldPosition>: the plan's fixes carry ICAO names only, as "        \
                     "planners export plans for newer simulators that look positions up in their own database, "   \
                     "which this importer does not have. Export the plan in the older format, with a "              \
                     "<WorldPosition> for every waypoint (or save it again from a planner set to write positions), " \
                     "and import that")                                                                             \
    M_(PlanBadPosition, "line {line}: {name}: WorldPosition '{position}' is not like N55\xC2\xB0 45' 30.00\","        \
                        "E37\xC2\xB0 36' 12.00\",+000500.00: {why}")                                                \
    M_(PlanHeaderOpen, "line {line}: section header '{text}' has no ']'")                                           \
    M_(PlanNotKeyValue, "line {line}: '{text}' is neither a section header nor a key=value line")                    \
    M_(PlanKeyNoNumber, "line {line}: '{key}' does not end in a waypoint number")                                    \
    M_(PlanKeyAgain, "line {line}: {key} appears a second time (first on line {first})")                             \
    M_(PlanFields, "line {line}: {key} has {count} fields; expected 'region, ident, , ident, type, N46* 13.91', E6* "  \
                   "6.49', +001410.99,'")                                                                           \
    M_(PlanBadLat, "line {line}: {key}: latitude '{text}' is not like N46* 13.91': {why}")                           \
    M_(PlanBadLon, "line {line}: {key}: longitude '{text}' is not like E6* 6.49': {why}")                            \
    M_(PlanNoIniSection, "no [flightplan] section: neither an XML nor an INI flight plan")                           \
    M_(PlanNoAtcWaypoint, "the flight plan lists no <ATCWaypoint>")                                                  \
    M_(PlanNoIniWaypoint, "the [flightplan] section lists no waypoint.N")                                            \
    M_(CoordNoComma, "no ',' after the latitude")                                                                   \
    M_(CoordAltitude, "the altitude after the longitude is not a number")                                           \
    M_(CoordEnd, "unexpected '{text}' at the end")                                                                  \
    M_(CoordAfter, "unexpected '{text}' after it")                                                                  \
    M_(CoordNoNS, "no N or S at the start")                                                                         \
    M_(CoordNoEW, "no E or W at the start")                                                                         \
    M_(CoordNoDegrees, "no degrees after the hemisphere letter")                                                    \
    M_(CoordNoDegreeMark, "no degree mark after the degrees")                                                       \
    M_(CoordNoMinuteMark, "no ' after the minutes")                                                                 \
    M_(CoordNoSecondMark, "no \" after the seconds")                                                                \
    M_(CoordNoMinutes, "no minutes after the degree mark")                                                          \
    M_(CoordOver60, "minutes and seconds must not exceed 60")                                                       \
    M_(CoordBeyondLat, "latitude beyond 90 degrees")                                                                \
    M_(CoordBeyondLon, "longitude beyond 180 degrees")                                                              \
    M_(RouteNone, "route {route} does not exist (routes are 0 to 3)")                                               \
    M_(RouteOverNine, "a route holds nine waypoints, not {count}")                                                  \
    M_(ImportNothing, "nothing to import")                                                                           \
    M_(ImportTooFew, "the plan has {count} distinct waypoint(s); a route needs at least two")                        \
    M_(ImportUnflyable, "fewer than two flyable waypoints are left: {why}")                                          \
    /* what the import left out of a plan */                                                                       \
    M_(DropSamePlace, "the same place as {from} before it")                                                          \
    M_(DropShortLeg, "{km} km from {from}, less than a turn lead plus 1 km ({need} km): no unit can fly it as a leg")  \
    M_(DropShortLegEnd, "{km} km before the destination {to}, less than a turn lead plus 1 km ({need} km): no unit "  \
                        "can fly it as a leg")                                                                      \
    M_(DropLeastChange, "{km} km off the line from {from} to {to}: the least change to the route")                   \
    M_(DropPastNinth, "after the ninth")                                                                             \
    M_(Unflyable, "its departure {from} and destination {to}: {why}")                                                \
    M_(Unnamed, "(unnamed)")                                                                                         \
    M_(NoteDropped, "dropped {name} (line {line}): {why}")                                                           \
    M_(NoteName, "{name} (line {line})")                                                                             \
    M_(NoteMore, " and {count} more")                                                                                \
    M_(NoteManySamePlace, "dropped {count} waypoint(s) at the same place as the one before them: {names}{more}")     \
    M_(NoteManyUnflyable, "dropped {count} waypoint(s) closer to their neighbour than a turn lead plus 1 km (no unit " \
                          "can fly such a leg): {names}{more}")                                                     \
    M_(NoteManyLeastChange, "dropped {count} waypoint(s) whose loss changes the route least: {names}{more}")         \
    M_(NotePastNinth, "left out {count} waypoint(s) after the ninth: {names}{more}")                               \
    /* a saved flight's record values out of range (the trainer's check before unit 2 gets it) */                  \
    M_(RecordField, "{field} = {value} ({range})")                                                                   \
    M_(RecordLat, "waypoint latitude {waypoint} = {value} ({range})")                                               \
    M_(RecordLon, "waypoint longitude {waypoint} = {value} ({range})")                                              \
    M_(RangeLat, "-90..90 or 99 for none")                                                                          \
    M_(RangeLon, "-180..180 or 999 for none")                                                                       \
    M_(RangeNotNumber, "not a number")                                                                              \
    M_(RangeSpan, "{lo}..{hi}")                                                                                     \
    M_(RangeWorkState, "0, 2 or 3")

#define Q14_MESSAGE_ENUM(id, english) k##id,
enum class MessageId : uint16_t { kNone, Q14_MESSAGES(Q14_MESSAGE_ENUM) kCount };
#undef Q14_MESSAGE_ENUM
inline constexpr int kMessageCount = static_cast<int>(MessageId::kCount);

struct Message;
// A value of a message: a text as it stands, or other messages worded in its place (several
// are a list, separated by ", ").
struct MessageValue {
    const char* name = "";
    std::string text;
    std::vector<Message> parts;
    MessageId part = MessageId::kNone;  // a part that names no values of its own, kept as its identifier
};

// The most values a message names: they are kept in the message itself, so that making one
// (the route check makes dozens a file) allocates nothing for them.
inline constexpr int kMessageValuesMax = 4;

struct Message {
    MessageId id = MessageId::kNone;
    int count = 0;                              // values in use
    MessageValue values[kMessageValuesMax] = {};
};

// The values a message is made with, moved into it: message(id, {value, value}). More than
// kMessageValuesMax do not compile.
struct MessageValues {
    MessageValue values[kMessageValuesMax];
};
Message message(MessageId id, MessageValues&& values = {});
MessageValue message_value(const char* name, std::string text);
MessageValue message_value(const char* name, const Message& part);
MessageValue message_value(const char* name, std::vector<Message> list);
// The identifier's name ("FileNoPpm") and its English wording with the {name} places; "" for
// kNone and out of range.
const char* message_name(MessageId id);
const char* message_english(MessageId id);
// The message in English, as the tools print it; the second appends it to `out`.
std::string message_text(const Message& m);
void message_append_text(const Message& m, std::string& out);
// The message as JSON for the page: {"id":"...","values":{"name":"text"|{part}|[parts]}}.
std::string message_json(const Message& m);
// A JSON string literal of `s` (UTF-8 passes through; quotes, backslashes and control characters escaped).
std::string json_string(const std::string& s);
