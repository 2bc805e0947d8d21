// White-box tests of unit 1's system cycle where it differs from unit 2: no tick count, the
// debug copies and calibration, settings left to the display, no drift and no persistence.
#include <gtest/gtest.h>

#include <vector>

#include "nav/system_cycle_fake_test.h"

namespace {

class SystemCycleN1Test : public ::testing::Test {
protected:
    NavState s;

    void SetUp() override { fake_sim::install(); }
    void TearDown() override { fake_sim::uninstall(); }
    void cycle() { fake_sim::cycle(s); }
    void cycles(int n) { fake_sim::cycles(s, n); }
};

TEST_F(SystemCycleN1Test, ReadsNoTickCount) {
    fake_sim::g_values[1] = 37;
    cycle();
    const std::vector<int32_t> order = {71, 72, 86, 135, 170, 205, 240, 753, 604, 554, 555, 336};
    EXPECT_EQ(fake_sim::g_reads, order);
    EXPECT_EQ(s.tick_count, 0);

    fake_sim::g_reads.clear();
    system_connect(s);
    EXPECT_TRUE(fake_sim::g_reads.empty());
    EXPECT_EQ(s.route_reload_request, 1);
    EXPECT_EQ(s.settings_reload_request, 1);
    EXPECT_EQ(s.drift_rate_east, 0);
}

TEST_F(SystemCycleN1Test, DebugCopiesShowTheLastCyclesCalibration) {
    s.filt_north = 0.002;
    s.filt_east = -0.001;
    s.scale_north = 0.998;
    s.scale_east = 1.004;
    cycle();
    EXPECT_DOUBLE_EQ(s.dbg_err_north_pct, 0.2);
    EXPECT_DOUBLE_EQ(s.dbg_err_east_pct, -0.1);
    EXPECT_EQ(s.dbg_scale_north, 0.998);
    EXPECT_EQ(s.dbg_scale_east, 1.004);
    EXPECT_EQ(s.calib_counter, 1) << "calibration counts every cycle";
}

TEST_F(SystemCycleN1Test, SettingsWaitForTheDisplayCycle) {
    s.settings_reload_request = 1;
    cycle();
    EXPECT_EQ(s.settings_reload_request, 1);
    EXPECT_EQ(s.vibr_kontrol, 0);
}

TEST_F(SystemCycleN1Test, NoDriftStepsAndNoPersistence) {
    fake_sim::g_values[604] = 50;
    s.save_countdown = 45;
    cycles(60);
    EXPECT_EQ(s.sim_time_last_second, 0) << "no once-a-second step";
    EXPECT_EQ(s.load_countdown, 45);
    EXPECT_EQ(s.save_countdown, 45);
    EXPECT_EQ(fake_sim::g_flight_queries, 0);
}

TEST_F(SystemCycleN1Test, AlignmentCompletesAndKeepsTheDrift) {
    s.pur_selector = 0;
    cycle();
    s.pur_selector = 2;
    s.start_lat_set = s.start_lon_set = 1;
    cycles(180);
    ASSERT_EQ(s.align_running, 1);
    s.drift_north_m = 500;
    int k = 1;
    while (s.align_running == 1 && k < 6000) {
        cycle();
        ++k;
    }
    EXPECT_EQ(k, 5550);
    EXPECT_EQ(s.align_done, 1);
    EXPECT_EQ(s.drift_north_m, 500) << "stage 9 clears only unit 2's drift";
}

}  // namespace
