// Unit 2's saved-flight state through the host stand-in: the save lands on the 19th frame
// after the simulator reports the flight saved, the restore on the 20th frame after load.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

long file_size(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// The autopilot button's lamp: frame 2 while steering is on.
double ap_lamp(HostModule* m) { return host_element_value(m, "QN14_def_AP_Key", apkey::kButton); }

class PersistScenario : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        char tmpl[] = "/tmp/q14_persist_scn_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        flight_ = dir_ + "/Saved Flight.FLT";
        host_set_flight_path(flight_);
    }
    void TearDown() override {
        host_reset();
        std::string cmd = "rm -rf '" + dir_ + "'";
        (void)std::system(cmd.c_str());
    }
    std::string state_file() const { return flight_ + ".insb"; }

    std::string dir_, flight_;
};

TEST_F(PersistScenario, SaveLandsOnThe19thFrameAfterTheEvent) {
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr);
    host_frames(30);  // past the restore, which finds no file
    ASSERT_EQ(file_size(state_file()), -1);
    host_raise_event(38, flight_);
    for (int frame = 1; frame <= 18; ++frame) {
        host_frame();
        ASSERT_EQ(file_size(state_file()), -1) << "frame " << frame;
    }
    host_frame();
    EXPECT_EQ(file_size(state_file()), 2048);
    // Once per event.
    std::remove(state_file().c_str());
    host_frames(60);
    EXPECT_EQ(file_size(state_file()), -1);
}

TEST_F(PersistScenario, OnlyTheCurrentFlightsEventSaves) {
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr);
    std::string other_case = dir_ + "/saved flight.FLT";
    host_raise_event(38, other_case);
    host_raise_event(37, flight_);
    host_frames(60);
    EXPECT_EQ(file_size(state_file()), -1);
    EXPECT_EQ(file_size(other_case + ".insb"), -1);
}

TEST_F(PersistScenario, UnitOneKeepsNoFlights) {
    HostModule* n1 = host_open_unit(1);
    ASSERT_NE(n1, nullptr);
    host_raise_event(38, flight_);
    host_frames(60);
    EXPECT_EQ(file_size(state_file()), -1);
}

TEST_F(PersistScenario, RestoreRunsOnThe20thFrameAfterLoad) {
    // First flight: steering on, then the simulator saves the flight.
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr);
    host_frames(25);
    host_click(n2, "QN14_def_AP_Key", apkey::kToggle);
    host_frame();
    ASSERT_EQ(ap_lamp(n2), 2.0);
    host_raise_event(38, flight_);
    host_frames(19);
    ASSERT_EQ(file_size(state_file()), 2048);
    host_unload(n2);

    // The module starts again with that flight loaded.
    n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr);
    for (int frame = 1; frame <= 19; ++frame) {
        host_frame();
        ASSERT_EQ(ap_lamp(n2), 0.0) << "frame " << frame;
    }
    host_frame();
    EXPECT_EQ(ap_lamp(n2), 2.0);
    host_frames(100);  // once only: switching it off stays off
    host_click(n2, "QN14_def_AP_Key", apkey::kToggle);
    host_frames(40);
    EXPECT_EQ(ap_lamp(n2), 0.0);
}

}  // namespace
