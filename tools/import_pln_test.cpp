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
         "below 60"},
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

TEST(ImportPln, RewriteRefusesRoutesThatDoNotExist) {
    EXPECT_FALSE(cfg_set_route(kCfg, 4, {{1, 2}}).ok);
    EXPECT_FALSE(cfg_set_route(kCfg, -1, {{1, 2}}).ok);
    EXPECT_FALSE(cfg_set_route(kCfg, 0, std::vector<GeoPoint>(10, GeoPoint{1, 2})).ok);
}

}  // namespace
