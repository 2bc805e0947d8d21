// The real q14_n1.gau and q14_n2.gau as the simulator sees them: exported records read word by
// word at their byte offsets, routines called across the module boundary, a clean unload.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

// Reads a 32-bit word at a byte offset of a record the module exports.
uint32_t word(const void* record, int offset) {
    uint32_t w;
    std::memcpy(&w, static_cast<const char*>(record) + offset, sizeof w);
    return w;
}
const void* ptr(const void* record, int offset) { return reinterpret_cast<const void*>(word(record, offset)); }

struct GaugeTable {
    const char* name;
    uint32_t width_mm;
    int32_t root_bitmap;
    int strings, icons, needles;  // elements below the root
    int areas;                    // clickable mouse areas
};

const GaugeTable kGauges[] = {
    {"Q14_UVI", 160, 4128, 4, 9, 2, 24}, {"Q14_PUR", 140, 4608, 0, 6, 2, 3},
    {"Q_14_SYS", 20, 4112, 0, 0, 0, 0},  {"DigTest", 120, 4096, 4, 0, 0, 0},
    {"QN14_def_AP_Key", 15, 4768, 0, 1, 0, 1}, {"Koord_i", 120, 4784, 2, 0, 0, 1},
    {"Koord_s", 120, 4784, 2, 0, 0, 1},
};

std::vector<uint32_t> import_ids(int unit) {
    if (unit == 1) return {0xF};
    return {0xF, 0x1, 0x19, 0x2C, 0x1C, 0xA, 0x17};
}

std::string module_file(int unit) { return "q14_n" + std::to_string(unit) + ".gau"; }

class WineRecords : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        host_reset();
        unit = GetParam();
    }
    void TearDown() override { host_reset(); }
    HostModule* load() {
        HostModule* m = host_load(host_module_path(unit));
        EXPECT_NE(m, nullptr) << host_last_error();
        return m;
    }
    int unit = 0;
};

TEST_P(WineRecords, LinkageWordsListTheSevenGaugesInOrder) {
    HostModule* m = load();
    ASSERT_NE(m, nullptr);
    const void* l = host_linkage(m);
    EXPECT_EQ(word(l, 0), 0x13u);
    EXPECT_NE(word(l, 4), 0u) << "module_init";
    EXPECT_NE(word(l, 8), 0u) << "module_deinit";
    EXPECT_EQ(word(l, 12), 0u);
    EXPECT_EQ(word(l, 16), 0u);
    EXPECT_EQ(word(l, 20), unit == 1 ? 0x800u : 0x900u);
    for (int i = 0; i < 7; ++i) {
        const void* g = ptr(l, 24 + 4 * i);
        ASSERT_NE(g, nullptr) << "gauge " << i;
        EXPECT_STREQ(static_cast<const char*>(ptr(g, 4)), kGauges[i].name);
    }
    EXPECT_EQ(word(l, 52), 0u) << "the list ends after seven headers";
}

// The import table as shipped, before any host touched it: the unit's identifiers, every
// address 0. The module is loaded bare here; nothing of it runs but its library entry.
TEST_P(WineRecords, ShippedImportTableAsksForTheUnitsTables) {
    HMODULE h = LoadLibraryA(host_module_path(unit).c_str());
    ASSERT_NE(h, nullptr) << GetLastError();
    const void* t = reinterpret_cast<const void*>(GetProcAddress(h, "ImportTable"));
    ASSERT_NE(t, nullptr);
    const std::vector<uint32_t> ids = import_ids(unit);
    for (size_t i = 0; i <= ids.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(word(t, static_cast<int>(8 * i)), i < ids.size() ? ids[i] : 0u);
        EXPECT_EQ(word(t, static_cast<int>(8 * i + 4)), 0u);
    }
    EXPECT_NE(GetProcAddress(h, "Linkage"), nullptr);
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(GetModuleHandleA(module_file(unit).c_str()), nullptr);
}

TEST_P(WineRecords, LoadedImportTableCarriesTheHostsTables) {
    HostModule* m = load();
    ASSERT_NE(m, nullptr);
    const void* t = host_import_table(m);
    const std::vector<uint32_t> ids = import_ids(unit);
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(word(t, static_cast<int>(8 * i)), ids[i]) << i;
        EXPECT_NE(word(t, static_cast<int>(8 * i + 4)), 0u) << i;
    }
    EXPECT_EQ(word(t, static_cast<int>(8 * ids.size())), 0u);
}

// Each header's words at the offsets of the gauge-header table. The unit 2 headers are 208
// bytes, the last eight zero; a unit 1 header ends at 200.
TEST_P(WineRecords, GaugeHeaderWordsMatchTheirTables) {
    HostModule* m = load();
    ASSERT_NE(m, nullptr);
    const void* first = ptr(host_linkage(m), 24);
    for (int i = 0; i < 7; ++i) {
        const GaugeTable& want = kGauges[i];
        SCOPED_TRACE(want.name);
        const void* g = ptr(host_linkage(m), 24 + 4 * i);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(word(g, 0), 800u);
        const void* list = ptr(g, 8);
        ASSERT_NE(list, nullptr);
        EXPECT_NE(word(list, 0), 0u);
        EXPECT_EQ(word(list, 4), 0u) << "one root element";
        for (int off = 12; off <= 36; off += 4) {
            EXPECT_NE(word(g, off), 0u) << "standard routine at " << off;
            EXPECT_EQ(word(g, off), word(first, off)) << "one set of routines for all gauges, at " << off;
        }
        EXPECT_EQ(word(g, 40), 0u);
        EXPECT_EQ(word(g, 44), want.width_mm);
        for (int off = 48; off < 80; off += 4) EXPECT_EQ(word(g, off), 0u) << off;
        if (want.areas > 0) {
            EXPECT_NE(word(g, 80), 0u) << "mouse list";
        }
        EXPECT_NE(word(g, 84), 0u) << "gauge callback";
        const int end = unit == 2 ? 208 : 200;
        for (int off = 88; off < end; off += 4) EXPECT_EQ(word(g, off), 0u) << off;
    }
}

// The element chain and the mouse list of every gauge, walked by their words.
TEST_P(WineRecords, ElementChainsAndMouseListsHoldTheirCounts) {
    HostModule* m = load();
    ASSERT_NE(m, nullptr);
    for (int i = 0; i < 7; ++i) {
        const GaugeTable& want = kGauges[i];
        SCOPED_TRACE(want.name);
        const void* g = ptr(host_linkage(m), 24 + 4 * i);
        const void* e = ptr(ptr(g, 8), 0);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(word(e, 0), 0u) << "the root is a static image";
        EXPECT_EQ(static_cast<int32_t>(word(e, 4)), want.root_bitmap);
        int strings = 0, icons = 0, needles = 0, others = 0;
        for (int n = 0; n < 64; ++n) {
            EXPECT_EQ(ptr(e, 32), g) << "element " << n << " names its gauge";
            const void* next = ptr(e, 40);
            if (!next) break;
            EXPECT_EQ(word(next, 4), 0u) << "a next list holds one element";
            e = ptr(next, 0);
            ASSERT_NE(e, nullptr);
            switch (word(e, 0)) {
                case 2: ++strings; break;
                case 4: ++icons; break;
                case 1: ++needles; break;
                default: ++others; break;
            }
        }
        EXPECT_EQ(strings, want.strings);
        EXPECT_EQ(icons, want.icons);
        EXPECT_EQ(needles, want.needles);
        EXPECT_EQ(others, 0);

        const void* mouse = ptr(g, 80);
        if (!mouse) continue;
        EXPECT_EQ(word(mouse, 0), 1u) << "the parent entry first";
        int areas = 0;
        while (areas < 64 && word(mouse, 44 * (areas + 1)) == 2) {
            EXPECT_NE(word(mouse, 44 * (areas + 1) + 36), 0u) << "area " << areas + 1 << " has a callback";
            ++areas;
        }
        EXPECT_EQ(areas, want.areas);
        EXPECT_EQ(word(mouse, 44 * (areas + 1)), 3u) << "the end entry last";
    }
}

// Called through the header words as the simulator calls them (__stdcall): every routine of
// every gauge hands Q14_UVI's root element to the host, passes the host's value through and
// returns what the host returned.
TEST_P(WineRecords, StandardRoutinesHandOverTheUviRoot) {
    HostModule* m = load();
    ASSERT_NE(m, nullptr);
    using Routine0 = int32_t(__stdcall*)();
    using Routine1 = int32_t(__stdcall*)(uint32_t);
    const void* uvi_root = ptr(ptr(ptr(host_linkage(m), 24), 8), 0);
    const char* ops[] = {"query_elements",    "install_elements", "initialize_elements", "update_elements",
                         "generate_elements", "draw_elements",    "kill_elements"};
    const int32_t results[] = {96, 100, 104, 108, 112, 116, 124};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(kGauges[i].name);
        const void* g = ptr(host_linkage(m), 24 + 4 * i);
        for (uint32_t v : {0u, 1u, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
            host_clear_element_ops();
            for (int r = 0; r < 7; ++r) {
                bool with_value = r == 1 || r == 4;
                int32_t got = with_value ? reinterpret_cast<Routine1>(word(g, 12 + 4 * r))(v)
                                         : reinterpret_cast<Routine0>(word(g, 12 + 4 * r))();
                EXPECT_EQ(got, results[r]) << ops[r];
            }
            const auto& seen = host_element_ops();
            ASSERT_EQ(seen.size(), 7u);
            for (size_t r = 0; r < 7; ++r) {
                EXPECT_EQ(seen[r].op, ops[r]);
                EXPECT_EQ(seen[r].element, uvi_root);
                bool with_value = r == 1 || r == 4;
                EXPECT_EQ(seen[r].has_value, with_value);
                if (with_value) {
                    EXPECT_EQ(seen[r].host_value, v);
                }
            }
        }
    }
}

// ---- start and stop against a host that records the event registration -------------------

struct EventCall {
    int32_t kind;
    HostEventCallback callback;
    uint32_t a, b;
};
std::vector<EventCall> g_registered, g_unregistered;

int32_t __stdcall record_register(int32_t kind, HostEventCallback cb, uint32_t a, uint32_t b) {
    g_registered.push_back({kind, cb, a, b});
    return 1;
}
int32_t __stdcall record_unregister(int32_t kind, HostEventCallback cb, uint32_t a, uint32_t b) {
    g_unregistered.push_back({kind, cb, a, b});
    return 1;
}

// module_init registers unit 2's event callback (16, callback, 0, 0) and module_deinit
// unregisters the same one; unit 1 asks for no events. The module is loaded bare and given
// only the tables its import table names.
TEST_P(WineRecords, StartAndStopRegisterTheEventCallbackOnce) {
    g_registered.clear();
    g_unregistered.clear();
    static HostEvents events = {};
    events.register_event_callback = record_register;
    events.unregister_event_callback = record_unregister;
    alignas(16) static unsigned char unused_table[8192] = {};

    HMODULE h = LoadLibraryA(host_module_path(unit).c_str());
    ASSERT_NE(h, nullptr) << GetLastError();
    auto* imports = reinterpret_cast<char*>(GetProcAddress(h, "ImportTable"));
    const void* linkage = reinterpret_cast<const void*>(GetProcAddress(h, "Linkage"));
    ASSERT_TRUE(imports && linkage);
    for (int i = 0; i < 16 && word(imports, 8 * i) != 0; ++i) {
        void* table = word(imports, 8 * i) == 0x1 ? static_cast<void*>(&events) : unused_table;
        std::memcpy(imports + 8 * i + 4, &table, sizeof table);
    }
    reinterpret_cast<void(__stdcall*)()>(word(linkage, 4))();
    if (unit == 2) {
        ASSERT_EQ(g_registered.size(), 1u);
        EXPECT_EQ(g_registered[0].kind, 16);
        EXPECT_NE(g_registered[0].callback, nullptr);
        EXPECT_EQ(g_registered[0].a, 0u);
        EXPECT_EQ(g_registered[0].b, 0u);
    } else {
        EXPECT_TRUE(g_registered.empty());
    }
    EXPECT_TRUE(g_unregistered.empty());
    reinterpret_cast<void(__stdcall*)()>(word(linkage, 8))();
    if (unit == 2) {
        ASSERT_EQ(g_unregistered.size(), 1u);
        EXPECT_EQ(g_unregistered[0].kind, 16);
        EXPECT_EQ(g_unregistered[0].callback, g_registered[0].callback);
        EXPECT_EQ(g_unregistered[0].a, 0u);
        EXPECT_EQ(g_unregistered[0].b, 0u);
    } else {
        EXPECT_TRUE(g_unregistered.empty());
    }
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(GetModuleHandleA(module_file(unit).c_str()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothUnits, WineRecords, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& i) { return "unit" + std::to_string(i.param); });

// ---- services, start and stop of both units side by side -----------------------------------

const char* const kNames[] = {"Q14_UVI", "Q14_PUR", "Q_14_SYS", "DigTest", "QN14_def_AP_Key", "Koord_i", "Koord_s"};


class WineUnits : public ::testing::Test {
protected:
    void SetUp() override { host_reset(); }
    void TearDown() override { host_reset(); }
};

TEST_F(WineUnits, UnknownServicesChangeNothing) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2) << host_last_error();
    // Switched on, steering on, a read-out shown, focus taken: plenty of state to disturb.
    host_aircraft().lat = 55.5;
    host_aircraft().lon = 37.25;
    for (HostModule* m : {n1, n2}) {
        for (int i = 0; i < 3; ++i) host_click(m, "Q14_PUR", pur::kSelectorUp);
        host_click(m, "QN14_def_AP_Key", apkey::kToggle);
        host_click(m, "Koord_s", 1);
    }
    host_click(n2, "Q14_UVI", uvi::kFocusArea);
    host_frames(40);
    const HostSnapshot before = host_snapshot({n1, n2});
    ASSERT_FALSE(before.names.empty());
    for (int32_t service : {0, 1, 3, 5, 7, 8, 10, 11, 13, 15, 99, -1, 0x7FFFFFFF})
        for (HostModule* m : {n1, n2})
            for (const char* g : kNames) host_service(m, g, service);
    const HostSnapshot after = host_snapshot({n1, n2});
    EXPECT_EQ(before.values, after.values);
    EXPECT_EQ(before.texts, after.texts);
    EXPECT_EQ(before.flags, after.flags);
    EXPECT_EQ(before.names, after.names);
    EXPECT_EQ(before.named_values, after.named_values);
    EXPECT_EQ(before.named_log, after.named_log);
    EXPECT_EQ(before.key_events, after.key_events);
    EXPECT_EQ(before.element_ops, after.element_ops);
    host_frame();
    EXPECT_TRUE(host_text_buffers_intact());
}

// Stop and unload: the names withdrawn, unit 2's event callback unregistered by the module
// itself, and the library really gone from the process.
TEST_F(WineUnits, DeinitAndFreeLibraryLeaveNothing) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2) << host_last_error();
    host_frames(5);
    EXPECT_EQ(host_named_names().size(), 12u) << "six names per unit";
    EXPECT_EQ(host_event_callback_count(), 1) << "unit 2 only";
    ASSERT_NE(GetModuleHandleA(module_file(1).c_str()), nullptr);

    host_unload(n2);
    for (const std::string& n : host_named_names()) EXPECT_EQ(n.rfind("Q14_N1_", 0), 0u) << n;
    EXPECT_EQ(GetModuleHandleA(module_file(2).c_str()), nullptr);
    host_frames(3);  // unit 1 runs on alone
    EXPECT_EQ(host_named_int("Q14_N1_GOT"), 0);
    host_unload(n1);
    EXPECT_TRUE(host_named_names().empty());
    EXPECT_EQ(GetModuleHandleA(module_file(1).c_str()), nullptr);

    // A second load starts from the module's initial state: GOT reads 1 before the first cycle.
    HostModule* again = host_open_unit(2);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(host_named_int("Q14_N2_GOT"), 1);
    EXPECT_EQ(host_named_int("Q14_N2_HOOK"), 0);
}

// The simulator frees a module without telling the other one, whose record bound to the freed
// module's HOOK still holds the old address. Unit 2 runs on alone without reading it (the
// page is gone: a read would fault), keeps the focus it takes, and sees unit 1 loaded again.
TEST_F(WineUnits, UnitTwoRunsOnAfterUnitOneIsFreed) {
    constexpr int kFocusArea = uvi::kFocusArea, kFocusMark = uvi::kFocus;
    auto focus_mark = [&](HostModule* m) {
        host_update_elements(m, "Q14_UVI");
        return host_element_value(m, "Q14_UVI", kFocusMark);
    };
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2) << host_last_error();
    host_frames(3);
    host_click(n1, "Q14_UVI", kFocusArea);
    host_frames(3);
    ASSERT_EQ(host_named_int("Q14_N1_HOOK"), 1);

    host_unload(n1);
    ASSERT_EQ(GetModuleHandleA(module_file(1).c_str()), nullptr) << "unit 1 is freed";
    host_frames(50);
    host_click(n2, "Q14_UVI", kFocusArea);
    host_frames(50);
    EXPECT_EQ(focus_mark(n2), 0.0) << "unit 2 holds the focus alone";

    n1 = host_open_unit(1);
    ASSERT_NE(n1, nullptr) << host_last_error();
    host_frames(2);
    host_click(n1, "Q14_UVI", kFocusArea);
    host_frames(2);
    EXPECT_EQ(focus_mark(n1), 0.0);
    EXPECT_EQ(focus_mark(n2), -1.0) << "unit 1 loaded again took the focus away";
    EXPECT_TRUE(host_text_buffers_intact());
}

}  // namespace
