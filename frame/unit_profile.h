// Everything that differs between the two navigation units, in one place.
// Each module is compiled with Q14_UNIT set to 1 or 2; no other file tests that macro.
#pragma once

#include <cstdint>
#include <type_traits>

#include "frame/records.h"

#ifndef Q14_UNIT
#error "Q14_UNIT must be 1 or 2"
#endif

struct UnitProfile {
    int unit;                          // 1 or 2
    uint32_t interface_version;        // Linkage version word
    double k_turn;                     // turn radius = W^2 * k_turn metres, W in km/h
    bool seeded_drift;                 // unit 2: true position plus seeded drift
    bool dead_reckoning;               // unit 1: integrated ground velocity with calibration
    bool persists_flights;             // unit 2: saves and restores with saved flights
    bool settings_in_system_cycle;     // unit 2 reads "SYS" in its system cycle, unit 1 in its display cycle
    bool debug_gauge_copies;           // unit 2's DigTest gauge copies its sources each frame
    double debug_start[4];             // start values of the debug read-out
    // Named variables: own six in publish order, partner's HOOK, and the seven withdrawn names.
    const char* name_lbu;
    const char* name_lbu_dif;
    const char* name_got;
    const char* name_pu_delta;
    const char* name_hook;
    const char* name_ost_ind;
    const char* partner_hook;
    const char* withdraw[7];
};

#if Q14_UNIT == 1
inline constexpr UnitProfile kUnit = {
    1, 0x800, 0.016863406408094434, false, true, false, false, false,
    {111.1111, 222222.222, -333.333, 0.44444444},
    "Q14_N1_LBU", "Q14_N1_LBU_DIF", "Q14_N1_GOT", "Q14_N1_PU_DELTA", "Q14_N1_HOOK", "Q14_N1_OST_IND",
    "Q14_N2_HOOK",
    {"Q14_N1_GOT", "Q14_N1_LBU", "Q14_N1_LBU_DIF", "Q14_N1_PU_DELTA", "Q14_N1_HOOK", "Q14_N2_HOOK",
     "Q14_N1_OST_IND"},
};
// Unit 1 imports the panel services only.
inline constexpr uint32_t kImportIds[] = {0xF};
inline constexpr int kHeaderExtraWords = 0;
#elif Q14_UNIT == 2
inline constexpr UnitProfile kUnit = {
    2, 0x900, 0.021612275772638856, true, false, true, true, true,
    {11, 22, 33, 44},
    "Q14_N2_LBU", "Q14_N2_LBU_DIF", "Q14_N2_GOT", "Q14_N2_PU_DELTA", "Q14_N2_HOOK", "Q14_N2_OST_IND",
    "Q14_N1_HOOK",
    {"Q14_N2_GOT", "Q14_N2_LBU", "Q14_N2_LBU_DIF", "Q14_N2_PU_DELTA", "Q14_N1_HOOK", "Q14_N2_HOOK",
     "Q14_N2_OST_IND"},
};
// Panel services, host events, (unused), current flight, then three unused tables.
inline constexpr uint32_t kImportIds[] = {0xF, 0x1, 0x19, 0x2C, 0x1C, 0xA, 0x17};
// The unit 2 module's gauge headers carry 8 more zero bytes.
inline constexpr int kHeaderExtraWords = 2;
#else
#error "Q14_UNIT must be 1 or 2"
#endif

// A gauge header as this module ships it: the 200-byte header, then the unit's extra words.
template <int N> struct GaugeHeaderPadded {
    GaugeHeader g;
    uint32_t extra[N];
};
template <> struct GaugeHeaderPadded<0> {
    GaugeHeader g;
};
using GaugeHeaderRecord = GaugeHeaderPadded<kHeaderExtraWords>;

inline constexpr int kImportCount = sizeof(kImportIds) / sizeof(kImportIds[0]);

#if Q14_RECORDS_32BIT
static_assert(sizeof(GaugeHeaderRecord) == (Q14_UNIT == 2 ? 208 : 200));
#endif
