// The host stand-in itself: loading both modules side by side, its frame clock, simulator
// variables, keystroke flags, host tables and the aircraft model the scenarios fly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/standin.h"
#include "panels/panel_map.h"
#include "platform/posix_control.h"

namespace {

constexpr double kLatPerMetre = 8.998425275576774e-06;  // the modules' conversions
constexpr double kLonPerUnit = 1.2789769243681803e-12;
constexpr double kKmhPerFts = 1.09728;

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { host_reset(); }
    void TearDown() override { host_reset(); }
};

TEST_F(StandinTest, LoadsBothUnitsSideBySide) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n1, nullptr) << host_last_error();
    ASSERT_NE(n2, nullptr) << host_last_error();
    EXPECT_NE(n1, n2);
    EXPECT_EQ(host_open_unit(1), n1) << "the same file is the same module";
    EXPECT_EQ(host_linkage(n1)->version, 0x800u);
    EXPECT_EQ(host_linkage(n2)->version, 0x900u);
    EXPECT_NE(host_gauge(n1, "Q14_UVI"), host_gauge(n2, "Q14_UVI"));
    host_frames(3);
    EXPECT_EQ(host_frame_number(), 3u);
    EXPECT_EQ(host_load("/nonexistent/q14_n9.so"), nullptr);
    EXPECT_FALSE(host_last_error().empty());
}

TEST_F(StandinTest, SimulatorVariablesComeInTheHostsUnits) {
    Aircraft& a = host_aircraft();
    a.lat = 55.75;
    a.lon = -37.625;
    a.heading = 271.5;
    a.engine_pct[0] = 100;
    a.engine_pct[1] = 50;
    a.engine_pct[2] = 5;
    a.engine_pct[3] = 0;
    a.gs_north_kmh = 300;
    a.gs_east_kmh = -120;
    a.sim_time_s = 4321.5;
    a.sim_rate = 4;
    a.ticks = 77.9;
    struct Case {
        int32_t id;
        double scale;  // the module's conversion factor
        double want;
    } cases[] = {
        {71, kLatPerMetre, 55.75},   {72, kLonPerUnit, -37.625}, {86, 1, 271.5},     {81, 1, 271.5},
        {135, 100.0 / 16384, 100},   {170, 100.0 / 16384, 50},   {205, 100.0 / 16384, 5},
        {240, 100.0 / 16384, 0},     {554, kKmhPerFts, 300},     {555, kKmhPerFts, -120},
        {604, 1, 4321.5},            {336, 1, 4},                {1, 1, 77.9},
    };
    for (const Case& c : cases) EXPECT_NEAR(aircraft_sim_variable(a, c.id) * c.scale, c.want, 1e-9) << c.id;
    a.ext_power = true;
    EXPECT_GT(aircraft_sim_variable(a, 753), 20.0);
    a.ext_power = false;
    EXPECT_EQ(aircraft_sim_variable(a, 753), 0.0);
    EXPECT_EQ(aircraft_sim_variable(a, 9999), 0.0);
}

TEST_F(StandinTest, FramesAdvanceClockSimTimeAndTicksDeterministically) {
    for (double rate : {18.0, 36.0, 7.0}) {
        SCOPED_TRACE(rate);
        host_reset();
        host_set_frame_rate(rate);
        host_frame();
        int64_t c0 = plat_perf_counter();
        double t0 = host_aircraft().sim_time_s;
        double k0 = host_aircraft().ticks;
        host_frames(static_cast<int>(rate));
        EXPECT_EQ(plat_perf_counter() - c0, 10000000);  // one second, frequency 1e7
        EXPECT_NEAR(host_aircraft().sim_time_s - t0, 1.0, 1e-9);
        EXPECT_NEAR(host_aircraft().ticks - k0, 18.0, 1e-9);
    }
    // Simulation rate 4: four seconds of sim time per second of frames, the clock unchanged.
    host_reset();
    host_aircraft().sim_rate = 4;
    host_frames(18);
    EXPECT_NEAR(host_aircraft().sim_time_s, 4.0, 1e-9);
    EXPECT_NEAR(host_aircraft().ticks, 72.0, 1e-9);
    // Paused: the clock runs on, sim time and ticks stand still.
    host_aircraft().paused = true;
    int64_t c1 = plat_perf_counter();
    host_frames(18);
    EXPECT_EQ(plat_perf_counter() - c1, 10000000);
    EXPECT_NEAR(host_aircraft().sim_time_s, 4.0, 1e-9);
    // A bad frame rate is refused.
    host_set_frame_rate(0);
    host_set_frame_rate(std::nan(""));
    c1 = plat_perf_counter();
    host_frame();
    EXPECT_EQ(plat_perf_counter() - c1, 555556);
}

TEST_F(StandinTest, AircraftFliesOverTheSphere) {
    const double km_per_deg = 10001.75 / 90.0;
    struct Case {
        double lat, heading, tas, wind_to, wind, seconds;
        double want_dlat_km, want_deast_km;  // distance flown north, east (at the start latitude)
    } cases[] = {
        {0, 0, 1000, 0, 0, 3600, 1000, 0},
        {0, 90, 600, 0, 0, 3600, 0, 600},
        {60, 270, 500, 0, 0, 1800, 0, -250},
        {10, 0, 0, 180, 100, 3600, -100, 0},    // wind only, blowing south
        {-30, 45, 400, 90, 50, 900, 100 * std::sqrt(0.5), 100 * std::sqrt(0.5) + 12.5},
    };
    for (const Case& c : cases) {
        Aircraft a;
        a.lat = c.lat;
        a.heading = c.heading;
        a.tas_kmh = c.tas;
        a.wind_to_deg = c.wind_to;
        a.wind_kmh = c.wind;
        a.fly = true;
        for (int i = 0; i < static_cast<int>(c.seconds); ++i) aircraft_step(a, 1.0);
        double dlat_km = (a.lat - c.lat) * km_per_deg;
        double mid = (a.lat + c.lat) / 2 * M_PI / 180;
        double deast_km = a.lon * km_per_deg * std::cos(mid);
        EXPECT_NEAR(dlat_km, c.want_dlat_km, 0.5) << c.heading;
        EXPECT_NEAR(deast_km, c.want_deast_km, 0.5) << c.heading;
        EXPECT_NEAR(a.sim_time_s, c.seconds, 1e-6);
    }
    // Over the pole: down the other side on the opposite meridian, heading south.
    Aircraft p;
    p.lat = 89.99;
    p.lon = 10;
    p.tas_kmh = 1000;
    p.fly = true;
    for (int i = 0; i < 60; ++i) aircraft_step(p, 1.0);
    EXPECT_LT(p.lat, 90.0);
    EXPECT_NEAR(p.lon, -170.0, 1e-6);
    EXPECT_NEAR(p.heading, 180.0, 1e-9);
    // Landed: the aircraft stands and reports no ground speed any more.
    p.fly = false;
    aircraft_step(p, 1.0);
    EXPECT_EQ(p.gs_north_kmh, 0.0);
    EXPECT_EQ(p.gs_east_kmh, 0.0);
}

TEST_F(StandinTest, AutopilotTurnsTheShortWayAndStopsOnTheBug) {
    struct Case {
        double heading, bug, after_1s, after_20s;
    } cases[] = {
        {350, 10, 353, 10}, {10, 300, 7, 310}, {90, 90, 90, 90}, {0, 359, 359, 359}, {180, 150, 177, 150},
    };
    for (const Case& c : cases) {
        Aircraft a;
        a.heading = c.heading;
        a.autopilot_heading_mode = true;
        aircraft_key_event(a, 66042, static_cast<int32_t>(c.bug) + 360);  // whole turns drop out
        EXPECT_EQ(a.ap_heading_bug, c.bug);
        aircraft_step(a, 1.0);
        EXPECT_NEAR(a.heading, c.after_1s, 1e-9) << c.heading << " -> " << c.bug;
        for (int i = 0; i < 19; ++i) aircraft_step(a, 1.0);
        EXPECT_NEAR(a.heading, c.after_20s, 1e-9) << c.heading << " -> " << c.bug;
    }
}

// A hook of the test's own, installed last so it sees every keystroke first.
uint32_t g_seen_flags;
uintptr_t g_seen_key;
void* g_test_hook;
intptr_t Q14_STDCALL recording_hook(int code, uintptr_t key, intptr_t flags) {
    g_seen_flags = static_cast<uint32_t>(flags);
    g_seen_key = key;
    return plat_call_next_hook(g_test_hook, code, key, flags);
}
intptr_t Q14_STDCALL swallowing_hook(int, uintptr_t, intptr_t) { return 1; }

TEST_F(StandinTest, KeystrokesCarryWindowsFlags) {
    g_test_hook = plat_install_keyboard_hook(recording_hook);
    ASSERT_NE(g_test_hook, nullptr);
    struct Case {
        int scan, repeat;
        bool release;
        uint32_t want;
    } cases[] = {
        {80, 1, false, 0x00500001u},  // first press
        {80, 1, false, 0x40500001u},  // held: previously down
        {80, 1, true, 0xC0500001u},   // release: previously down, released
        {28, 5, false, 0x001C0005u},  // repeat count in the low word
        {28, 1, true, 0xC01C0001u},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(host_key(c.scan, c.repeat, c.release)) << "nobody swallows it";
        EXPECT_EQ(g_seen_flags, c.want) << c.scan;
    }
    host_key(72);
    EXPECT_EQ(g_seen_key, 0x68u);  // keypad 8
    void* swallow = plat_install_keyboard_hook(swallowing_hook);
    EXPECT_TRUE(host_key(80));
    plat_remove_keyboard_hook(swallow);
    plat_remove_keyboard_hook(g_test_hook);
}

// The newest hook (unit 2) sees the key first and hands it on to unit 1, which holds focus.
TEST_F(StandinTest, KeystrokesReachTheOlderModuleThroughTheChain) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2);
    EXPECT_FALSE(host_key(80)) << "no unit holds focus";
    host_key(80, 1, true);
    EXPECT_EQ(host_click(n1, "Q14_UVI", uvi::kFocusArea), 1);
    EXPECT_TRUE(host_key(80));
    host_key(80, 1, true);
}

TEST_F(StandinTest, ClicksReachOnlyClickableAreas) {
    HostModule* m = host_open_unit(2);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(host_mouse_area_count(m, "Q14_UVI"), 24);
    EXPECT_EQ(host_click(m, "Q14_UVI", uvi::kModeDown), 1);
    EXPECT_EQ(host_click(m, "Q14_UVI", uvi::kAlignShortcut), 1);
    EXPECT_EQ(host_click(m, "Q14_UVI", uvi::kParentArea), 0) << "the parent is no area";
    EXPECT_EQ(host_click(m, "Q14_UVI", uvi::kAreaCount), 0) << "the end is no area";
    EXPECT_EQ(host_click(m, "Q_14_SYS", 1), 0);
    EXPECT_EQ(host_click(m, "NoSuchGauge", 1), 0);
    EXPECT_EQ(host_click(nullptr, "Q14_UVI", 1), 0);
}

TEST_F(StandinTest, StringElementsWriteIntoHostBuffersAndGetTheirSourceValue) {
    HostModule* m = host_open_unit(2);
    ASSERT_NE(m, nullptr);
    host_set_sim_variable(904, 7.5);
    host_update_elements(m, "Koord_i");
    EXPECT_EQ(host_element_value(m, "Koord_i", 1), 7.5) << "the host keeps source[0]'s value";
    host_frames(20);
    EXPECT_EQ(host_element_text(m, "Koord_i", 1).size(), 11u);
    EXPECT_TRUE(host_text_buffers_intact());
    // One byte past the terminator's place is noticed, until the next reset.
    auto* s = reinterpret_cast<StringElement*>(host_element(m, "DigTest", 2));
    ASSERT_NE(s, nullptr);
    s->text[s->chars + 1] = 'x';
    EXPECT_FALSE(host_text_buffers_intact());
    host_reset();
    EXPECT_TRUE(host_text_buffers_intact());
    // Out-of-range lookups give nothing rather than a crash.
    m = host_open_unit(2);
    EXPECT_EQ(host_element(m, "Q14_UVI", 16), nullptr);
    EXPECT_EQ(host_element(m, "Q14_UVI", -1), nullptr);
    EXPECT_TRUE(std::isnan(host_element_value(m, "Q14_UVI", 99)));
    EXPECT_EQ(host_element_text(m, "Q14_UVI", 0), "");
}

TEST_F(StandinTest, NamedValuesAreSharedAndForgottenWithTheirModule) {
    HostModule* n1 = host_open_unit(1);
    HostModule* n2 = host_open_unit(2);
    ASSERT_TRUE(n1 && n2);
    int32_t type = 0;
    ASSERT_NE(host_named_value("Q14_N1_LBU", &type), nullptr);
    EXPECT_EQ(type, 0x21);
    ASSERT_NE(host_named_value("Q14_N2_HOOK", &type), nullptr);
    EXPECT_EQ(type, 0x22);
    EXPECT_EQ(host_named_int("Q14_N2_HOOK"), 0);
    EXPECT_EQ(host_named_int("NO_SUCH_NAME"), -1);
    EXPECT_TRUE(std::isnan(host_named_double("NO_SUCH_NAME")));
    host_unload(n1);
    EXPECT_EQ(host_named_value("Q14_N1_LBU"), nullptr);
    EXPECT_NE(host_named_value("Q14_N2_LBU"), nullptr);
    host_frames(5);  // unit 2 runs on without its partner
    EXPECT_TRUE(host_text_buffers_intact());
}

// The tables as a module sees them: host events deliver 4 bytes then the path; the flight
// query fills 2592 bytes with the path from byte 4; identifiers the host does not serve get a
// zero-filled table.
TEST_F(StandinTest, HostTablesServeEventsFlightAndUnknownIdentifiers) {
    HostModule* m = host_load(host_module_path(2));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(host_event_callback_count(), 1) << "unit 2 registers at start";
    auto table = [&](uint32_t id) -> void* {
        for (ImportEntry* e = host_import_table(m); e->id; ++e)
            if (e->id == id) return e->table;
        return nullptr;
    };
    static std::vector<char> seen;
    static int32_t seen_event;
    HostEventCallback cb = [](int32_t event, void* data, uint32_t, uint32_t) {
        seen_event = event;
        const char* d = static_cast<const char*>(data);
        seen.assign(d, d + 4 + std::strlen(d + 4) + 1);
    };
    auto* ev = static_cast<HostEvents*>(table(0x1));
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(ev->register_event_callback(16, cb, 0, 0), 1);
    host_raise_event(38, "C:\\Flights\\one.FLT");
    EXPECT_EQ(seen_event, 38);
    ASSERT_EQ(seen.size(), 4 + 18 + 1u);
    EXPECT_STREQ(seen.data() + 4, "C:\\Flights\\one.FLT");
    EXPECT_EQ(ev->unregister_event_callback(16, cb, 0, 0), 1);
    EXPECT_EQ(host_event_callback_count(), 1);

    auto* cf = static_cast<CurrentFlight*>(table(0x2C));
    ASSERT_NE(cf, nullptr);
    std::vector<char> rec(kFlightRecordSize + 16, 'z');
    host_set_flight_path("C:\\Flights\\two.FLT");
    cf->current_flight_query(rec.data());
    EXPECT_STREQ(rec.data() + 4, "C:\\Flights\\two.FLT");
    host_set_flight_path(std::string(5000, 'p'));
    cf->current_flight_query(rec.data());
    EXPECT_EQ(std::strlen(rec.data() + 4), kFlightRecordSize - 5u);
    EXPECT_EQ(rec[kFlightRecordSize], 'z') << "the record is not overrun";

    for (uint32_t id : {0x19u, 0x1Cu, 0xAu, 0x17u}) {
        const auto* t = static_cast<const unsigned char*>(table(id));
        ASSERT_NE(t, nullptr) << id;
        for (int i = 0; i < 2048; ++i) ASSERT_EQ(t[i], 0) << id;
    }
    host_unload(m);
    EXPECT_EQ(host_event_callback_count(), 0);
}

}  // namespace
