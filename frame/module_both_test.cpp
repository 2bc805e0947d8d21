// Module start and stop: the keyboard hook for the calling thread, the unit 2 event
// callback, and a failed hook installation that leaves nothing to remove.
#include <gtest/gtest.h>

#include <vector>

#include "frame/host_api.h"
#include "frame/module.h"
#include "nav/state.h"
#include "platform/posix_control.h"

namespace {

struct EventCall {
    bool registered;
    int32_t kind;
    HostEventCallback cb;
    uint32_t a, b;
};
std::vector<EventCall> g_calls;

int32_t Q14_STDCALL fake_register(int32_t kind, HostEventCallback cb, uint32_t a, uint32_t b) {
    g_calls.push_back({true, kind, cb, a, b});
    return 1;
}
int32_t Q14_STDCALL fake_unregister(int32_t kind, HostEventCallback cb, uint32_t a, uint32_t b) {
    g_calls.push_back({false, kind, cb, a, b});
    return 1;
}

class ModuleStartStopTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        events = HostEvents{};
        events.register_event_callback = fake_register;
        events.unregister_event_callback = fake_unregister;
        for (ImportEntry& e : ImportTable.e)
            if (e.id == kTableHostEvents) e.table = &events;
        ASSERT_EQ(g_nav.hook_handle, nullptr);
    }
    void TearDown() override {
        for (ImportEntry& e : ImportTable.e)
            if (e.id == kTableHostEvents) e.table = nullptr;
        g_nav.hook_handle = nullptr;
    }
    HostEvents events;
};

TEST_F(ModuleStartStopTest, StartHooksTheKeyboardAndStopUnhooksIt) {
    int before = plat_hook_count();
    module_init();
    EXPECT_NE(g_nav.hook_handle, nullptr);
    EXPECT_EQ(plat_hook_count(), before + 1);
    uint64_t removals = plat_counters().hook_removals;
    module_deinit();
    EXPECT_EQ(g_nav.hook_handle, nullptr);
    EXPECT_EQ(plat_hook_count(), before);
    EXPECT_EQ(plat_counters().hook_removals, removals + 1);
    module_deinit();  // a second stop has nothing left to remove
    EXPECT_EQ(plat_counters().hook_removals, removals + 1);
}

TEST_F(ModuleStartStopTest, FailedHookInstallationLeavesNothingToRemove) {
    int before = plat_hook_count();
    plat_fail_next_hook_install();
    module_init();
    EXPECT_EQ(g_nav.hook_handle, nullptr);
    EXPECT_EQ(plat_hook_count(), before);
    uint64_t removals = plat_counters().hook_removals;
    module_deinit();
    EXPECT_EQ(plat_counters().hook_removals, removals);
    // Unit 2 still registers and unregisters its event callback.
    EXPECT_EQ(g_calls.size(), kUnit.persists_flights ? 2u : 0u);
}

// Unit 2 registers one callback for event kind 16 and withdraws the same one; unit 1 has no
// host-events table and calls nothing.
TEST_F(ModuleStartStopTest, EventCallbackComesAndGoesWithUnit2) {
    module_init();
    module_deinit();
    if (!kUnit.persists_flights) {
        EXPECT_TRUE(g_calls.empty());
        EXPECT_EQ(host_events(), nullptr) << "unit 1 imports the panel services only";
        return;
    }
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_TRUE(g_calls[0].registered);
    EXPECT_FALSE(g_calls[1].registered);
    for (const EventCall& c : g_calls) {
        EXPECT_EQ(c.kind, 16);
        EXPECT_NE(c.cb, nullptr);
        EXPECT_EQ(c.cb, g_calls[0].cb);
        EXPECT_EQ(c.a, 0u);
        EXPECT_EQ(c.b, 0u);
    }
}

}  // namespace
