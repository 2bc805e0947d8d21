// Tests of the flight-plan import: both plan forms and their encodings, refusals that name the
// line, the route value format as the units read it back, and the route file rewrite.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/import_pln.h"
#include "tools/route_cfg.h"

namespace {

const char* const kXmlPlan =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SimBase.Document Type=\"AceXML\" version=\"1,0\">\n"
    "  <FlightPlan.FlightPlan>\n"
    "    <Title>UUEE to ULLI</Title>\n"
    "    <ATCWaypoint id=\"UUEE\">\n"
    "      <ATCWaypointType>Airport</ATCWaypointType>\n"
    "      <WorldPosition>N55\xC2\xB0 58' 22.00\",E37\xC2\xB0 24' 54.00\",+000622.00</WorldPosition>\n"
    "    </ATCWaypoint>\n"
    "    <ATCWaypoint id=\"SOUTH\">\n"
    "      <ATCWaypointType>Intersection</ATCWaypointType>\n"
    "      <WorldPosition>S0\xC2\xB0 30' 0.00\",W0\xC2\xB0 15' 36.00\",+010000.00</WorldPosition>\n"
    "    </ATCWaypoint>\n"
    "    <ATCWaypoint>\n"
    "      <WorldPosition>N59\xC2\xB0 48' 1.20\",E30\xC2\xB0 15' 48.00\",+000078.00</WorldPosition>\n"
    "      <ICAO><ICAOIdent>ULLI</ICAOIdent></ICAO>\n"
    "    </ATCWaypoint>\n"
    "  </FlightPlan.FlightPlan>\n"
    "</SimBase.Document>\n";

const char* const kIniPlan =
    "[flightplan]\r\n"
    "title=LSGG to LFSB\r\n"
    "waypoint.1=, GVA, , GVA, V, N46* 15.30', E6* 8.00', +000000.00,\r\n"
    "waypoint.0=, LSGG, , LSGG, A, N46* 13.91', E6* 6.49', +001410.99,\r\n"
    "; a comment\r\n"
    "waypoint.2=, , , LFSB, A, N47* 35.40', E7* 31.80', +000885.00,\r\n";

constexpr double kMinute = 1.0 / 60;

TEST(ImportPln, XmlFormGivesWaypointsInOrderWithIdentsTypesAndLines) {
    PlnResult r = parse_pln(kXmlPlan);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.form, "XML");
    ASSERT_EQ(r.waypoints.size(), 3u);
    EXPECT_EQ(r.waypoints[0].ident, "UUEE");
    EXPECT_EQ(r.waypoints[0].type, "Airport");
    EXPECT_EQ(r.waypoints[0].line, 5);
    EXPECT_NEAR(r.waypoints[0].lat, 55 + 58 * kMinute + 22.0 / 3600, 1e-9);
    EXPECT_NEAR(r.waypoints[0].lon, 37 + 24 * kMinute + 54.0 / 3600, 1e-9);
    EXPECT_NEAR(r.waypoints[1].lat, -0.5, 1e-9);
    EXPECT_NEAR(r.waypoints[1].lon, -(15.6 * kMinute), 1e-9);
    EXPECT_EQ(r.waypoints[2].ident, "ULLI");  // from <ICAOIdent> when the element has no id
}

TEST(ImportPln, IniFormOrdersByWaypointNumberAndTakesTheSecondIdentWhenTheFirstIsBlank) {
    PlnResult r = parse_pln(kIniPlan);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.form, "INI");
    ASSERT_EQ(r.waypoints.size(), 3u);
    EXPECT_EQ(r.waypoints[0].ident, "LSGG");
    EXPECT_EQ(r.waypoints[0].line, 4);
    EXPECT_NEAR(r.waypoints[0].lat, 46 + 13.91 * kMinute, 1e-9);
    EXPECT_NEAR(r.waypoints[0].lon, 6 + 6.49 * kMinute, 1e-9);
    EXPECT_EQ(r.waypoints[1].ident, "GVA");
    EXPECT_EQ(r.waypoints[2].ident, "LFSB");
    EXPECT_EQ(r.waypoints[2].type, "A");
}

std::string utf16le_with_bom(const std::string& utf8_ascii_or_degree) {
    std::string out = "\xFF\xFE";
    for (size_t i = 0; i < utf8_ascii_or_degree.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8_ascii_or_degree[i]);
        if (c == 0xC2 && i + 1 < utf8_ascii_or_degree.size()) {  // the degree sign, U+00B0
            out += '\xB0';
            out += '\0';
            ++i;
            continue;
        }
        out += static_cast<char>(c);
        out += '\0';
    }
    return out;
}

TEST(ImportPln, EncodingsReadTheSame) {
    std::string xml = kXmlPlan;
    std::string latin1 = xml;
    for (size_t p; (p = latin1.find("\xC2\xB0")) != std::string::npos;) latin1.replace(p, 2, "\xB0");
    for (const std::string& bytes : {std::string("\xEF\xBB\xBF") + xml, latin1, utf16le_with_bom(xml),
                                     utf16le_with_bom(kIniPlan)}) {
        PlnResult r = parse_pln(bytes);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.waypoints.size(), 3u);
        EXPECT_NEAR(r.waypoints[0].lat, r.form == "XML" ? 55.97277778 : 46.23183333, 1e-6);
    }
}

TEST(ImportPln, MalformedPlansAreRefusedWithTheLine) {
    struct Case {
        std::string text;
        std::string expected;  // part of the message
    } cases[] = {
        {"", "empty"},
        {"<SimBase.Document><FlightPlan.FlightPlan>\n<ATCWaypoint>\n</FlightPlan.FlightPlan>", "line 3"},
        {"<Other/>", "FlightPlan.FlightPlan"},
        {"<SimBase.Document><FlightPlan.FlightPlan></FlightPlan.FlightPlan></SimBase.Document>", "no <ATCWaypoint>"},
        {"<SimBase.Document><FlightPlan.FlightPlan>\n\n<ATCWaypoint id=\"X\"></ATCWaypoint>"
         "</FlightPlan.FlightPlan></SimBase.Document>",
         "line 3: waypoint 1 (X) has no <WorldPosition>"},
        {"<SimBase.Document><FlightPlan.FlightPlan>\n<ATCWaypoint>\n<WorldPosition>N95\xC2\xB0 0' 0\",E1\xC2\xB0 0' 0\"</WorldPosition>"
         "</ATCWaypoint></FlightPlan.FlightPlan></SimBase.Document>",
         "line 3"},
        {"<SimBase.Document><FlightPlan.FlightPlan><ATCWaypoint><WorldPosition>N55\xC2\xB0 61' 0\",E1\xC2\xB0 0' 0\""
         "</WorldPosition></ATCWaypoint></FlightPlan.FlightPlan></SimBase.Document>",
         "must not exceed 60"},
        {"<SimBase.Document><FlightPlan.FlightPlan><ATCWaypoint><WorldPosition>E37\xC2\xB0 0' 0\",N55\xC2\xB0 0' 0\""
         "</WorldPosition></ATCWaypoint></FlightPlan.FlightPlan></SimBase.Document>",
         "no N or S"},
        {"[flightplan]\nwaypoint.0=, A, , A, A, N46* 13.91', E6* 6.49', +0,\nwaypoint.0=, B, , B, A, N46* 1', E6* 1', +0,\n",
         "line 3: waypoint.0 appears a second time (first on line 2)"},
        {"[flightplan]\n\nwaypoint.x=, A, , A, A, N46* 13.91', E6* 6.49', +0,\n", "line 3"},
        {"[flightplan]\nwaypoint.0=, A, , A, A, N46* 13.91'\n", "line 2: waypoint.0 has 6 fields"},
        {"[flightplan]\nwaypoint.0=, A, , A, A, N46* 13.91', X6* 6.49', +0,\n", "line 2: waypoint.0: longitude"},
        {"[flightplan]\nwaypoint.0=, A, , A, A, N46 13.91', E6* 6.49', +0,\n", "no degree mark"},
        {"[flightplan]\njunk line\n", "line 2"},
        {"[other]\nwaypoint.0=, A, , A, A, N46* 13.91', E6* 6.49', +0,\n", "no [flightplan] section"},
        {std::string("[flightplan]\nwaypoint.0=\0x", 26), "NUL"},
    };
    for (const Case& c : cases) {
        PlnResult r = parse_pln(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_TRUE(r.waypoints.empty());
        EXPECT_NE(r.error.find(c.expected), std::string::npos) << "message: " << r.error << "\nplan: " << c.text;
    }
}

std::string xml_plan(const std::string& waypoints, const std::string& declaration = "") {
    return declaration + "<SimBase.Document><FlightPlan.FlightPlan>\n" + waypoints +
           "</FlightPlan.FlightPlan></SimBase.Document>\n";
}

std::string xml_waypoint(const std::string& id, const std::string& position) {
    return "<ATCWaypoint id=\"" + id + "\"><WorldPosition>" + position + "</WorldPosition></ATCWaypoint>\n";
}

// The plan forms pilots were seen to bring: each is read, with the first waypoint where it
// belongs and its name in UTF-8.
TEST(ImportPln, PlansAsPlannersWriteThemAreRead) {
    struct Row {
        const char* what;
        std::string bytes;
        double lat, lon;
        const char* ident;
    } rows[] = {
        {"WorldPosition wrapped in white space",
         xml_plan(xml_waypoint("A", "\n      N55\xC2\xB0 45' 30.00\",E37\xC2\xB0 36' 12.00\",+000500.00\n    ")),
         55 + 45.5 * kMinute, 37 + 36.2 * kMinute, "A"},
        {"seconds written as 60.00\"",
         xml_plan(xml_waypoint("A", "N55\xC2\xB0 45' 60.00\",E37\xC2\xB0 59' 60.00\",+000500.00")),
         55 + 46 * kMinute, 38, "A"},
        {"decimal degrees", xml_plan(xml_waypoint("SLL", "N41.520000\xC2\xB0,E2.105000\xC2\xB0,+3000.00")), 41.52,
         2.105, "SLL"},
        {"decimal degrees, south and west, no degree mark", xml_plan(xml_waypoint("X", "S12.5,W77.25,+0")), -12.5, -77.25,
         "X"},
        {"Latin-1 declared", xml_plan(xml_waypoint("Z\xFCrich", "N47\xB0 27' 0\",E8\xB0 33' 0\",+0"),
                                      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"),
         47.45, 8.55, "Z\xC3\xBCrich"},
        {"windows-1252 undeclared, INI form", "[flightplan]\nwaypoint.0=, K\xF6ln, , K\xF6ln, A, N50* 52.00', E7* 8.00', +0,\n",
         50 + 52 * kMinute, 7 + 8 * kMinute, "K\xC3\xB6ln"},
    };
    for (const Row& row : rows) {
        PlnResult r = parse_pln(row.bytes);
        ASSERT_TRUE(r.ok) << row.what << ": " << r.error;
        EXPECT_NEAR(r.waypoints[0].lat, row.lat, 1e-9) << row.what;
        EXPECT_NEAR(r.waypoints[0].lon, row.lon, 1e-9) << row.what;
        EXPECT_EQ(r.waypoints[0].ident, row.ident) << row.what;
    }
    // A plan whose fixes carry ICAO names only says so and what to do.
    PlnResult names_only = parse_pln(xml_plan(
        "<ATCWaypoint id=\"LEBL\"><ATCWaypointType>Airport</ATCWaypointType><ICAO><ICAOIdent>LEBL</ICAOIdent></ICAO>"
        "</ATCWaypoint>\n"));
    EXPECT_FALSE(names_only.ok);
    EXPECT_NE(names_only.error.find("ICAO names only"), std::string::npos) << names_only.error;
    EXPECT_NE(names_only.error.find("with a <WorldPosition> for every waypoint"), std::string::npos) << names_only.error;
    PlnResult other = parse_pln(xml_plan(xml_waypoint("A", "N1\xC2\xB0 0' 0\",E1\xC2\xB0 0' 0\""),
                                         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"));
    EXPECT_FALSE(other.ok);
    EXPECT_NE(other.error.find("'shift_jis'"), std::string::npos) << other.error;
}

// Departure, a runway point 1 km on, a procedure point, airway fixes, two points beside the
// destination and the destination: fourteen in all.
std::vector<PlnWaypoint> fourteen_waypoints() {
    const struct {
        const char* id;
        double lat, lon;
    } p[] = {{"LEBL", 41.2969, 2.0783},  {"RW25R", 41.303, 2.088}, {"DUNES", 41.25, 1.9167}, {"SLL", 41.52, 2.105},
             {"GIR", 41.9333, 2.7667},   {"LATEK", 42.5, 3.1667},  {"PPG", 42.7, 2.8667},    {"FJR", 43.5833, 3.9667},
             {"MTL", 44.55, 4.7833},     {"LSA", 45.6667, 5.0833}, {"BELUS", 46.0, 5.6667},  {"PAS", 46.1667, 6.0},
             {"GVA", 46.255, 6.1333},    {"LSGG", 46.2381, 6.1089}};
    std::vector<PlnWaypoint> v;
    for (const auto& x : p) {
        PlnWaypoint w;
        w.ident = x.id;
        w.lat = x.lat;
        w.lon = x.lon;
        w.line = static_cast<int>(v.size()) + 5;
        v.push_back(w);
    }
    return v;
}

TEST(ImportPln, ALongPlanKeepsItsDepartureAndDestination) {
    const std::vector<PlnWaypoint> plan = fourteen_waypoints();
    std::vector<PlnDrop> dropped;
    std::vector<size_t> kept = choose_route_points(plan, 600, false, dropped);
    ASSERT_EQ(kept.size(), 9u);
    EXPECT_EQ(plan[kept.front()].ident, "LEBL");
    EXPECT_EQ(plan[kept.back()].ident, "LSGG");
    ASSERT_EQ(dropped.size(), 5u);
    std::string reasons;
    for (const PlnDrop& d : dropped) reasons += plan[d.index].ident + ": " + d.why + "\n";
    EXPECT_NE(reasons.find("RW25R: 1.1 km from LEBL"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("GVA: 2.7 km before the destination LSGG"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("the least change to the route"), std::string::npos) << reasons;
    // Every leg kept is long enough to fly at that speed; the route stays in order.
    for (size_t k = 1; k < kept.size(); ++k) {
        EXPECT_LT(kept[k - 1], kept[k]);
        EXPECT_GT(geo_distance_km({plan[kept[k - 1]].lat, plan[kept[k - 1]].lon}, {plan[kept[k]].lat, plan[kept[k]].lon}),
                  unit_turn_lead_km(0, 600, 3.5) + 1);
    }
    // The old rule on request: the first nine that can be flown, the destination left out.
    dropped.clear();
    kept = choose_route_points(plan, 600, true, dropped);
    ASSERT_EQ(kept.size(), 9u);
    EXPECT_EQ(plan[kept[1]].ident, plan[2].ident);  // RW25R, 1.1 km from LEBL, goes first
    EXPECT_EQ(plan[kept.back()].ident, "LSA");
    EXPECT_EQ(dropped.size(), 5u);
    EXPECT_TRUE(dropped.back().past_ninth);
}

TEST(ImportPln, RouteValuesReadBackAsTheUnitsReadThem) {
    // Each value goes through the same parser rule the units use (minutes follow negative degrees).
    struct Case {
        double lat, lon;
        const char* text;
    } cases[] = {
        {55.758333333, 37.603333333, "55*45.5000,37*36.2000"},
        {-33.5, -70.25, "-33*30.0000,-70*15.0000"},
        {-0.5, -0.455, "0*-30.0000,0*-27.3000"},   // below one degree: the sign rides on the minutes
        {0.5, 179.99999999, "0*30.0000,180*0.0000"},  // minutes that round to 60 carry into degrees
        {-0.000000001, 0, "0*0.0000,0*0.0000"},     // rounds to zero: no "-0"
    };
    for (const Case& c : cases) {
        std::string v = format_route_value(c.lat, c.lon);
        EXPECT_EQ(v, c.text);
        double lat, lon;
        std::string why;
        ASSERT_TRUE(route_value_strict(v, lat, lon, why)) << why;
        EXPECT_NEAR(lat, c.lat, 1e-6);
        EXPECT_NEAR(lon, c.lon, 1e-6);
    }
}

const char* const kCfg =
    "; route file\r\n"
    "[PPM]\r\n"
    "; route 0\r\n"
    "ppm_01=55*58.4,37*24.9\r\n"
    "PPM_12 = 1*0,1*0\r\n"
    "ppm_11=2*0,2*0\r\n"
    "\r\n"
    "[SYS]\r\n"
    "q14_kp=60\r\n";

TEST(ImportPln, RewriteReplacesTheRoutesKeysInPlaceAndKeepsEverythingElse) {
    CfgEdit e = cfg_set_route(kCfg, 1, {{10, 20}, {-11.5, -21.25}, {12, 22}});
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.replaced, 2);
    EXPECT_EQ(e.added, 7);
    EXPECT_FALSE(e.section_added);
    EXPECT_EQ(e.text,
              "; route file\r\n"
              "[PPM]\r\n"
              "; route 0\r\n"
              "ppm_01=55*58.4,37*24.9\r\n"
              "PPM_12 = -11*30.0000,-21*15.0000\r\n"
              "ppm_11=10*0.0000,20*0.0000\r\n"
              "ppm_13=12*0.0000,22*0.0000\r\n"
              "ppm_14=99*0,999*0\r\n"
              "ppm_15=99*0,999*0\r\n"
              "ppm_16=99*0,999*0\r\n"
              "ppm_17=99*0,999*0\r\n"
              "ppm_18=99*0,999*0\r\n"
              "ppm_19=99*0,999*0\r\n"
              "\r\n"
              "[SYS]\r\n"
              "q14_kp=60\r\n");
    // What the units would now read: the new route, the other routes and settings untouched.
    std::vector<GeoPoint> route;
    std::string error, value;
    ASSERT_TRUE(route_from_cfg(e.text, 1, route, error)) << error;
    ASSERT_EQ(route.size(), 3u);
    EXPECT_NEAR(route[1].lat, -11.5, 1e-9);
    ASSERT_TRUE(ini_lookup(e.text, "PPM", "ppm_01", value));
    EXPECT_EQ(value, "55*58.4,37*24.9");
    ASSERT_TRUE(ini_lookup(e.text, "SYS", "q14_kp", value));
    EXPECT_EQ(value, "60");
}

TEST(ImportPln, RewriteAddsASectionToAFileWithoutOneAndWritesANewFile) {
    CfgEdit e = cfg_set_route("[SYS]\nq14_kp=60", 0, {{1, 2}, {3, 4}});
    ASSERT_TRUE(e.ok);
    EXPECT_TRUE(e.section_added);
    EXPECT_EQ(e.text.substr(0, 20), "[SYS]\nq14_kp=60\n\n[PP");
    EXPECT_NE(e.text.find("[PPM]\nppm_01=1*0.0000,2*0.0000\nppm_02=3*0.0000,4*0.0000\nppm_03=99*0,999*0\n"),
              std::string::npos);
    CfgEdit fresh = cfg_set_route("", 3, {{1, 2}, {3, 4}});
    ASSERT_TRUE(fresh.ok);
    EXPECT_EQ(fresh.text.substr(0, 32), "[PPM]\nppm_31=1*0.0000,2*0.0000\np");
    std::vector<GeoPoint> route;
    std::string error;
    EXPECT_TRUE(route_from_cfg(fresh.text, 3, route, error)) << error;
    EXPECT_EQ(route.size(), 2u);
}

TEST(ImportPln, RewriteNamesEachWaypointInTheCommentAboveItsKey) {
    const std::string before =
        "[PPM]\n"
        "; Route 1: Moscow to St Petersburg.\n"
        "; Sheremetyevo UUEE\n"
        "ppm_11=55*58.4,37*24.9\n"
        "; Veliky Novgorod\n"
        "ppm_12=58*31.3,31*16.5\n"
        "ppm_13=59*48.0,30*15.8\n"
        "; St Petersburg Pulkovo ULLI\n"
        "ppm_14=59*48.0,30*15.8\n";
    CfgEdit e = cfg_set_route(before, 1, {{55, 37}, {59.8, 30.2667}, {60, 30}}, {"UUEE (Airport)", "ULLI Pulkovo (A)", "X"});
    ASSERT_TRUE(e.ok) << e.error;
    EXPECT_EQ(e.text.substr(0, e.text.find("ppm_15")),
              "[PPM]\n"
              "; Route 1: Moscow to St Petersburg.\n"
              "; UUEE (Airport)\n"
              "ppm_11=55*0.0000,37*0.0000\n"
              "; ULLI Pulkovo (A)\n"
              "ppm_12=59*48.0000,30*16.0020\n"
              "; X\n"
              "ppm_13=60*0.0000,30*0.0000\n"
              "; (empty)\n"
              "ppm_14=99*0,999*0\n");
}

TEST(ImportPln, RewriteRefusesRoutesThatDoNotExist) {
    EXPECT_FALSE(cfg_set_route(kCfg, 4, {{1, 2}}).ok);
    EXPECT_FALSE(cfg_set_route(kCfg, -1, {{1, 2}}).ok);
    EXPECT_FALSE(cfg_set_route(kCfg, 0, std::vector<GeoPoint>(10, GeoPoint{1, 2})).ok);
}

}  // namespace
