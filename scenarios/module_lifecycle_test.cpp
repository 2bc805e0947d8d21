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

// The focus mark of a unit's display (0 shown, -1 hidden) and the area that takes the focus.
constexpr int kFocusMark = 13, kFocusArea = 22, kScanPad2 = 80;

double focus_mark(HostModule* m) {
    host_update_elements(m, "Q14_UVI");
    return host_element_value(m, "Q14_UVI", kFocusMark);
}

// Opens the unit unless it is open, lets it run, has it take the focus and runs on.
HostModule* take_focus(int unit) {
    HostModule* m = host_open_unit(unit);
    if (!m) return nullptr;
    host_frames(2);
    host_click(m, "Q14_UVI", kFocusArea);
    host_frames(2);
    return m;
}

// Has an open unit take the focus afresh (a unit holding it lets go first): a new rise of its
// HOOK, which a partner watching it answers by letting go.
void retake_focus(HostModule* m) {
    for (int clicks = focus_mark(m) == 0.0 ? 2 : 1; clicks > 0; --clicks) {
        host_click(m, "Q14_UVI", kFocusArea);
        host_frames(2);
    }
}

// The partner's HOOK is bound when a unit's system gauge is initialised: the unit loaded second
// finds the first one's, the unit loaded first finds nothing and stays blind to its partner.
TEST_F(LifecycleTest, OnlyTheUnitLoadedSecondSeesItsPartner) {
    for (int first : {1, 2}) {
        SCOPED_TRACE("unit " + std::to_string(first) + " loaded first");
        host_reset();
        const int second = 3 - first;
        HostModule* unit[3] = {};
        unit[first] = take_focus(first);
        ASSERT_NE(unit[first], nullptr) << host_last_error();
        ASSERT_EQ(focus_mark(unit[first]), 0.0);
        unit[second] = take_focus(second);
        ASSERT_NE(unit[second], nullptr) << host_last_error();
        host_frames(20);
        EXPECT_EQ(focus_mark(unit[second]), 0.0);
        EXPECT_EQ(focus_mark(unit[first]), 0.0) << "the unit loaded first does not see its partner take the focus";

        retake_focus(unit[first]);
        host_frames(20);
        EXPECT_EQ(focus_mark(unit[first]), 0.0);
        EXPECT_EQ(focus_mark(unit[second]), -1.0) << "the unit loaded second gives the focus up";
    }
}

// The simulator sends no notice when it unloads a module, and a record bound to the partner's
// HOOK then holds an address into the freed module. Whichever unit stays behind runs on without
// reading it and holds the keyboard focus alone. Each unit's pre-kill withdraws both HOOK names,
// so a unit loaded again finds no partner and stays blind, while the unit that stayed sees it
// again only if its own binding at initialisation had found the partner.
TEST_F(LifecycleTest, APartnerUnloadedAndLoadedAgain) {
    struct Case {
        int first, goes;
        bool stays_sees_it_again;
    } cases[] = {
        {.first = 1, .goes = 1, .stays_sees_it_again = true},
        {.first = 1, .goes = 2, .stays_sees_it_again = false},
        {.first = 2, .goes = 2, .stays_sees_it_again = true},
        {.first = 2, .goes = 1, .stays_sees_it_again = false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("unit " + std::to_string(c.first) + " loaded first, unit " + std::to_string(c.goes) +
                     " unloaded");
        host_reset();
        const int stays = 3 - c.goes;
        HostModule* unit[3] = {};
        unit[c.first] = host_open_unit(c.first);
        unit[3 - c.first] = host_open_unit(3 - c.first);
        ASSERT_TRUE(unit[1] && unit[2]) << host_last_error();
        take_focus(c.goes);
        ASSERT_EQ(focus_mark(unit[c.goes]), 0.0);

        host_unload(unit[c.goes]);
        host_frames(20);
        take_focus(stays);
        host_frames(100);
        EXPECT_EQ(focus_mark(unit[stays]), 0.0) << "the focus stays with the unit left";
        EXPECT_TRUE(host_key(kScanPad2)) << "and its hook takes the keypad";
        host_key(kScanPad2, 1, true);

        unit[c.goes] = take_focus(c.goes);
        ASSERT_NE(unit[c.goes], nullptr) << host_last_error();
        host_frames(20);
        EXPECT_EQ(focus_mark(unit[c.goes]), 0.0);
        EXPECT_EQ(focus_mark(unit[stays]), c.stays_sees_it_again ? -1.0 : 0.0);

        retake_focus(unit[stays]);
        host_frames(20);
        EXPECT_EQ(focus_mark(unit[stays]), 0.0);
        EXPECT_EQ(focus_mark(unit[c.goes]), 0.0) << "the unit loaded again never sees its partner";
        EXPECT_TRUE(host_text_buffers_intact());
    }
}

}  // namespace
