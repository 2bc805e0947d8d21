// The unit switches on, warms up and aligns, seen from the cockpit: the selector and lamps of
// the PUR, the stage on the UVI, the published GOT and OST_IND, driven through the stand-in.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/sim_dir.h"
#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

constexpr const char* kUvi = "Q14_UVI";
constexpr const char* kPur = "Q14_PUR";
constexpr const char* kBlank = "          ";

// PUR mouse areas and chain elements.
using pur::kSelectorDown, pur::kSelectorUp, pur::kLampTest;
constexpr int kPitLamp = pur::kPit, kOtkazLamp = pur::kOtkaz, kKvLamp = pur::kKv, kVnimLamp = pur::kVnim,
              kNegotLamp = pur::kNegot;
constexpr int kAllLamps[] = {kPitLamp, kOtkazLamp, kKvLamp, kVnimLamp, kNegotLamp};
// UVI mouse areas and chain elements.
using uvi::kModeDown, uvi::kModeUp, uvi::kTakePosition, uvi::kAlignShortcut, uvi::kUpperLine, uvi::kLowerLine;
constexpr int kOstInd = uvi::kHold, kOstLamp = uvi::kHoldLamp;

std::string stage_text(int stage) {
    char t[16];
    std::snprintf(t, sizeof t, "        %02d", stage);
    return t;
}

// In the stand-in's order the panels run before the system gauge within a frame, so what the
// system cycle of frame f leaves is drawn in frame f + 1. Frame 0 is the cycle at OTKL; the
// selector then stands at VYST, the warm-up runs in frames 1 to 180 and countdown cycle k runs
// in frame 179 + k and is drawn in frame 180 + k.
constexpr int kFirstCountdownFrame = 180;

class AlignmentScenario : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        dir_ = host_make_sim_dir("q14_align", "");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        host_reset();
        host_remove_sim_dir(dir_);
    }
    std::string cfg() const { return host_sim_cfg_path(dir_); }
    void write_settings(const char* text) {
        FILE* f = std::fopen(cfg().c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }

    void open(int unit = 2) {
        unit_ = unit;
        m_ = host_open_unit(unit);
        ASSERT_NE(m_, nullptr) << host_last_error();
    }
    // Clicks only; the next frame acts on the final position.
    void selector(int pos) {
        for (int i = 0; i < 4; ++i) host_click(m_, kPur, kSelectorDown);
        for (int i = 0; i < pos; ++i) host_click(m_, kPur, kSelectorUp);
    }
    void page(int p) {
        for (int i = 0; i < 8; ++i) host_click(m_, kUvi, kModeDown);
        for (int i = 1; i < p; ++i) host_click(m_, kUvi, kModeUp);
    }
    void take_position() {
        page(2);
        host_click(m_, kUvi, kTakePosition);
        page(3);
    }
    bool lit(int lamp) { return host_element_value(m_, kPur, lamp) == 0.0; }
    std::string lower() { return host_element_text(m_, kUvi, kLowerLine); }
    std::string upper() { return host_element_text(m_, kUvi, kUpperLine); }
    std::string name(const char* what) const { return std::string(unit_ == 1 ? "Q14_N1_" : "Q14_N2_") + what; }
    int got() { return host_named_int(name("GOT")); }
    int ost_ind() { return host_named_int(name("OST_IND")); }

    // OTKL for frame 0, then VYST on page 3 through the warm-up; the countdown has run its first
    // cycle when this returns.
    void start_alignment() {
        host_frame();
        selector(2);
        page(3);
        host_frames(kFirstCountdownFrame);
    }
    // Aligned on the aircraft's position with the shortcut, and navigating.
    void navigate() {
        start_alignment();
        take_position();
        host_click(m_, kUvi, kAlignShortcut);
        host_frames(560);
        ASSERT_EQ(lower(), stage_text(0));
        selector(3);
        host_frames(2);
        ASSERT_EQ(got(), 1);
    }

    std::string dir_;
    HostModule* m_ = nullptr;
    int unit_ = 2;
};

TEST_F(AlignmentScenario, TimelineFromOtklToNavig) {
    open();
    EXPECT_EQ(got(), 1) << "GOT reads 1 before the first cycle";
    host_frame();
    EXPECT_EQ(got(), 0);
    selector(2);
    page(3);

    std::vector<std::string> shown(1);  // shown[f]: page 3's lower line after frame f
    std::vector<bool> negot(1);
    for (int f = 1; f <= 5800; ++f) {
        host_frame();
        shown.push_back(lower());
        negot.push_back(lit(kNegotLamp));
        if (f == kFirstCountdownFrame) take_position();
    }
    for (int f = 1; f <= kFirstCountdownFrame; ++f) {
        ASSERT_EQ(shown[size_t(f)], kBlank) << "frame " << f;
        ASSERT_FALSE(negot[size_t(f)]) << "frame " << f;
    }
    EXPECT_EQ(shown[kFirstCountdownFrame + 1], stage_text(90)) << "alignment starts on the 180th cycle";
    EXPECT_TRUE(negot[kFirstCountdownFrame + 1]) << "warmed up, not ready";
    EXPECT_EQ(std::count(shown.begin(), shown.end(), stage_text(90)), 999);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), stage_text(1)), 99);
    EXPECT_EQ(shown[kFirstCountdownFrame + 1000], stage_text(80));
    EXPECT_EQ(shown[kFirstCountdownFrame + 5549], stage_text(1));
    EXPECT_EQ(shown[kFirstCountdownFrame + 5550], stage_text(0)) << "completes on the 5550th countdown cycle";
    EXPECT_EQ(shown.back(), stage_text(0));
    EXPECT_FALSE(lit(kVnimLamp));
    EXPECT_EQ(got(), 0) << "aligned, but VYST is not navigation";

    selector(3);
    host_frame();
    EXPECT_EQ(got(), 0) << "GOT lags readiness by one cycle";
    host_frame();
    EXPECT_EQ(got(), 1);
    host_frame();
    EXPECT_FALSE(lit(kNegotLamp));
}

TEST_F(AlignmentScenario, FaultsStopTheCountdownAndLightVnim) {
    struct Case {
        const char* what;
        bool take_position;
        int take_before_frame;  // frame before which the start is taken (0: at once)
        double lat_after;       // aircraft latitude once the start is taken
        double engines_pct;
        const char* settings;   // "SYS" section, null for none
        int fault_k;            // countdown cycle of the fault, 0 for a clean alignment
    };
    const Case cases[] = {
        {"start latitude 0.2 north of the aircraft", true, 0, -0.2, 0, nullptr, 3000},
        {"start latitude 0.2 south of the aircraft", true, 0, 0.2, 0, nullptr, 3000},
        {"start latitude 0.166 off is within tolerance", true, 0, 0.166, 0, nullptr, 0},
        {"start never entered", false, 0, 0, 0, nullptr, 2000},
        {"start entered on the last cycle of stage 80", true, kFirstCountdownFrame + 1999, 0, 0, nullptr, 0},
        {"start entered once stage 70 shows", true, kFirstCountdownFrame + 2000, 0, 0, nullptr, 2000},
        {"engines running, monitor on by default", true, 0, 0, 100, nullptr, 4051},
        {"engines running, monitor off", true, 0, 0, 100, "[SYS]\nvibr_kontrol=0\n", 0},
        {"engines idling below 6 %", true, 0, 0, 5.9, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host_reset();
        std::remove(cfg().c_str());
        host_set_sim_dir(dir_);
        if (c.settings) write_settings(c.settings);
        Aircraft& a = host_aircraft();
        a.lat = 0;
        a.lon = 30;
        for (double& e : a.engine_pct) e = c.engines_pct;
        open();
        start_alignment();

        int vnim_frame = 0;
        for (int f = kFirstCountdownFrame + 1; f <= kFirstCountdownFrame + 5600 && vnim_frame == 0; ++f) {
            if (c.take_position && f == std::max(c.take_before_frame, kFirstCountdownFrame + 1)) {
                take_position();
                a.lat = c.lat_after;
            }
            host_frame();
            if (lit(kVnimLamp)) vnim_frame = f;
        }
        if (c.fault_k == 0) {
            EXPECT_EQ(vnim_frame, 0);
            EXPECT_EQ(lower(), stage_text(0));
            continue;
        }
        EXPECT_EQ(vnim_frame, kFirstCountdownFrame + c.fault_k);
        const std::string frozen = lower();
        host_frames(200);
        EXPECT_EQ(lower(), frozen) << "the countdown stopped";
        EXPECT_TRUE(lit(kVnimLamp));
        selector(0);
        host_frames(2);
        selector(1);
        host_frames(2);
        EXPECT_FALSE(lit(kVnimLamp)) << "OTKL clears the faults";
    }
}

TEST_F(AlignmentScenario, SelectorTransitions) {
    open();
    navigate();
    selector(2);  // back to VYST: not ready, still aligned
    host_frames(3);  // NEGOT follows readiness a cycle later and is drawn a frame after
    EXPECT_EQ(got(), 0);
    EXPECT_TRUE(lit(kNegotLamp));
    selector(3);
    host_frames(2);
    EXPECT_EQ(got(), 1) << "ready again at once";
    selector(4);  // KV keeps what NAVIG left
    host_frames(20);
    EXPECT_EQ(got(), 1);
    selector(1);  // OBOGR drops readiness and the alignment with it
    host_frames(2);
    EXPECT_EQ(got(), 0);
    selector(3);
    host_frames(20);
    EXPECT_EQ(got(), 0);
    EXPECT_EQ(lower(), kBlank);

    selector(0);  // OTKL, then a fresh warm-up and alignment
    host_frame();
    selector(2);
    host_frames(kFirstCountdownFrame);
    EXPECT_EQ(lower(), kBlank);
    host_frame();
    EXPECT_EQ(lower(), stage_text(90));
}

TEST_F(AlignmentScenario, NavigBeforeCompletionCancelsUntilOtkl) {
    open();
    start_alignment();
    take_position();
    host_click(m_, kUvi, kAlignShortcut);  // countdown 500: stage 10 and falling
    host_frames(150);
    selector(3);
    host_frame();
    selector(2);
    host_frame();
    const std::string frozen = lower();
    EXPECT_EQ(frozen, stage_text(7));
    host_frames(300);
    EXPECT_EQ(lower(), frozen) << "no new alignment without OTKL";
    selector(3);
    host_frames(2);
    EXPECT_EQ(got(), 0);

    selector(0);
    host_frame();
    selector(2);
    host_frames(kFirstCountdownFrame + 1);
    EXPECT_EQ(lower(), stage_text(90));
}

TEST_F(AlignmentScenario, VystToObogrRunsTheCountdownButLosesTheCompletion) {
    open();
    start_alignment();
    take_position();
    host_click(m_, kUvi, kAlignShortcut);
    selector(1);
    host_frames(600);
    selector(3);
    host_frames(3);
    EXPECT_EQ(got(), 0);
    selector(2);
    host_frames(3);
    EXPECT_EQ(lower(), kBlank) << "no running alignment to show";
}

TEST_F(AlignmentScenario, BatteryDrainsLightsPitAndRunsOut) {
    open();
    host_aircraft().ext_power = false;
    selector(0);
    host_frames(1000);  // OTKL: neither drains nor charges
    selector(1);
    int pit_first = 0, negot_last = 0;
    for (int f = 1; f <= 11000; ++f) {
        host_frame();
        if (pit_first == 0 && lit(kPitLamp)) pit_first = f;
        if (lit(kNegotLamp)) negot_last = f;
    }
    // Charge after cycle c is 10800 - c: below half from cycle 5401, empty at cycle 10800.
    EXPECT_EQ(pit_first, 5402);
    EXPECT_EQ(negot_last, 10800);
    EXPECT_FALSE(lit(kPitLamp));

    host_aircraft().ext_power = true;  // external power: the unit runs and the battery charges
    host_frames(182);
    EXPECT_TRUE(lit(kNegotLamp));
    EXPECT_FALSE(lit(kPitLamp));
    host_click(m_, kPur, kLampTest);
    host_update_elements(m_, kPur);
    EXPECT_TRUE(lit(kPitLamp)) << "the lamp itself works";
}

TEST_F(AlignmentScenario, DisplayHoldNothingOnPagesOneAndFour) {
    open();
    Aircraft& a = host_aircraft();
    a.lat = 55;
    a.lon = 37;
    navigate();
    for (int p : {1, 4}) {
        page(p);
        host_click(m_, kUvi, kOstInd);
        host_frames(2);
        EXPECT_EQ(ost_ind(), 0) << "page " << p;
    }

    a.fly = true;
    a.tas_kmh = 720;
    a.heading = 0;
    page(2);
    host_frame();
    host_click(m_, kUvi, kOstInd);
    host_frames(2);
    EXPECT_EQ(ost_ind(), 1);
    EXPECT_EQ(host_element_value(m_, kUvi, kOstLamp), 0.0);
    const std::string held = upper();
    host_frames(90);  // 5 s at 720 km/h: a kilometre north
    EXPECT_EQ(upper(), held);

    page(1);  // any further press releases
    host_click(m_, kUvi, kOstInd);
    host_frame();
    EXPECT_EQ(ost_ind(), 0);
    page(2);
    host_frames(2);
    EXPECT_NE(upper(), held);
}

// Unit 1 dead-reckons with the frame time: its computed position moves with the aircraft on
// one-second frames, and by only 0.055 s worth on frames a millisecond longer.
TEST_F(AlignmentScenario, FrameTimeAboveOneSecondCountsAsOneShortFrame) {
    open(1);
    Aircraft& a = host_aircraft();
    a.lat = 55;
    a.lon = 37;
    navigate();
    a.fly = true;
    a.tas_kmh = 360;
    a.heading = 0;
    host_frames(2);

    // Latitude minutes of a read-out text "N 55 00,123".
    auto minutes = [&](const char* gauge) {
        const std::string t = host_element_text(m_, gauge, 1);
        return std::stod(t.substr(2, 2)) * 60 + std::stod(t.substr(5, 2)) + std::stod(t.substr(8, 3)) / 1000;
    };
    struct Case {
        double frame_s;
        double ratio;  // computed over true displacement
    };
    for (const Case c : {Case{1.0, 1.0}, Case{1.001, 0.055 / 1.001}}) {
        host_set_frame_rate(1.0 / c.frame_s);
        host_frame();  // the first frame at the new rate
        const double true0 = minutes("Koord_i"), own0 = minutes("Koord_s");
        host_frames(20);
        const double true_moved = minutes("Koord_i") - true0, own_moved = minutes("Koord_s") - own0;
        EXPECT_NEAR(true_moved, 20 * c.frame_s * 0.1 / 1.852, 0.01) << c.frame_s;
        EXPECT_NEAR(own_moved / true_moved, c.ratio, 0.01 * c.ratio + 0.002) << c.frame_s;
    }
}

TEST_F(AlignmentScenario, LampTestLastsEighteenPurCycles) {
    open();
    host_frame();
    host_click(m_, kPur, kLampTest);
    host_frames(2);
    for (int lamp : kAllLamps) EXPECT_FALSE(lit(lamp)) << "the unit is off";
    host_frames(20);

    selector(1);
    host_frames(2);
    for (int lamp : kAllLamps) EXPECT_FALSE(lit(lamp));
    host_click(m_, kPur, kLampTest);
    // Other services leave the timer alone.
    for (int32_t service : {2, 4, 12, 14}) host_service(m_, kPur, service);
    host_update_elements(m_, kPur);
    // Each frame's PUR pass counts down before it draws: lit right after the press and in the
    // next 17 frames, dark when the 18th service-6 call ends the test.
    std::vector<bool> all_lit;
    all_lit.push_back(true);
    for (int lamp : kAllLamps) all_lit.back() = all_lit.back() && lit(lamp);
    for (int f = 1; f <= 20; ++f) {
        host_frame();
        bool all = true, any = false;
        for (int lamp : kAllLamps) {
            all = all && lit(lamp);
            any = any || lit(lamp);
        }
        EXPECT_TRUE(all == any) << "frame " << f;
        all_lit.push_back(all);
    }
    EXPECT_EQ(std::count(all_lit.begin(), all_lit.end(), true), 18);
    EXPECT_TRUE(all_lit[17]);
    EXPECT_FALSE(all_lit[18]);

    // Holding the button restarts the test with every repeat.
    host_click(m_, kPur, kLampTest);
    host_frames(10);
    host_click(m_, kPur, kLampTest);
    host_frames(17);
    EXPECT_TRUE(lit(kKvLamp));
    host_frame();
    EXPECT_FALSE(lit(kKvLamp));
}

}  // namespace
