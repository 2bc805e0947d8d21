// Tests of the tool's reading of the route file: look-up rules shared with the units, the
// waypoint value, and the checks that refuse a route the units could not fly.
#include <gtest/gtest.h>

#include "tools/files.h"
#include "tools/route_cfg.h"

namespace {

TEST(RouteCfg, LookupFollowsTheProfileReader) {
    const std::string text =
        "[ppm]\n"
        "  PPM_01 =  \"55*45.5,37*36.2\"  \n"
        ";ppm_02=1*0,1*0\n"
        "ppm_01=ignored, the first one counts\n"
        "[SYS]\n"
        "ppm_02=in the wrong section\n"
        "[ PPM ]\r\n"
        "ppm_02=3*0,4*0\r\n";
    std::string v;
    int line = 0;
    ASSERT_TRUE(ini_lookup(text, "PPM", "ppm_01", v, &line));
    EXPECT_EQ(v, "55*45.5,37*36.2");
    EXPECT_EQ(line, 2);
    ASSERT_TRUE(ini_lookup(text, "PPM", "ppm_02", v, &line));
    EXPECT_EQ(v, "3*0,4*0");
    EXPECT_EQ(line, 8);
    EXPECT_FALSE(ini_lookup(text, "PPM", "ppm_03", v));
    EXPECT_EQ(route_key(0, 7), "ppm_07");
    EXPECT_EQ(route_key(3, 1), "ppm_31");
}

TEST(RouteCfg, ValuesParseAsTheUnitsReadThemOrAreRefusedWithAReason) {
    struct Good {
        const char* text;
        double lat, lon;
    } good[] = {
        {"55*45.5,37*36.2", 55 + 45.5 / 60, 37 + 36.2 / 60},
        {"-33*30,-70*15", -33.5, -70.25},
        {"-0*30,0*0", 0.5, 0},  // minus zero degrees is not negative
        {"0*-30,0*0", -0.5, 0},
        {" 99*0 , 999*0 ", 99, 999},
    };
    for (const Good& g : good) {
        double lat, lon;
        std::string why;
        ASSERT_TRUE(route_value_strict(g.text, lat, lon, why)) << g.text << ": " << why;
        EXPECT_NEAR(lat, g.lat, 1e-12) << g.text;
        EXPECT_NEAR(lon, g.lon, 1e-12) << g.text;
    }
    for (const char* bad : {"", "55*45.5", "55*45.5,37", "55 45.5,37*36.2", "55*45.5;37*36.2", "55*45.5,37*36.2x",
                            "N55*45,37*36", "55*,37*36", "1e999*0,1*0"}) {
        double lat, lon;
        std::string why;
        EXPECT_FALSE(route_value_strict(bad, lat, lon, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

std::string route0(const std::vector<std::string>& values) {
    std::string t = "[PPM]\n";
    for (size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty()) t += route_key(0, static_cast<int>(i) + 1) + "=" + values[i] + "\n";
    return t;
}

TEST(RouteCfg, RoutesEndAtTheirFirstEmptyWaypoint) {
    std::vector<std::string> v(9, "99*0,999*0");
    v[0] = "55*0,37*0";
    v[1] = "56*0,37*0";
    v[2] = "56*0,38*0";
    std::vector<GeoPoint> route;
    std::string error;
    ASSERT_TRUE(route_from_cfg(route0(v), 0, route, error)) << error;
    ASSERT_EQ(route.size(), 3u);
    EXPECT_DOUBLE_EQ(route[2].lon, 38);
}

TEST(RouteCfg, RoutesTheUnitsCouldNotFlyAreRefusedNamingTheKey) {
    std::vector<std::string> full = {"55*0,37*0", "56*0,37*0", "56*0,38*0", "55*0,38*0", "55*0,39*0",
                                     "56*0,39*0", "56*0,40*0", "55*0,40*0", "55*0,41*0"};
    struct Case {
        int index;
        const char* value;  // "" leaves the key out
        const char* expected;
    } cases[] = {
        {4, "", "waypoint 5 (ppm_05): the key is missing"},
        {2, "56*0;38*0", "waypoint 3 (ppm_03, line 4): '56*0;38*0' is not deg*min,deg*min"},
        {3, "99*0,999*0", "waypoint 5 (ppm_05, line 6): waypoint 4 before it is empty"},
        {1, "95*0,37*0", "off the earth"},
        {6, "56*0,39*0", "waypoint 7 (ppm_07, line 8): the same point as waypoint 6"},
        {1, "99*0,999*0", "waypoint 3 (ppm_03, line 4): waypoint 2 before it is empty"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> v = full;
        v[static_cast<size_t>(c.index)] = c.value;
        std::vector<GeoPoint> route;
        std::string error;
        EXPECT_FALSE(route_from_cfg(route0(v), 0, route, error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_TRUE(route.empty());
    }
    std::vector<std::string> one(9, "99*0,999*0");
    one[0] = "55*0,37*0";
    std::vector<GeoPoint> route;
    std::string error;
    EXPECT_FALSE(route_from_cfg(route0(one), 0, route, error));
    EXPECT_NE(error.find("at least two"), std::string::npos) << error;
}

TEST(RouteCfg, TheBundledSampleRouteIsFlyable) {
    std::string text, error;
    ASSERT_TRUE(read_whole_file(std::string(Q14_SOURCE_DIR) + "/data/sim/gauges/q14_cfg/q14_ppm.cfg", text, error)) << error;
    for (int r = 0; r < 4; ++r) {
        std::vector<GeoPoint> route;
        EXPECT_TRUE(route_from_cfg(text, r, route, error)) << "route " << r << ": " << error;
        EXPECT_GE(route.size(), 2u);
    }
}

}  // namespace
