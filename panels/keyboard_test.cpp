// The keyboard hook: which keystrokes act, which are swallowed and which reach the simulator,
// with the hook called directly and a recording hook installed before it.
#include "panels/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nav/state.h"
#include "platform/posix_control.h"

namespace {

constexpr intptr_t kNextHookResult = 7;
int g_next_calls = 0;
int g_next_code = 0;
uintptr_t g_next_key = 0;
intptr_t g_next_flags = 0;

intptr_t Q14_STDCALL next_hook(int code, uintptr_t key, intptr_t flags) {
    ++g_next_calls;
    g_next_code = code;
    g_next_key = key;
    g_next_flags = flags;
    return kNextHookResult;
}

intptr_t keystroke(int scan, int repeat = 1, bool release = false, uint32_t extra_bits = 0) {
    uint32_t f = static_cast<uint32_t>(repeat & 0xFFFF) | (static_cast<uint32_t>(scan & 0xFF) << 16) | extra_bits;
    if (release) f |= 0x80000000u;  // transition state: released
    return kbd_hook_proc(0, 0x41, static_cast<intptr_t>(f));
}

using Latch = int32_t NavState::*;
struct NamedLatch {
    const char* name;
    Latch m;
};
const NamedLatch kLatches[] = {
    {"key_0", &NavState::key_0},         {"key_1", &NavState::key_1},     {"key_2", &NavState::key_2},
    {"key_3", &NavState::key_3},         {"key_4", &NavState::key_4},     {"key_5", &NavState::key_5},
    {"key_6", &NavState::key_6},         {"key_7", &NavState::key_7},     {"key_8", &NavState::key_8},
    {"key_9", &NavState::key_9},         {"key_enter", &NavState::key_enter}, {"key_reset", &NavState::key_reset},
    {"key_route_change", &NavState::key_route_change}, {"key_ost_ind", &NavState::key_ost_ind},
    {"kbd_ns_swap", &NavState::kbd_ns_swap},
};

// The latches now set, by name.
std::vector<std::string> set_latches() {
    std::vector<std::string> out;
    for (const NamedLatch& l : kLatches)
        if (g_nav.*l.m != 0) out.push_back(l.name);
    return out;
}

// The sixteen table keys; the wheel keys set no latch and move the wheel instead.
struct Command {
    int scan;
    std::vector<std::string> latches;
    int wheel_after;  // from wheel 5
};
const Command kCommands[] = {
    {12, {}, 4},
    {13, {}, 6},
    {28, {"key_enter"}, 5},
    {71, {"key_7"}, 5},
    {72, {"key_8", "kbd_ns_swap"}, 5},
    {73, {"key_9"}, 5},
    {74, {"key_reset"}, 5},
    {75, {"key_4"}, 5},
    {76, {"key_5"}, 5},
    {77, {"key_6"}, 5},
    {78, {"key_ost_ind"}, 5},
    {79, {"key_1"}, 5},
    {80, {"key_2", "kbd_ns_swap"}, 5},
    {81, {"key_3"}, 5},
    {82, {"key_0"}, 5},
    {83, {"key_route_change"}, 5},
};

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        saved_handle_ = g_nav.hook_handle;
        next_handle_ = plat_install_keyboard_hook(next_hook);
        own_handle_ = plat_install_keyboard_hook(kbd_hook_proc);
        ASSERT_NE(next_handle_, nullptr);
        ASSERT_NE(own_handle_, nullptr);
        nav_state_reset_to_load(g_nav);
        g_nav.hook_handle = own_handle_;
        g_nav.kbd_focus = 1;
        g_nav.kbd_focus_timer = 500;
        g_nav.ppm_wheel = 5;
        g_nav.ppm_select = 5;
        g_next_calls = 0;
    }
    void TearDown() override {
        plat_remove_keyboard_hook(own_handle_);
        plat_remove_keyboard_hook(next_handle_);
        nav_state_reset_to_load(g_nav);
        g_nav.hook_handle = saved_handle_;
    }
    // Fresh latches, wheel and timer for the next keystroke of a table.
    void rearm() {
        for (const NamedLatch& l : kLatches) g_nav.*l.m = 0;
        g_nav.ppm_wheel = 5;
        g_nav.ppm_select = 5;
        g_nav.kbd_focus_timer = 500;
        g_next_calls = 0;
    }
    // The keystroke did nothing to the state and was or was not handed on.
    void expect_untouched() {
        EXPECT_TRUE(set_latches().empty());
        EXPECT_EQ(g_nav.ppm_wheel, 5);
        EXPECT_EQ(g_nav.ppm_select, 5);
        EXPECT_EQ(g_nav.kbd_focus_timer, 500);
        EXPECT_EQ(g_nav.kbd_focus, 1);
    }

    void* saved_handle_ = nullptr;
    void* next_handle_ = nullptr;
    void* own_handle_ = nullptr;
};

TEST_F(Keyboard, TableKeysActAndAreSwallowed) {
    for (int repeat : {0, 1}) {
        for (const Command& c : kCommands) {
            SCOPED_TRACE("scan " + std::to_string(c.scan) + " repeat " + std::to_string(repeat));
            rearm();
            EXPECT_EQ(keystroke(c.scan, repeat), 1);
            EXPECT_EQ(g_next_calls, 0);
            EXPECT_EQ(set_latches(), c.latches);
            EXPECT_EQ(g_nav.ppm_wheel, c.wheel_after);
            EXPECT_EQ(g_nav.ppm_select, c.wheel_after);
            EXPECT_EQ(g_nav.kbd_focus_timer, 1080);
            EXPECT_EQ(g_nav.kbd_focus, 1);
        }
    }
}

TEST_F(Keyboard, ExtendedAndModifierBitsAreNotExamined) {
    // Up arrow (extended, scan 72) with Alt held, the key already down (auto-repeat with a count
    // of 1), acts as keypad 8; keypad Enter as Enter.
    EXPECT_EQ(keystroke(72, 1, false, (1u << 24) | (1u << 29) | (1u << 30)), 1);
    EXPECT_EQ(set_latches(), (std::vector<std::string>{"key_8", "kbd_ns_swap"}));
    rearm();
    EXPECT_EQ(keystroke(28, 1, false, 1u << 24), 1);
    EXPECT_EQ(set_latches(), std::vector<std::string>{"key_enter"});
}

TEST_F(Keyboard, RepeatsNeverActButUnitKeysStaySwallowed) {
    std::vector<int> swallowed = {71, 87, 88, 91, 93, 255};
    for (const Command& c : kCommands) swallowed.push_back(c.scan);
    for (int repeat : {2, 3, 0xFFFF}) {
        for (int scan : swallowed) {
            SCOPED_TRACE("scan " + std::to_string(scan) + " repeat " + std::to_string(repeat));
            rearm();
            EXPECT_EQ(keystroke(scan, repeat), 1);
            EXPECT_EQ(g_next_calls, 0);
            expect_untouched();
        }
        for (int scan : {0, 1, 11, 14, 27, 29, 30, 59, 68, 70}) {
            SCOPED_TRACE("scan " + std::to_string(scan) + " repeat " + std::to_string(repeat));
            rearm();
            EXPECT_EQ(keystroke(scan, repeat), kNextHookResult);
            EXPECT_EQ(g_next_calls, 1);
            expect_untouched();
        }
    }
}

TEST_F(Keyboard, OtherKeysWithFocus) {
    // Above 70 (F11, F12, Windows and menu keys...) swallowed without a command or timer reload.
    for (int scan : {84, 85, 86, 87, 88, 91, 92, 93, 100, 255}) {
        SCOPED_TRACE("scan " + std::to_string(scan));
        rearm();
        EXPECT_EQ(keystroke(scan), 1);
        EXPECT_EQ(g_next_calls, 0);
        expect_untouched();
    }
    // Letters, main-keyboard digits, F1..F10, Escape, Tab, Shift, Ctrl, Alt, Space, Scroll Lock:
    // handed on unchanged.
    for (int scan : {0, 1, 2, 11, 14, 15, 16, 29, 30, 42, 56, 57, 59, 68, 69, 70}) {
        SCOPED_TRACE("scan " + std::to_string(scan));
        rearm();
        intptr_t flags = static_cast<intptr_t>(1u | (static_cast<uint32_t>(scan) << 16));
        EXPECT_EQ(kbd_hook_proc(0, 0x41, flags), kNextHookResult);
        EXPECT_EQ(g_next_calls, 1);
        EXPECT_EQ(g_next_code, 0);
        EXPECT_EQ(g_next_key, 0x41u);
        EXPECT_EQ(g_next_flags, flags);
        expect_untouched();
    }
}

TEST_F(Keyboard, ReleasesNoFocusAndNegativeCodesPassUntouched) {
    for (const Command& c : kCommands) {
        SCOPED_TRACE("scan " + std::to_string(c.scan));
        rearm();
        EXPECT_EQ(keystroke(c.scan, 1, true), kNextHookResult);
        EXPECT_EQ(g_next_calls, 1);
        expect_untouched();

        rearm();
        g_nav.kbd_focus = 0;
        EXPECT_EQ(keystroke(c.scan), kNextHookResult);
        EXPECT_EQ(g_next_calls, 1);
        EXPECT_TRUE(set_latches().empty());
        EXPECT_EQ(g_nav.ppm_wheel, 5);
        EXPECT_EQ(g_nav.kbd_focus_timer, 500);
        g_nav.kbd_focus = 1;

        rearm();
        uint32_t f = 1u | (static_cast<uint32_t>(c.scan) << 16);
        EXPECT_EQ(kbd_hook_proc(-1, 0x41, static_cast<intptr_t>(f)), kNextHookResult);
        EXPECT_EQ(g_next_code, -1);
        expect_untouched();
    }
    // Keys beyond 70 also reach the simulator without focus.
    rearm();
    g_nav.kbd_focus = 0;
    EXPECT_EQ(keystroke(87), kNextHookResult);
}

TEST_F(Keyboard, WheelStopsAtItsEnds) {
    g_nav.ppm_wheel = 1;
    for (int i = 0; i < 10; ++i) {
        g_nav.ppm_select = 0;
        EXPECT_EQ(keystroke(13), 1);
        EXPECT_EQ(g_nav.ppm_select, g_nav.ppm_wheel);
    }
    EXPECT_EQ(g_nav.ppm_wheel, 9);
    for (int i = 0; i < 12; ++i) keystroke(12);
    EXPECT_EQ(g_nav.ppm_wheel, 0);
    g_nav.ppm_select = 3;
    EXPECT_EQ(keystroke(12), 1);
    EXPECT_EQ(g_nav.ppm_wheel, 0);
    EXPECT_EQ(g_nav.ppm_select, 0);
    EXPECT_EQ(g_nav.kbd_focus_timer, 1080);
}

TEST_F(Keyboard, ThroughTheHookChain) {
    // As Windows delivers it: newest hook first; the swallowed press never reaches the next.
    EXPECT_EQ(plat_deliver_key(0x68, static_cast<intptr_t>(1u | (72u << 16))), 1);
    EXPECT_EQ(g_nav.key_8, 1);
    EXPECT_EQ(g_next_calls, 0);
    EXPECT_EQ(plat_deliver_key(0x41, static_cast<intptr_t>(1u | (30u << 16))), 1);  // next hook said 7
    EXPECT_EQ(g_next_calls, 1);
}

}  // namespace
