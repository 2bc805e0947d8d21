// Module start and stop as the simulator sees them, and the service convention: the keyboard
// hook comes and goes with the module, and services the gauges do not know change nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/standin.h"
#include "platform/posix_control.h"

namespace {

const char* const kGauges[] = {"Q14_UVI", "Q14_PUR", "Q_14_SYS", "DigTest", "QN14_def_AP_Key", "Koord_i", "Koord_s"};
const int32_t kVariables[] = {1, 71, 72, 81, 86, 135, 170, 205, 240, 336, 554, 555, 604, 753};

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { host_reset(); }
    void TearDown() override { host_reset(); }
};

TEST_F(LifecycleTest, EachModuleHooksTheKeyboardWhileLoaded) {
    int base = plat_hook_count();
    HostModule* n1 = host_load(host_module_path(1));
    EXPECT_EQ(plat_hook_count(), base + 1);
    HostModule* n2 = host_load(host_module_path(2));
    EXPECT_EQ(plat_hook_count(), base + 2);
    host_unload(n1);
    EXPECT_EQ(plat_hook_count(), base + 1);
    host_unload(n2);
    EXPECT_EQ(plat_hook_count(), base);
}

// Without a hook the module runs on, and stopping it removes nobody else's hook.
TEST_F(LifecycleTest, FailedHookInstallationIsSkippedAtStop) {
    int base = plat_hook_count();
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr);
    plat_fail_next_hook_install();
    HostModule* n1 = host_open_unit(1);
    ASSERT_NE(n1, nullptr);
    EXPECT_EQ(plat_hook_count(), base + 1);
    host_click(n1, "Q14_UVI", 22);  // unit 1 takes focus but has no hook
    EXPECT_FALSE(host_key(80)) << "no hook of unit 1 to act on the key";
    host_key(80, 1, true);
    host_frames(3);
    uint64_t removals = plat_counters().hook_removals;
    host_unload(n1);
    EXPECT_EQ(plat_counters().hook_removals, removals) << "nothing to remove";
    EXPECT_EQ(plat_hook_count(), base + 1) << "unit 2's hook stays";
    host_unload(n2);
    EXPECT_EQ(plat_hook_count(), base);
}

// Everything the host can observe, and how often each simulator variable was read.
struct Observed {
    HostSnapshot seen;
    std::vector<uint64_t> reads;
    bool operator==(const Observed&) const = default;
};

Observed observe(const std::vector<HostModule*>& modules) {
    Observed o{host_snapshot(modules), {}};
    for (int32_t id : kVariables) o.reads.push_back(host_sim_variable_reads(id));
    return o;
}

TEST_F(LifecycleTest, UnknownServicesChangeNothing) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2);
    // A unit switched on and running, steering on, focus taken: plenty of state to disturb.
    host_aircraft().lat = 55.5;
    host_aircraft().lon = 37.25;
    for (HostModule* m : {n1, n2}) {
        for (int i = 0; i < 3; ++i) host_click(m, "Q14_PUR", 2);
        host_click(m, "QN14_def_AP_Key", 1);
        host_click(m, "Koord_s", 1);
    }
    host_click(n2, "Q14_UVI", 22);
    host_frames(40);
    Observed before = observe({n1, n2});
    for (int32_t service : {0, 1, 3, 5, 7, 8, 10, 11, 13, 15, 99, -1, 0x7FFFFFFF})
        for (HostModule* m : {n1, n2})
            for (const char* g : kGauges) host_service(m, g, service);
    Observed after = observe({n1, n2});
    EXPECT_EQ(before.seen.values, after.seen.values);
    EXPECT_EQ(before.seen.texts, after.seen.texts);
    EXPECT_EQ(before.seen.flags, after.seen.flags);
    EXPECT_EQ(before.seen.names, after.seen.names);
    EXPECT_EQ(before.seen.named_values, after.seen.named_values);
    EXPECT_EQ(before.seen.named_log, after.seen.named_log);
    EXPECT_EQ(before.seen.key_events, after.seen.key_events);
    EXPECT_EQ(before.seen.element_ops, after.seen.element_ops);
    EXPECT_EQ(before.reads, after.reads);
    // The next frame sees the same units as without the stray services.
    host_frame();
    EXPECT_TRUE(host_text_buffers_intact());
}

}  // namespace
