// Unit 1's named variables: its own names published and withdrawn in order, the other unit's
// HOOK bound.
#include "nav/named_vars.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nav/named_vars_fake_test.h"

namespace {

class NamedVarsN1 : public ::testing::Test {
protected:
    void SetUp() override { fake_named::install(); }
    void TearDown() override { fake_named::uninstall(); }
};

TEST_F(NamedVarsN1, PublishesItsOwnNames) {
    auto s = std::make_unique<NavState>();
    named_publish(*s);
    std::vector<std::string> want = {"Q14_N1_LBU", "Q14_N1_LBU_DIF", "Q14_N1_GOT",
                                     "Q14_N1_PU_DELTA", "Q14_N1_HOOK", "Q14_N1_OST_IND"};
    EXPECT_EQ(fake_named::names("publish"), want);
    ASSERT_EQ(fake_named::g_calls.size(), 6u);
    EXPECT_EQ(fake_named::g_calls[4].address, &s->kbd_focus);
    EXPECT_EQ(fake_named::g_calls[4].type, 0x22);
}

TEST_F(NamedVarsN1, BindsUnitTwosHookAndWithdrawsBothHooks) {
    auto s = std::make_unique<NavState>();
    int32_t partner = 0;
    fake_named::g_partner_value = &partner;
    named_bind(*s);
    EXPECT_EQ(fake_named::names("bind"), std::vector<std::string>{"Q14_N2_HOOK"});
    EXPECT_EQ(s->other_hook_ref.value, &partner);

    fake_named::g_calls.clear();
    named_withdraw(*s);
    std::vector<std::string> want = {"Q14_N1_GOT",  "Q14_N1_LBU",  "Q14_N1_LBU_DIF", "Q14_N1_PU_DELTA",
                                     "Q14_N1_HOOK", "Q14_N2_HOOK", "Q14_N1_OST_IND"};
    EXPECT_EQ(fake_named::names("withdraw"), want);
}

}  // namespace
