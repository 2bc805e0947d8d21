// The keys of section "SYS" with their default texts, and the conversion of one value text to
// the number the unit uses. Pure text to numbers, shared by the settings read and the tools.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kSettingsValueSize = 16;  // value buffer, 15 characters

enum SettingsKey { kSetKp, kSetKd, kSetBankTime, kSetVibrKontrol, kSetPercPogr, kSettingsKeyCount };

struct SettingsKeyInfo {
    const char* key;           // as it stands in the file
    const char* default_text;  // missing file or key
};

// In SettingsKey order, which is also the order of the read.
inline constexpr SettingsKeyInfo kSettingsKeys[kSettingsKeyCount] = {
    {.key = "q14_kp", .default_text = "60"},
    {.key = "q14_kd", .default_text = "100"},
    {.key = "q14_bank_time", .default_text = "3.5"},
    {.key = "vibr_kontrol", .default_text = "1"},
    {.key = "perc_pogr", .default_text = "0.23"},
};

// Where each value makes sense; the units take any number, the route check warns outside.
struct SettingsRange {
    SettingsKey key;
    double lo, hi;
};

inline constexpr SettingsRange kSettingsRanges[] = {
    {.key = kSetKp, .lo = 1, .hi = 500},
    {.key = kSetKd, .lo = 0, .hi = 1000},
    {.key = kSetBankTime, .lo = 0, .hi = 15},
    {.key = kSetVibrKontrol, .lo = 0, .hi = 1},
    {.key = kSetPercPogr, .lo = 0.01, .hi = 5},
};

// True when a table keyed by SettingsKey has one entry per key, in key order: every table of
// settings facts checks itself with it, so a new key builds only once each table has it.
template <typename T, size_t N>
constexpr bool settings_table_complete(const T (&table)[N]) {
    if (N != kSettingsKeyCount) return false;
    for (size_t i = 0; i < N; ++i)
        if (table[i].key != static_cast<SettingsKey>(i)) return false;
    return true;
}
static_assert(settings_table_complete(kSettingsRanges), "a settings key without its range");

// True when every key has its name in the file and its default text.
constexpr bool settings_keys_complete() {
    for (const SettingsKeyInfo& k : kSettingsKeys)
        if (!k.key || !k.default_text) return false;
    return true;
}
static_assert(settings_keys_complete(), "a settings key without its name or default text");

// The number at the start of `text` (at most its first 15 characters, as the read cuts it);
// text that is not a number gives 0 as the standard conversion does, but a value no double
// holds ("1e999", "inf", "nan") would carry infinity or NaN into the turn lead and the
// autopilot, so it counts as the default text's number.
double settings_number(const char* text, const char* default_text);
// The vibration fault value from its number: truncated toward zero; a value no 32-bit
// integer holds counts as 1.
int32_t settings_fault_value(double v);
