// Route file tests: the value parser on good and malformed values, and the load of a real
// file below a temporary simulator directory.
#include "display/route_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/posix_control.h"

namespace {

struct ParseCase {
    const char* text;
    double lat, lon;
};

TEST(RouteValue, ParsesDegreesAndMinutes) {
    const ParseCase cases[] = {
        {"55*45.5,37*36.2", 55.758333333, 37.603333333},
        {"-33*30,-70*15", -33.5, -70.25},
        {"-0*30,0*0", 0.5, 0.0},  // minus zero degrees is not south
        {"0*-30,0*0", -0.5, 0.0},
        {"0*0,-0*15", 0.0, 0.25},
        {"99*0,999*0", 99.0, 999.0},  // the empty marks, exactly
        {"1*0,1*0", 1.0, 1.0},
        {" 55 * 30 , 37 * 6 ", 55.5, 37.1},
        {"-179*59.9,179*59.9", -179.998333333, 179.998333333},
    };
    for (const auto& c : cases) {
        double lat = -1, lon = -1;
        parse_route_value(c.text, &lat, &lon);
        EXPECT_NEAR(lat, c.lat, 1e-6) << c.text;
        EXPECT_NEAR(lon, c.lon, 1e-6) << c.text;
    }
    double lat, lon;
    parse_route_value("99*0,999*0", &lat, &lon);
    EXPECT_EQ(lat, kEmptyLat);
    EXPECT_EQ(lon, kEmptyLon);
}

TEST(RouteValue, MalformedValuesStayInsideTheBuffer) {
    // A missing separator makes its part 0; separators are blanked one after the other, so
    // out-of-order ones still give what the blanked text reads.
    const ParseCase cases[] = {
        {"", 0, 0},
        {"55", 55, 0},
        {"55*30", 55.5, 0},
        {"55*30,37", 55.5, 37},
        {"55,37*30", 55.5, 37},  // "55,37 30": minutes 30 from the only "*", then 37
        {"abc*def,ghi*jkl", 0, 0},
        {"**,,**", 0, 0},
        {"55*45.5;37*36.2", 55.758333333, 0.603333333},  // no comma: longitude degrees 0
        {"1,*5*7", 1 + 5 / 60.0, 5 + 7 / 60.0},
        // Non-finite numbers are non-numbers: each part reads as 0, the others stand.
        {"nan*0,37*30", 0, 37.5},
        {"55*30,inf*0", 55.5, 0},
        {"-infinity*30,1e999*0", 0.5, 0},
        {"55*nan,37*-1e999", 55, 37},
        {"1.79e308*6e307,-1.79e308*6e307", 0, 0},  // each part finite, the sum is not
    };
    for (const auto& c : cases) {
        double lat = -1, lon = -1;
        parse_route_value(c.text, &lat, &lon);
        EXPECT_NEAR(lat, c.lat, 1e-6) << c.text;
        EXPECT_NEAR(lon, c.lon, 1e-6) << c.text;
    }
    double lat = -1, lon = -1;
    parse_route_value(nullptr, &lat, &lon);
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, 0.0);
}

TEST(RouteValue, ReadsNoFurtherThanTheFileReadWouldDeliver) {
    // The separators past character 63 are cut off, as the platform read cuts the value.
    std::string text = "10*30," + std::string(70, ' ') + "20*30";
    double lat, lon;
    parse_route_value(text.c_str(), &lat, &lon);
    EXPECT_NEAR(lat, 10.5, 1e-9);
    EXPECT_EQ(lon, 0.0);
    // A value of 300 digits and no terminator inside the first 63 characters.
    std::string digits(300, '7');
    parse_route_value(digits.c_str(), &lat, &lon);
    EXPECT_NEAR(lat, 7.777777e62, 1e57);
    EXPECT_EQ(lon, 0.0);
}

// A simulator directory of our own with the route file below it.
class RouteFile : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q14_route_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        plat_set_host_exe_path((dir_ + "/sim.exe").c_str());
    }
    void TearDown() override {
        plat_set_host_exe_path(nullptr);
        std::remove(file_.c_str());
        rmdir((dir_ + "/gauges/q14_cfg").c_str());
        rmdir((dir_ + "/gauges").c_str());
        rmdir(dir_.c_str());
    }
    void write_file(const std::string& text) {
        ASSERT_EQ(mkdir((dir_ + "/gauges").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ + "/gauges/q14_cfg").c_str(), 0700), 0);
        file_ = dir_ + "/gauges/q14_cfg/q14_ppm.cfg";
        FILE* f = std::fopen(file_.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
    std::string dir_, file_;
};

bool is_key_number(int nn) { return nn >= 1 && nn <= 39 && nn % 10 != 0; }

TEST_F(RouteFile, MissingFileGivesOneNorthOneEastEverywhere) {
    NavState s;
    s.route_reload_request = 1;
    route_load(s);
    for (int nn = 0; nn < 64; ++nn) {
        EXPECT_EQ(s.file_ppm_lat[nn], is_key_number(nn) ? 1.0 : 0.0) << nn;
        EXPECT_EQ(s.file_ppm_lon[nn], is_key_number(nn) ? 1.0 : 0.0) << nn;
    }
    EXPECT_EQ(s.file_ppm_index, 40);
    EXPECT_EQ(s.route_reload_request, 0);
}

TEST_F(RouteFile, ReadsEveryKeyAndNeverTheTens) {
    // Every key NN holds NN degrees north and NN*2 minutes of east longitude, the tens too.
    std::string text = "[SYS]\nq14_kp=60\n[PPM]\n";
    for (int nn = 0; nn <= 45; ++nn) {
        char line[64];
        std::snprintf(line, sizeof line, "ppm_%02d=%d*0,%d*%d\n", nn, nn, nn, nn % 30);
        text += line;
    }
    write_file(text);
    NavState s;
    for (int nn : {0, 10, 20, 30, 40, 41}) s.file_ppm_lat[nn] = s.file_ppm_lon[nn] = -5.0;
    route_load(s);
    for (int nn = 0; nn <= 45; ++nn) {
        if (is_key_number(nn)) {
            EXPECT_EQ(s.file_ppm_lat[nn], nn) << nn;
            EXPECT_NEAR(s.file_ppm_lon[nn], nn + (nn % 30) / 60.0, 1e-12) << nn;
        }
    }
    for (int nn : {0, 10, 20, 30, 40, 41}) {
        EXPECT_EQ(s.file_ppm_lat[nn], -5.0) << nn;
        EXPECT_EQ(s.file_ppm_lon[nn], -5.0) << nn;
    }
}

TEST_F(RouteFile, FileWithOnlyRouteZeroLeavesTheOthersAtTheDefault) {
    write_file(
        "; route 0 only\n[PPM]\nppm_01=55*58.4,37*24.9\nppm_02=-33*30,-70*15\nppm_05=99*0,999*0\n"
        "[SYS]\nppm_11=10*0,10*0\n");
    NavState s;
    route_load(s);
    EXPECT_NEAR(s.file_ppm_lat[1], 55.973333333, 1e-6);
    EXPECT_NEAR(s.file_ppm_lon[1], 37.415, 1e-6);
    EXPECT_EQ(s.file_ppm_lat[2], -33.5);
    EXPECT_EQ(s.file_ppm_lon[2], -70.25);
    EXPECT_EQ(s.file_ppm_lat[5], kEmptyLat);
    EXPECT_EQ(s.file_ppm_lon[5], kEmptyLon);
    for (int nn : {3, 4, 6, 9}) EXPECT_EQ(s.file_ppm_lat[nn], 1.0) << nn;
    // A key of another section is not a waypoint.
    for (int nn = 11; nn <= 39; ++nn) {
        if (!is_key_number(nn)) continue;
        EXPECT_EQ(s.file_ppm_lat[nn], 1.0) << nn;
        EXPECT_EQ(s.file_ppm_lon[nn], 1.0) << nn;
    }
}

TEST_F(RouteFile, CopyTakesRouteZeroIntoWaypointsOneToNine) {
    write_file("[PPM]\nppm_03=50*30,-1*30\nppm_13=12*0,12*0\n");
    NavState s;
    s.ppm_lat[0] = 44.0;
    s.ppm_lon[0] = 33.0;
    s.route_reload_request = s.route_copy_request = 1;
    route_load(s);
    route_copy(s);
    EXPECT_EQ(s.route_copy_request, 0);
    EXPECT_EQ(s.ppm_lat[0], 44.0);  // the start point is not the route's
    EXPECT_EQ(s.ppm_lon[0], 33.0);
    EXPECT_EQ(s.ppm_lat[3], 50.5);
    EXPECT_EQ(s.ppm_lon[3], -1.5);
    for (int w : {1, 2, 4, 9}) {
        EXPECT_EQ(s.ppm_lat[w], 1.0) << w;
        EXPECT_EQ(s.ppm_lon[w], 1.0) << w;
    }
}

// The sample file shipped with the bundled simulator directory loads as its comments say.
TEST(RouteSample, BundledFileLoadsEveryKey) {
    std::string src = __FILE__;
    src.erase(src.size() - std::string("display/route_file_test.cpp").size());
    plat_set_host_exe_path((src + "data/sim/sim.exe").c_str());
    NavState s;
    route_load(s);
    plat_set_host_exe_path(nullptr);
    for (int nn = 1; nn <= 39; ++nn) {
        if (!is_key_number(nn)) continue;
        // No key falls back to the default, and every waypoint is a position or empty.
        const double lat = s.file_ppm_lat[nn], lon = s.file_ppm_lon[nn];
        EXPECT_FALSE(lat == 1.0 && lon == 1.0) << nn;
        const bool empty = lat == kEmptyLat && lon == kEmptyLon;
        EXPECT_TRUE(empty || (std::fabs(lat) < 90 && std::fabs(lon) <= 180)) << nn;
    }
    EXPECT_NEAR(s.file_ppm_lat[1], 55.973333, 1e-6);    // Sheremetyevo
    EXPECT_NEAR(s.file_ppm_lon[21], -0.455, 1e-6);      // Heathrow, just west
    EXPECT_NEAR(s.file_ppm_lat[31], -12.021667, 1e-6);  // Lima, south
    EXPECT_NEAR(s.file_ppm_lon[31], -77.115, 1e-6);
    EXPECT_EQ(s.file_ppm_lat[6], kEmptyLat);
}

}  // namespace
