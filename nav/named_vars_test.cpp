// Unit 2's named variables (publish, bind, withdraw through the host's services) and the
// keyboard-focus arbitration between two units.
#include "nav/named_vars.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nav/named_vars_fake_test.h"

namespace {

class NamedVars : public ::testing::Test {
protected:
    void SetUp() override { fake_named::install(); }
    void TearDown() override { fake_named::uninstall(); }
};

TEST_F(NamedVars, PublishesSixValuesInOrder) {
    auto s = std::make_unique<NavState>();
    named_publish(*s);
    struct Want {
        const char* name;
        const void* address;
        int32_t type;
    } want[] = {
        {"Q14_N2_LBU", &s->lbu_var, 0x21},         {"Q14_N2_LBU_DIF", &s->lbu_dif_var, 0x21},
        {"Q14_N2_GOT", &s->got_var, 0x22},         {"Q14_N2_PU_DELTA", &s->pu_delta_var, 0x21},
        {"Q14_N2_HOOK", &s->kbd_focus, 0x22},      {"Q14_N2_OST_IND", &s->ost_ind, 0x22},
    };
    ASSERT_EQ(fake_named::g_calls.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(fake_named::g_calls[i].op, "publish");
        EXPECT_EQ(fake_named::g_calls[i].name, want[i].name);
        EXPECT_EQ(fake_named::g_calls[i].address, want[i].address);
        EXPECT_EQ(fake_named::g_calls[i].type, want[i].type);
    }
}

TEST_F(NamedVars, BindsTheOtherUnitsHook) {
    auto s = std::make_unique<NavState>();
    int32_t partner = 1;
    fake_named::g_partner_value = &partner;
    named_bind(*s);
    ASSERT_EQ(fake_named::g_calls.size(), 1u);
    EXPECT_EQ(fake_named::g_calls[0].op, "bind");
    EXPECT_EQ(fake_named::g_calls[0].name, "Q14_N1_HOOK");
    EXPECT_EQ(fake_named::g_calls[0].address, &s->other_hook_ref);
    EXPECT_EQ(s->other_hook_ref.value, &partner);
}

TEST_F(NamedVars, WithdrawsSevenNamesInOrder) {
    auto s = std::make_unique<NavState>();
    named_withdraw(*s);
    std::vector<std::string> want = {"Q14_N2_GOT",      "Q14_N2_LBU",  "Q14_N2_LBU_DIF", "Q14_N2_PU_DELTA",
                                     "Q14_N1_HOOK",     "Q14_N2_HOOK", "Q14_N2_OST_IND"};
    EXPECT_EQ(fake_named::names("withdraw"), want);
    EXPECT_EQ(fake_named::g_calls.size(), 7u);
}

TEST_F(NamedVars, NoHostServicesNoCalls) {
    fake_named::uninstall();
    auto s = std::make_unique<NavState>();
    named_publish(*s);
    named_bind(*s);
    named_withdraw(*s);
    EXPECT_TRUE(fake_named::g_calls.empty());
    EXPECT_EQ(s->other_hook_ref.value, nullptr);
}

// The arbitration parts of one system cycle.
void cycle(NavState& s) {
    focus_arbitration_start(s);
    focus_arbitration_end(s);
}

// The UVI focus area when the unit does not hold focus.
void take_focus(NavState& s) {
    s.kbd_focus = 1;
    s.kbd_focus_timer = s.kbd_focus_timeout;
}

TEST(FocusArbitration, TheUnitThatTookFocusLastKeepsIt) {
    auto n1 = std::make_unique<NavState>();
    auto n2 = std::make_unique<NavState>();
    n1->other_hook_ref.value = &n2->kbd_focus;
    n2->other_hook_ref.value = &n1->kbd_focus;

    take_focus(*n2);
    for (int i = 0; i < 5; ++i) {
        cycle(*n1);
        cycle(*n2);
    }
    EXPECT_EQ(n2->kbd_focus, 1);
    EXPECT_EQ(n1->kbd_focus, 0);

    // Unit 1 takes focus while unit 2 holds it: unit 2 drops it on its next cycle.
    take_focus(*n1);
    cycle(*n1);
    EXPECT_EQ(n1->kbd_focus, 1);
    cycle(*n2);
    EXPECT_EQ(n2->kbd_focus, 0);
    EXPECT_EQ(n2->kbd_focus_timer, 0);
    EXPECT_EQ(n2->kbd_focus_shown, 0);
    for (int i = 0; i < 100; ++i) {
        cycle(*n1);
        cycle(*n2);
    }
    EXPECT_EQ(n1->kbd_focus, 1);
    EXPECT_EQ(n1->kbd_focus_shown, 1);
    EXPECT_EQ(n2->kbd_focus, 0);

    // And back: unit 2 takes it again, unit 1 drops it.
    take_focus(*n2);
    cycle(*n1);
    cycle(*n2);
    EXPECT_EQ(n1->kbd_focus, 0);
    EXPECT_EQ(n2->kbd_focus, 1);
}

TEST(FocusArbitration, APartnerFlagThatStaysSetTakesFocusOnlyOnce) {
    auto s = std::make_unique<NavState>();
    int32_t partner = 1;  // already set when first seen: a rise from the initial 0
    s->other_hook_ref.value = &partner;
    take_focus(*s);
    cycle(*s);
    EXPECT_EQ(s->kbd_focus, 0);
    EXPECT_EQ(s->other_kbd_focus, 1);
    EXPECT_EQ(s->other_kbd_focus_prev, 1);

    take_focus(*s);
    for (int i = 0; i < 500; ++i) cycle(*s);
    EXPECT_EQ(s->kbd_focus, 1);
    EXPECT_EQ(s->kbd_focus_timer, 1080 - 500);

    // The partner lets go and takes it again: a new rise.
    partner = 0;
    cycle(*s);
    EXPECT_EQ(s->kbd_focus, 1);
    partner = 1;
    cycle(*s);
    EXPECT_EQ(s->kbd_focus, 0);
}

TEST(FocusArbitration, FocusLapsesAfter1080Cycles) {
    auto s = std::make_unique<NavState>();
    take_focus(*s);
    for (int i = 0; i < 1079; ++i) cycle(*s);
    EXPECT_EQ(s->kbd_focus, 1);
    EXPECT_EQ(s->kbd_focus_shown, 1);
    EXPECT_EQ(s->kbd_focus_timer, 1);
    cycle(*s);
    EXPECT_EQ(s->kbd_focus, 0);
    EXPECT_EQ(s->kbd_focus_shown, 0);
    EXPECT_EQ(s->kbd_focus_timer, 0);
    cycle(*s);
    EXPECT_EQ(s->kbd_focus_timer, 0);
}

TEST(FocusArbitration, AFocusWithASpentTimerEnds) {
    auto s = std::make_unique<NavState>();
    s->kbd_focus = 1;
    s->kbd_focus_timer = 0;
    cycle(*s);
    EXPECT_EQ(s->kbd_focus, 0);
    EXPECT_EQ(s->kbd_focus_shown, 0);
}

TEST(FocusArbitration, APartnerThatNeverBoundNeverTakesFocus) {
    auto s = std::make_unique<NavState>();
    ASSERT_EQ(s->other_hook_ref.value, nullptr);
    take_focus(*s);
    for (int i = 0; i < 1000; ++i) cycle(*s);
    EXPECT_EQ(s->kbd_focus, 1);
    EXPECT_EQ(s->other_kbd_focus, 0);
    EXPECT_EQ(s->other_kbd_focus_prev, 0);
}

}  // namespace
