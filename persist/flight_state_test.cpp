// Save and restore of the navigator state (unit 2): the .insb layout, the round trip, the
// saved-flight event, short and hostile files, and file-name limits.
#include "persist/flight_state.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "frame/host_api.h"
#include "frame/module.h"

namespace {

std::string g_flight_path;  // what the fake current-flight query reports

int32_t Q14_STDCALL fake_current_flight(void* record) {
    char* r = static_cast<char*>(record);
    std::memset(r, 0x5A, kFlightRecordSize);  // host-owned bytes are not ours to trust
    std::memcpy(r + 4, g_flight_path.c_str(), g_flight_path.size() + 1);
    return 1;
}

CurrentFlight g_flight_table = [] {
    CurrentFlight t{};
    t.current_flight_query = fake_current_flight;
    return t;
}();

ImportEntry* import_entry(uint32_t id) {
    for (ImportEntry& e : ImportTable.e)
        if (e.id == id) return &e;
    return nullptr;
}

double slot(const std::vector<uint8_t>& rec, int offset) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(rec[offset + i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

void put_slot(uint8_t* rec, int offset, double v) {
    uint64_t bits = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i) rec[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::vector<uint8_t> out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}

void write_file(const std::string& path, const uint8_t* data, size_t n) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (n > 0) std::fwrite(data, 1, n, f);
    std::fclose(f);
}

bool file_exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Every stored field with its offset and a value that differs from its start value.
struct IntCase { int offset; int32_t NavState::*m; int32_t v; };
struct U8Case { int offset; uint8_t NavState::*m; uint8_t v; };
struct I8Case { int offset; int8_t NavState::*m; int8_t v; };
struct F64Case { int offset; double NavState::*m; double v; };

using S = NavState;
const IntCase kInts[] = {
    {1024, &S::file_ppm_index, 37}, {1048, &S::align_countdown, -49}, {1112, &S::battery_capacity, 9000},
    {1120, &S::battery_charge, 4321}, {1392, &S::vibration_fault, -7}, {1528, &S::leg_switch_timer, 45},
    {1536, &S::lzp_prompt_timer, 700}, {1544, &S::warmup_counter, 180},
};
// The 0/1 fields take one of five patterns: flag i holds bit p of i + 1 in pattern p. Any two
// flags differ in some pattern, so a save or restore that swaps two of their slots shows.
// Pattern -1 sets every flag opposite to its start value, so a kept field shows too.
struct FlagCase { int offset; int32_t NavState::*m; };
const FlagCase kFlags[] = {
    {1032, &S::unit_on},       {1040, &S::align_done},         {1056, &S::warmed_up},
    {1064, &S::nav_ready},     {1072, &S::align_running},      {1080, &S::unit_powered},
    {1088, &S::ext_power},     {1096, &S::on_battery},         {1104, &S::battery_has_charge},
    {1168, &S::got_var},       {1176, &S::clock_set},          {1184, &S::ap_steering_on},
    {1248, &S::auto_manual},   {1376, &S::lat_fault},          {1384, &S::lon_fault},
    {1400, &S::start_lon_set}, {1408, &S::start_lat_set},      {1504, &S::leg_switched},
    {1512, &S::lzp_prompt_latch}, {1520, &S::leg_switch_armed}, {1552, &S::align_armed},
};
constexpr int kFlagPatterns = 5;  // 21 flags: codes 1..21 fit in five bits
constexpr int kOppositeFlags = -1;
int32_t flag_value(size_t i, int pattern) {
    static const auto start = std::make_unique<NavState>();
    if (pattern == kOppositeFlags) return (*start).*kFlags[i].m == 0 ? 1 : 0;
    return static_cast<int32_t>(((i + 1) >> pattern) & 1);
}

const U8Case kU8s[] = {
    {1128, &S::work_state, 2}, {1200, &S::mode_switch, 9}, {1224, &S::ppm_from, 4},
    {1232, &S::ppm_to, 5},     {1472, &S::ppm_to_copy, 8}, {1480, &S::ppm_next, 6},
};
// The small integers all differ from each other, so no two of their slots can trade places.
const I8Case kI8s[] = {{1136, &S::pur_selector, 3}, {1216, &S::ppm_wheel, 7}};
const F64Case kF64s[] = {
    {1144, &S::clock_minutes, 754.25},         {1152, &S::tas_entered, 820},
    {1256, &S::present_lat, 55.123456789012},  {1264, &S::start_lat, 55.1 + 1e-13},
    {1272, &S::present_lon, -37.000000000001}, {1280, &S::start_lon, kEmptyLon},
    {1288, &S::shown_lat, 0.1 + 0.2},          {1296, &S::shown_lon, -0.0},
    {1304, &S::shown_heading, 359.99999},      {1312, &S::shown_track_angle, 12.5},
    {1320, &S::shown_dist_to_go, -3.25},       {1328, &S::shown_cross_track, 1e-300},
    {1336, &S::shown_ground_speed, 812.75},    {1344, &S::shown_drift_angle, -4.5},
    {1352, &S::shown_time_to_go, 17.0625},     {1360, &S::shown_wind_dir, 271.5},
    {1368, &S::shown_wind_speed, 66.6},        {1464, &S::next_leg_course, 123.456},
    {1488, &S::leg_final_course, 98.7},        {1496, &S::turn_angle, 24.5},
};

void fill_distinct(NavState& s, int pattern = kOppositeFlags) {
    for (const IntCase& c : kInts) s.*c.m = c.v;
    for (size_t i = 0; i < std::size(kFlags); ++i) s.*kFlags[i].m = flag_value(i, pattern);
    for (const U8Case& c : kU8s) s.*c.m = c.v;
    for (const I8Case& c : kI8s) s.*c.m = c.v;
    for (const F64Case& c : kF64s) s.*c.m = c.v;
    for (int k = 1; k <= 9; ++k) {
        s.ppm_lat[k] = 50 + k / 7.0;
        s.ppm_lon[k] = k == 5 ? kEmptyLon : -20 - k / 3.0;
    }
}

class FlightState : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q14_persist_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        import_entry(kTableCurrentFlight)->table = &g_flight_table;
        g_flight_path = dir_ + "/flight.FLT";
        g_nav.save_countdown = 0;
    }
    void TearDown() override {
        import_entry(kTableCurrentFlight)->table = nullptr;
        std::string cmd = "rm -rf '" + dir_ + "'";
        (void)std::system(cmd.c_str());
    }
    std::string state_file() const { return g_flight_path + ".insb"; }

    std::string dir_;
};

TEST_F(FlightState, SavedFileHasTheTabledLayout) {
    for (int pattern = kOppositeFlags; pattern < kFlagPatterns; ++pattern) {
        SCOPED_TRACE("flag pattern " + std::to_string(pattern));
        auto s = std::make_unique<NavState>();
        fill_distinct(*s, pattern);
        save_navigator_state(*s);
        std::vector<uint8_t> rec = read_file(state_file());
        ASSERT_EQ(rec.size(), 2048u);

        // Reserved bytes are zero when no file with other values was read.
        const int zero_ranges[][2] = {{0, 8}, {504, 520}, {1016, 1024}, {1160, 1168}, {1192, 1200}, {1560, 2048}};
        for (auto [b, e] : zero_ranges)
            for (int i = b; i < e; ++i) EXPECT_EQ(rec[i], 0) << "byte " << i;
        for (int k = 10; k <= 62; ++k) {
            EXPECT_EQ(slot(rec, 8 * k), 0.0) << "lat slot " << k;
            EXPECT_EQ(slot(rec, 512 + 8 * k), 0.0) << "lon slot " << k;
        }
        for (int off : {1240, 1448, 1456}) EXPECT_EQ(slot(rec, off), 1.0) << off;
        for (int off : {1208, 1416, 1424, 1432, 1440}) EXPECT_EQ(slot(rec, off), 0.0) << off;

        // Fields at their offsets, little-endian: 9.0 is 0x4022000000000000.
        const uint8_t nine[8] = {0, 0, 0, 0, 0, 0, 0x22, 0x40};
        EXPECT_EQ(std::memcmp(&rec[1200], nine, 8), 0);
        for (const IntCase& c : kInts) EXPECT_EQ(slot(rec, c.offset), c.v) << c.offset;
        for (size_t i = 0; i < std::size(kFlags); ++i)
            EXPECT_EQ(slot(rec, kFlags[i].offset), flag_value(i, pattern)) << kFlags[i].offset;
        for (const U8Case& c : kU8s) EXPECT_EQ(slot(rec, c.offset), c.v) << c.offset;
        for (const I8Case& c : kI8s) EXPECT_EQ(slot(rec, c.offset), c.v) << c.offset;
        for (const F64Case& c : kF64s)
            EXPECT_EQ(std::bit_cast<uint64_t>(slot(rec, c.offset)), std::bit_cast<uint64_t>(c.v)) << c.offset;
        for (int k = 1; k <= 9; ++k) {
            EXPECT_EQ(slot(rec, 8 * k), s->ppm_lat[k]);
            EXPECT_EQ(slot(rec, 512 + 8 * k), s->ppm_lon[k]);
        }
    }
}

TEST_F(FlightState, SaveThenLoadRestoresEveryField) {
    for (int pattern = kOppositeFlags; pattern < kFlagPatterns; ++pattern) {
        SCOPED_TRACE("flag pattern " + std::to_string(pattern));
        auto a = std::make_unique<NavState>();
        fill_distinct(*a, pattern);
        save_navigator_state(*a);

        auto b = std::make_unique<NavState>();
        b->sim_time = 5000.5;
        b->sim_time_copy = 5000.25;
        b->sim_time_prev = 1.0;
        b->sim_time_last_second = 2.0;
        load_navigator_state(*b);
        for (const IntCase& c : kInts) EXPECT_EQ((*b).*c.m, c.v) << c.offset;
        for (size_t i = 0; i < std::size(kFlags); ++i)
            EXPECT_EQ((*b).*kFlags[i].m, flag_value(i, pattern)) << kFlags[i].offset;
        for (const U8Case& c : kU8s) EXPECT_EQ((*b).*c.m, c.v) << c.offset;
        for (const I8Case& c : kI8s) EXPECT_EQ((*b).*c.m, c.v) << c.offset;
        for (const F64Case& c : kF64s)
            EXPECT_EQ(std::bit_cast<uint64_t>((*b).*c.m), std::bit_cast<uint64_t>(c.v)) << c.offset;
        for (int k = 1; k <= 9; ++k) {
            EXPECT_EQ(b->ppm_lat[k], a->ppm_lat[k]);
            EXPECT_EQ(b->ppm_lon[k], a->ppm_lon[k]);
        }
        // Entry 0 (the start point) is not stored; the clock continues from the present time.
        EXPECT_EQ(b->ppm_lat[0], 0.0);
        EXPECT_EQ(b->sim_time_prev, 5000.5);
        EXPECT_EQ(b->sim_time_last_second, 5000.25);
        EXPECT_EQ(std::memcmp(a->save_record, b->save_record, kSaveRecordSize), 0);
    }
}

TEST_F(FlightState, ReservedBytesReadEarlierAreWrittenBack) {
    std::vector<uint8_t> file(2048, 0);
    for (int i = 0; i < 2048; ++i) file[i] = static_cast<uint8_t>(i * 7 + 1);
    write_file(state_file(), file.data(), file.size());
    auto s = std::make_unique<NavState>();
    load_navigator_state(*s);
    save_navigator_state(*s);
    std::vector<uint8_t> rec = read_file(state_file());
    ASSERT_EQ(rec.size(), 2048u);
    for (int i : {0, 7, 504, 519, 1016, 1160, 1199, 1560, 2047}) EXPECT_EQ(rec[i], file[i]) << i;
    for (int k : {10, 62}) EXPECT_EQ(std::memcmp(&rec[8 * k], &file[8 * k], 8), 0);
    // The constant reserved slots are rewritten.
    EXPECT_EQ(slot(rec, 1240), 1.0);
    EXPECT_EQ(slot(rec, 1208), 0.0);
}

TEST_F(FlightState, ShortFileFillsOnlyTheStartOfTheRecord) {
    auto s = std::make_unique<NavState>();
    fill_distinct(*s);
    navigator_state_to_record(*s);  // the record as a save left it
    std::vector<uint8_t> part(1032, 0);
    put_slot(part.data(), 8 * 3, 12.5);      // waypoint 3 latitude
    put_slot(part.data(), 512 + 8 * 3, -8);  // waypoint 3 longitude
    put_slot(part.data(), 1024, 11);         // file_ppm_index
    write_file(state_file(), part.data(), part.size());

    s->mode_switch = 2;  // differs from what the old record holds (9)
    load_navigator_state(*s);
    EXPECT_EQ(s->ppm_lat[3], 12.5);
    EXPECT_EQ(s->ppm_lon[3], -8.0);
    EXPECT_EQ(s->ppm_lat[2], 0.0);  // the file's zero slot replaced it
    EXPECT_EQ(s->file_ppm_index, 11);
    EXPECT_EQ(s->mode_switch, 9);   // from the part of the record the file did not reach
    EXPECT_EQ(s->ppm_wheel, 7);
}

TEST_F(FlightState, EmptyRecordAndMissingFile) {
    auto s = std::make_unique<NavState>();
    fill_distinct(*s);
    load_navigator_state(*s);  // no file: nothing changes
    EXPECT_EQ(s->mode_switch, 9);
    EXPECT_EQ(s->sim_time_prev, 0.0);

    write_file(state_file(), nullptr, 0);  // empty file over an all-zero record
    auto z = std::make_unique<NavState>();
    load_navigator_state(*z);
    // Zero is out of range for mode_switch and battery_capacity: they keep their start values.
    EXPECT_EQ(z->mode_switch, 1);
    EXPECT_EQ(z->battery_capacity, 10800);
    EXPECT_EQ(z->battery_charge, 0);
    EXPECT_EQ(z->got_var, 0);
}

// A slot with a value outside its field's range leaves that field as it was; every other
// field is restored.
struct BadSlot {
    const char* what;
    int offset;
    double value;
};

TEST_F(FlightState, InvalidSlotsKeepTheirFields) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const BadSlot cases[] = {
        {"mode_switch 0", 1200, 0},          {"mode_switch 10", 1200, 10},     {"mode_switch NaN", 1200, nan},
        {"mode_switch 1e300", 1200, 1e300},  {"mode_switch -inf", 1200, -inf}, {"pur_selector 5", 1136, 5},
        {"pur_selector -1", 1136, -1},       {"pur_selector 256", 1136, 256},  {"ppm_wheel 10", 1216, 10},
        {"ppm_wheel -1", 1216, -1},          {"ppm_from 10", 1224, 10},        {"ppm_to -1", 1232, -1},
        {"ppm_to 265", 1232, 265},           {"ppm_to_copy 10", 1472, 10},     {"ppm_next 1e10", 1480, 1e10},
        {"file_ppm_index 64", 1024, 64},     {"file_ppm_index -1", 1024, -1},  {"work_state 1", 1128, 1},
        {"work_state 4", 1128, 4},           {"auto_manual 2", 1248, 2},       {"nav_ready NaN", 1064, nan},
        {"align_countdown 5501", 1048, 5501}, {"battery_capacity 0", 1112, 0}, {"battery_capacity 10801", 1112, 10801},
        {"leg_switch_timer 91", 1528, 91},   {"lzp_prompt_timer 721", 1536, 721}, {"warmup_counter 181", 1544, 181},
        {"vibration_fault 2^31", 1392, 2147483648.0}, {"clock_minutes 1441", 1144, 1441},
        {"clock_minutes NaN", 1144, nan},    {"tas_entered -1", 1152, -1},     {"present_lat inf", 1256, inf},
        {"shown_heading NaN", 1304, nan},    {"turn_angle -inf", 1496, -inf},  {"waypoint 4 lat NaN", 32, nan},
        {"waypoint 9 lon inf", 512 + 72, inf},
    };
    auto saved = std::make_unique<NavState>();
    fill_distinct(*saved);
    navigator_state_to_record(*saved);
    for (const BadSlot& c : cases) {
        SCOPED_TRACE(c.what);
        auto s = std::make_unique<NavState>();
        std::memcpy(s->save_record, saved->save_record, kSaveRecordSize);
        put_slot(s->save_record, c.offset, c.value);
        auto before = std::make_unique<NavState>(*s);
        navigator_state_from_record(*s);
        // The bad slot's field is as before; every other field took the saved value.
        for (const IntCase& f : kInts) EXPECT_EQ((*s).*f.m, f.offset == c.offset ? (*before).*f.m : f.v) << f.offset;
        for (size_t i = 0; i < std::size(kFlags); ++i) {
            const FlagCase& f = kFlags[i];
            EXPECT_EQ((*s).*f.m, f.offset == c.offset ? (*before).*f.m : flag_value(i, kOppositeFlags)) << f.offset;
        }
        for (const U8Case& f : kU8s) EXPECT_EQ((*s).*f.m, f.offset == c.offset ? (*before).*f.m : f.v) << f.offset;
        for (const I8Case& f : kI8s) EXPECT_EQ((*s).*f.m, f.offset == c.offset ? (*before).*f.m : f.v) << f.offset;
        for (const F64Case& f : kF64s) {
            double want = f.offset == c.offset ? (*before).*f.m : f.v;
            EXPECT_EQ(std::bit_cast<uint64_t>((*s).*f.m), std::bit_cast<uint64_t>(want)) << f.offset;
        }
        for (int k = 1; k <= 9; ++k) {
            EXPECT_EQ(s->ppm_lat[k], 8 * k == c.offset ? before->ppm_lat[k] : saved->ppm_lat[k]);
            EXPECT_EQ(s->ppm_lon[k], 512 + 8 * k == c.offset ? before->ppm_lon[k] : saved->ppm_lon[k]);
        }
    }
}

TEST_F(FlightState, ChargeNeverExceedsTheCapacity) {
    auto s = std::make_unique<NavState>();
    s->battery_charge = 500;
    put_slot(s->save_record, 1112, 9000);
    put_slot(s->save_record, 1120, 9001);  // above the capacity restored with it: kept
    navigator_state_from_record(*s);
    EXPECT_EQ(s->battery_capacity, 9000);
    EXPECT_EQ(s->battery_charge, 500);

    // A smaller capacity over a charge slot that is not valid: the kept charge is cut to it.
    auto t = std::make_unique<NavState>();
    put_slot(t->save_record, 1112, 2);
    put_slot(t->save_record, 1120, std::numeric_limits<double>::quiet_NaN());
    navigator_state_from_record(*t);
    EXPECT_EQ(t->battery_capacity, 2);
    EXPECT_EQ(t->battery_charge, 2);
}

TEST_F(FlightState, IntegersAreTruncatedTowardZero) {
    auto s = std::make_unique<NavState>();
    put_slot(s->save_record, 1200, 9.99);   // mode_switch
    put_slot(s->save_record, 1216, -0.75);  // ppm_wheel: -0 is 0
    put_slot(s->save_record, 1048, -49.9);  // align_countdown
    put_slot(s->save_record, 1112, 10800);
    navigator_state_from_record(*s);
    EXPECT_EQ(s->mode_switch, 9);
    EXPECT_EQ(s->ppm_wheel, 0);
    EXPECT_EQ(s->align_countdown, -49);
}

TEST_F(FlightState, SavedFlightEventArmsTheSaveOnlyForTheCurrentFlight) {
    auto event_data = [](const std::string& path) {
        std::vector<char> d(4 + path.size() + 1, 0);
        std::memcpy(d.data() + 4, path.c_str(), path.size() + 1);
        return d;
    };
    std::string upper = g_flight_path;
    upper[upper.size() - 3] = 'f';  // ".fLT": differs by letter case only
    struct Case {
        const char* what;
        int32_t event;
        std::string path;
        int8_t want;
    } cases[] = {
        {"exact path", 38, g_flight_path, 45},
        {"letter case differs", 38, upper, 0},
        {"longer path", 38, g_flight_path + "x", 0},
        {"shorter path", 38, g_flight_path.substr(0, g_flight_path.size() - 1), 0},
        {"other event", 37, g_flight_path, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_nav.save_countdown = 0;
        std::vector<char> d = event_data(c.path);
        on_host_event(c.event, d.data(), 0, 0);
        EXPECT_EQ(g_nav.save_countdown, c.want);
    }
    // A second matching event before the save restarts the countdown.
    g_nav.save_countdown = 30;
    std::vector<char> d = event_data(g_flight_path);
    on_host_event(38, d.data(), 0, 0);
    EXPECT_EQ(g_nav.save_countdown, 45);
}

TEST_F(FlightState, EventDataThatCannotBeReadIsIgnored) {
    long page = sysconf(_SC_PAGESIZE);
    char* mem = static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(mem, MAP_FAILED);
    ASSERT_EQ(munmap(mem + page, page), 0);
    // The data ends one byte short of the path's terminator at the end of the mapping.
    size_t n = g_flight_path.size();
    char* d = mem + page - (4 + n);
    std::memcpy(d + 4, g_flight_path.data(), n);
    on_host_event(38, d, 0, 0);
    EXPECT_EQ(g_nav.save_countdown, 0);
    on_host_event(38, nullptr, 0, 0);
    EXPECT_EQ(g_nav.save_countdown, 0);
    munmap(mem, page);
}

TEST_F(FlightState, FileNameLimit) {
    // 250 characters of path give a 255-character name.
    std::string base = dir_ + "/";
    g_flight_path = base + std::string(250 - base.size(), 'p');
    ASSERT_EQ(g_flight_path.size(), 250u);
    auto s = std::make_unique<NavState>();
    fill_distinct(*s);
    save_navigator_state(*s);
    ASSERT_TRUE(file_exists(g_flight_path + ".insb"));
    EXPECT_EQ((g_flight_path + ".insb").size(), 255u);
    auto b = std::make_unique<NavState>();
    load_navigator_state(*b);
    EXPECT_EQ(b->mode_switch, 9);

    // One more and the name would not fit: neither save nor load.
    g_flight_path = base + std::string(251 - base.size(), 'q');
    save_navigator_state(*s);
    EXPECT_FALSE(file_exists(g_flight_path + ".insb"));
    auto rec = std::make_unique<NavState>();
    fill_distinct(*rec);
    navigator_state_to_record(*rec);
    write_file(g_flight_path + ".insb", rec->save_record, kSaveRecordSize);
    auto c = std::make_unique<NavState>();
    load_navigator_state(*c);
    EXPECT_EQ(c->mode_switch, 1);
    EXPECT_EQ(c->sim_time_prev, 0.0);
}

TEST_F(FlightState, NoFlightNoTableNoFileWork) {
    auto s = std::make_unique<NavState>();
    fill_distinct(*s);
    // No flight loaded: nothing is written beside an empty path.
    g_flight_path = "";
    save_navigator_state(*s);
    EXPECT_FALSE(file_exists(".insb"));
    std::vector<char> d(8, 0);
    on_host_event(38, d.data(), 0, 0);
    EXPECT_EQ(g_nav.save_countdown, 0);
    // Without the host's current-flight table.
    g_flight_path = dir_ + "/flight.FLT";
    import_entry(kTableCurrentFlight)->table = nullptr;
    save_navigator_state(*s);
    EXPECT_FALSE(file_exists(state_file()));
    on_host_event(38, d.data(), 0, 0);
    EXPECT_EQ(g_nav.save_countdown, 0);
}

TEST_F(FlightState, UnwritableFileSkipsTheSave) {
    g_flight_path = dir_ + "/no_such_dir/flight.FLT";
    auto s = std::make_unique<NavState>();
    fill_distinct(*s);
    save_navigator_state(*s);  // must not crash
    EXPECT_FALSE(file_exists(state_file()));
}

}  // namespace
