// Fuzz target of the keypad entry: random key latches, knob, wheel, state and switch changes,
// each followed by entry passes; every index must stay in range and every text terminated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/keypad_entry.h"

#define FUZZ_CHECK(cond)                                                   \
    do {                                                                   \
        if (!(cond)) {                                                     \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #cond, __LINE__); \
            std::abort();                                                  \
        }                                                                  \
    } while (0)

namespace {

int32_t* key_latch(NavState& s, int k) {
    int32_t* keys[14] = {&s.key_0, &s.key_1, &s.key_2, &s.key_3, &s.key_4, &s.key_5, &s.key_6,
                         &s.key_7, &s.key_8, &s.key_9, &s.key_enter, &s.key_reset,
                         &s.key_route_change, &s.key_ost_ind};
    return keys[k];
}

bool text_ok(const char* t) { return std::memchr(t, '\0', 11) != nullptr; }

// One entry pass, and the invariants it must keep.
void pass(NavState& s) {
    const NavState before = s;
    keypad_entry(s);

    // The file tables are never written, so nothing spilled into them.
    FUZZ_CHECK(std::memcmp(before.file_ppm_lat, s.file_ppm_lat, sizeof s.file_ppm_lat) == 0);
    FUZZ_CHECK(std::memcmp(before.file_ppm_lon, s.file_ppm_lon, sizeof s.file_ppm_lon) == 0);
    // A waypoint changes only in the slot the wheel selects.
    for (int w = 0; w < 10; ++w) {
        if (std::memcmp(&before.ppm_lat[w], &s.ppm_lat[w], sizeof(double)) != 0) FUZZ_CHECK(w == s.ppm_select);
        if (std::memcmp(&before.ppm_lon[w], &s.ppm_lon[w], sizeof(double)) != 0) FUZZ_CHECK(w == s.ppm_select);
    }
    if (s.file_ppm_index != before.file_ppm_index) FUZZ_CHECK(s.file_ppm_index >= 1 && s.file_ppm_index <= 39);
    FUZZ_CHECK(s.entry_digits_left >= 0 && s.entry_digits_left <= 6);
    for (int k = 1; k <= 6; ++k) FUZZ_CHECK(s.entry_digits[k] >= 0 && s.entry_digits[k] <= 9);
    FUZZ_CHECK(s.entry_value >= 0 && s.entry_value <= 999999);
    FUZZ_CHECK(s.ppm_from <= 9 || s.ppm_from == before.ppm_from);
    FUZZ_CHECK(s.ppm_to <= 9 || s.ppm_to == before.ppm_to);
    FUZZ_CHECK(text_ok(s.upper_entry_text) && text_ok(s.lower_entry_text));
    FUZZ_CHECK(s.entry_sign_upper >= 0 && s.entry_sign_upper <= 2);
    FUZZ_CHECK(s.entry_sign_lower >= 0 && s.entry_sign_lower <= 2);
    FUZZ_CHECK(s.entry_active == 0 || s.unit_on == 1);
    FUZZ_CHECK(s.enter_lamp == s.entry_active);
    FUZZ_CHECK(s.key_0 + s.key_5 + s.key_9 + s.key_enter + s.key_reset + s.key_route_change == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NavState s;
    s.unit_on = 1;
    s.work_state = 3;
    for (int nn = 0; nn < 64; ++nn) {
        s.file_ppm_lat[nn] = nn;
        s.file_ppm_lon[nn] = -nn;
    }
    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const uint8_t op = next();
        const uint8_t arg = static_cast<uint8_t>(op >> 5);
        switch (op & 31) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
        case 10: case 11: case 12: case 13:
            *key_latch(s, op & 31) = 1;
            break;
        case 14: s.kbd_ns_swap = 1; break;
        case 15: s.mode_switch = next(); break;  // any byte, not only 1..9
        case 16: {
            const uint8_t w = next();
            s.ppm_wheel = static_cast<int8_t>(w);
            s.ppm_select = static_cast<uint8_t>(arg & 1 ? next() : w);  // as restored, or odd
            break;
        }
        case 17: s.work_state = static_cast<uint8_t>(arg < 4 ? arg : next()); break;
        case 18: s.unit_on = arg & 1; break;
        case 19: s.auto_manual = arg & 1; break;
        case 20: s.hold_coords = arg & 1; break;
        case 21: s.ost_ind = arg & 1; break;
        case 22: {
            int32_t v = 0;
            for (int b = 0; b < 4; ++b) v = static_cast<int32_t>(static_cast<uint32_t>(v) << 8 | next());
            s.file_ppm_index = v;  // as a restored flight may bring it
            break;
        }
        case 23: s.mode_switch = static_cast<uint8_t>(1 + arg); break;  // the pages of the knob
        case 24: s.mode_switch = static_cast<uint8_t>(arg < 2 ? 8 + arg : 2 + 2 * (arg & 1)); break;
        default:
            for (int n = 0; n <= arg; ++n) pass(s);
            continue;
        }
        pass(s);
    }
    return 0;
}
