// The session script's instructor commands (external power, engines, position): what reaches the
// simulator variables the units read, what is refused whole, and frames run without a trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "host/session_script.h"
#include "host/standin.h"

namespace {

constexpr double kLatPerMetre = 8.998425275576774e-06;  // the modules' conversions
constexpr double kLonPerUnit = 1.2789769243681803e-12;
constexpr double kEnginePctPerUnit = 25.0 / 4096;

class SessionScriptTest : public ::testing::Test {
protected:
    void SetUp() override { host_reset(); }
    void TearDown() override { host_reset(); }
    bool run(const std::string& script) {
        trace.clear();
        return session_run(none, script, trace, error);
    }
    HostModule* none[2] = {};  // the commands below need no unit
    std::string trace, error;
};

TEST_F(SessionScriptTest, InstructorCommandsReachTheSimulatorVariables) {
    ASSERT_TRUE(run("power 0\nengines 70\nposition 55.5 -37.25\n")) << error;
    const Aircraft& a = host_aircraft();
    EXPECT_LE(aircraft_sim_variable(a, 753), 20.0) << "the units take 753 above 20 as external power";
    for (int id : {135, 170, 205, 240}) EXPECT_NEAR(aircraft_sim_variable(a, id) * kEnginePctPerUnit, 70.0, 1e-9) << id;
    EXPECT_NEAR(aircraft_sim_variable(a, 71) * kLatPerMetre, 55.5, 1e-9);
    EXPECT_NEAR(aircraft_sim_variable(a, 72) * kLonPerUnit, -37.25, 1e-9);
    ASSERT_TRUE(run("power 1 # back on the bus\nengines 0")) << error;
    EXPECT_GT(aircraft_sim_variable(a, 753), 20.0);
    EXPECT_EQ(aircraft_sim_variable(a, 135), 0.0);
}

TEST_F(SessionScriptTest, PositionsComeIntoRangeOrAreRefused) {
    struct Case {
        double lat, lon;
        bool taken;
        double want_lon;
    } cases[] = {
        {90, 0, true, 0},        {-90, 190, true, -170},  {10, 540, true, 180},     {10, -180, true, 180},
        {10, -181, true, 179},   {-0.5, -725, true, -5},  {90.001, 0, false, 0},    {-90.5, 0, false, 0},
        {NAN, 0, false, 0},      {0, INFINITY, false, 0}, {0, NAN, false, 0},
    };
    for (const Case& c : cases) {
        host_aircraft().lat = 1;
        host_aircraft().lon = 2;
        EXPECT_EQ(session_place_aircraft(c.lat, c.lon), c.taken) << c.lat << ' ' << c.lon;
        EXPECT_EQ(host_aircraft().lat, c.taken ? c.lat : 1) << c.lat << ' ' << c.lon;
        EXPECT_NEAR(host_aircraft().lon, c.taken ? c.want_lon : 2, 1e-9) << c.lat << ' ' << c.lon;
    }
}

TEST_F(SessionScriptTest, EnginePowerStaysWithinItsRange) {
    struct Case {
        double set, want;
    } cases[] = {{150, 100}, {-5, 0}, {NAN, 0}, {42.5, 42.5}, {INFINITY, 42.5}};
    for (const Case& c : cases) {
        session_set_engines(c.set);
        for (double e : host_aircraft().engine_pct) EXPECT_EQ(e, c.want) << c.set;
    }
}

// A bad line stops the script with its number and changes nothing; the line before it has run.
TEST_F(SessionScriptTest, BadInstructorLinesAreRefusedWhole) {
    const char* bad[] = {"power 2",      "power",           "power 0 1",      "engines -1", "engines 101",
                         "engines",      "engines 50 50",   "position 91 0",  "position 10",
                         "position 10 20 30", "position nan 0", "position 10 inf"};
    for (const char* line : bad) {
        host_reset();
        ASSERT_FALSE(run(std::string("engines 10\n") + line)) << line;
        EXPECT_NE(error.find("line 2"), std::string::npos) << line << ": " << error;
        const Aircraft& a = host_aircraft();
        EXPECT_TRUE(a.ext_power) << line;
        EXPECT_EQ(a.engine_pct[3], 10.0) << line;
        EXPECT_EQ(a.lat, 0.0) << line;
        EXPECT_EQ(a.lon, 0.0) << line;
    }
}

TEST_F(SessionScriptTest, UntracedFramesRunWithoutTraceLines) {
    HostModule* units[2] = {host_open_unit(1), host_open_unit(2)};
    ASSERT_NE(units[0], nullptr) << host_last_error();
    ASSERT_NE(units[1], nullptr) << host_last_error();
    std::string traced, untraced;
    ASSERT_TRUE(session_run(units, "frames 5", traced, error)) << error;
    EXPECT_EQ(host_frame_number(), 5u);
    ASSERT_TRUE(session_run(units, "frames 7\nclick 2 Q14_PUR SelectorUp", untraced, error, false)) << error;
    EXPECT_EQ(host_frame_number(), 12u);
    EXPECT_EQ(std::count(traced.begin(), traced.end(), '\n'), 5);
    EXPECT_TRUE(untraced.empty());
}

}  // namespace
