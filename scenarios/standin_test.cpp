// The host stand-in itself: loading both modules side by side, its frame clock, simulator
// variables, keystroke flags and the aircraft model the scenarios fly.
#include <gtest/gtest.h>

#include <cmath>

#include "host/standin.h"

namespace {

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { host_reset(); }
    void TearDown() override { host_reset(); }
};

TEST_F(StandinTest, LoadsBothUnitsSideBySide) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n1, nullptr) << host_last_error();
    ASSERT_NE(n2, nullptr) << host_last_error();
    EXPECT_NE(n1, n2);
    EXPECT_EQ(host_linkage(n1)->version, 0x800u);
    EXPECT_EQ(host_linkage(n2)->version, 0x900u);
    // Each module has its own records.
    EXPECT_NE(host_gauge(n1, "Q14_UVI"), host_gauge(n2, "Q14_UVI"));
    host_frames(3);
    EXPECT_EQ(host_frame_number(), 3u);
}

}  // namespace
