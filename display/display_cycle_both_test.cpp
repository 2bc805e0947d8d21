// Tests of the requests the display cycle carries out in both units: route load and copy, and
// the settings read that only unit 1 does here.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/display_cycle.h"
#include "frame/unit_profile.h"
#include "platform/posix_control.h"

namespace {

// A simulator directory of our own, optionally with a route file below it.
class DisplayRequests : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q14_display_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        plat_set_host_exe_path((dir_ + "/sim.exe").c_str());
    }
    void TearDown() override {
        plat_set_host_exe_path(nullptr);
        if (!file_.empty()) std::remove(file_.c_str());
        rmdir((dir_ + "/gauges/q14_cfg").c_str());
        rmdir((dir_ + "/gauges").c_str());
        rmdir(dir_.c_str());
    }
    void write_file(const char* text) {
        ASSERT_EQ(mkdir((dir_ + "/gauges").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ + "/gauges/q14_cfg").c_str(), 0700), 0);
        file_ = dir_ + "/gauges/q14_cfg/q14_ppm.cfg";
        FILE* f = std::fopen(file_.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }
    std::string dir_, file_;
};

TEST_F(DisplayRequests, ReloadAndCopyTogetherFlyTheFreshRoute) {
    write_file("[PPM]\nppm_01=55*45.5,37*36.2\n[SYS]\nq14_kp=12\n");
    NavState s;
    s.route_reload_request = 1;
    s.route_copy_request = 1;
    s.settings_reload_request = 1;
    display_cycle(s);
    EXPECT_NEAR(s.ppm_lat[1], 55.758333, 1e-6);  // loaded before the copy of the same pass
    EXPECT_NEAR(s.ppm_lon[1], 37.603333, 1e-6);
    EXPECT_EQ(s.ppm_lat[2], 1.0);
    EXPECT_EQ(s.route_reload_request, 0);
    EXPECT_EQ(s.route_copy_request, 0);
    if (kUnit.settings_in_system_cycle) {  // the request waits for the system cycle
        EXPECT_EQ(s.settings_reload_request, 1);
        EXPECT_EQ(s.kp, 60.0);
    } else {
        EXPECT_EQ(s.settings_reload_request, 0);
        EXPECT_EQ(s.kp, 12.0);
    }
}

TEST_F(DisplayRequests, ReloadAloneLeavesTheWorkingRoute) {
    NavState s;
    s.ppm_lat[1] = 12.0;
    s.route_reload_request = 1;
    display_cycle(s);
    EXPECT_EQ(s.file_ppm_lat[1], 1.0);  // no file: 1 N 1 E
    EXPECT_EQ(s.ppm_lat[1], 12.0);
    EXPECT_EQ(s.route_reload_request, 0);
}

}  // namespace
