// Unit 2's saved-flight state in the real q14_n2.gau: the simulator reports the flight saved
// (event 38), the module writes the 2048-byte ".insb" file beside it through the Windows C
// runtime, and restores from it when it starts again with that flight loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

constexpr int kApArea = apkey::kToggle, kApLamp = apkey::kButton;  // the AP key's button and lamp (frame 2: on)
constexpr int kSelectorUp = pur::kSelectorUp, kSelectorNeedle = pur::kKnob;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

// The little-endian double in the 8-byte slot at a byte offset.
double slot(const std::vector<uint8_t>& rec, int offset) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(rec[offset + i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double element(HostModule* m, const char* gauge, int k) {
    host_update_elements(m, gauge);
    return host_element_value(m, gauge, k);
}

class WinePersist : public ::testing::Test {
protected:
    void SetUp() override {
        host_reset();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        dir_ = std::string(temp) + "q14_persist_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        flight_ = dir_ + "\\Saved Flight.FLT";
        DeleteFileA(state_file().c_str());
        host_set_flight_path(flight_);
    }
    void TearDown() override {
        host_reset();
        DeleteFileA(state_file().c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string state_file() const { return flight_ + ".insb"; }

    std::string dir_, flight_;
};

TEST_F(WinePersist, SavesOnTheEventAndRestoresOnLoad) {
    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr) << host_last_error();
    host_frames(25);  // past the restore, which finds no file
    for (int i = 0; i < 3; ++i) host_click(n2, "Q14_PUR", kSelectorUp);  // to navigation
    host_click(n2, "QN14_def_AP_Key", kApArea);
    host_frames(2);
    ASSERT_EQ(element(n2, "QN14_def_AP_Key", kApLamp), 2.0);
    const double selector = element(n2, "Q14_PUR", kSelectorNeedle);

    host_raise_event(38, flight_);
    host_frames(18);
    EXPECT_TRUE(read_file(state_file()).empty()) << "not before the 19th frame after the event";
    host_frame();
    const std::vector<uint8_t> rec = read_file(state_file());
    ASSERT_EQ(rec.size(), 2048u) << "written whole, in binary";
    EXPECT_EQ(slot(rec, 1136), 3.0) << "pur_selector";
    EXPECT_EQ(slot(rec, 1184), 1.0) << "ap_steering_on";
    EXPECT_EQ(slot(rec, 1240), 1.0) << "reserved slot written as 1";
    EXPECT_EQ(slot(rec, 1208), 0.0) << "reserved slot written as 0";
    for (int i = 1560; i < 2048; ++i) ASSERT_EQ(rec[i], 0) << "byte " << i;

    // The module starts again with that flight loaded: the state comes back on frame 20.
    host_unload(n2);
    n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr) << host_last_error();
    host_frames(19);
    EXPECT_EQ(element(n2, "QN14_def_AP_Key", kApLamp), 0.0);
    EXPECT_NE(element(n2, "Q14_PUR", kSelectorNeedle), selector);
    host_frame();
    EXPECT_EQ(element(n2, "QN14_def_AP_Key", kApLamp), 2.0) << "steering restored";
    EXPECT_EQ(element(n2, "Q14_PUR", kSelectorNeedle), selector) << "selector restored";
}

// The file is read and written as binary: reserved bytes that hold Ctrl-Z, CR and LF, at which
// a text-mode stream would stop reading or which it would expand, come back unchanged after a
// restore and a save, and so does a TAS whose bits hold them.
TEST_F(WinePersist, RecordBytesSurviveARestoreAndASave) {
    const uint8_t awkward[8] = {0x1A, 0x0D, 0x0A, 0x0A, 0x00, 0x0D, 0x1A, 0xFF};
    const uint8_t tas[8] = {0x0A, 0x0D, 0x0A, 0x1A, 0x0A, 0x0D, 0x82, 0x40};  // 577.6 km/h
    std::vector<uint8_t> file(2048, 0);
    for (int i = 0; i < 8; ++i) file[i] = awkward[i];
    for (int i = 1560; i < 2048; ++i) file[i] = awkward[i % 8];
    for (int i = 0; i < 8; ++i) file[1152 + i] = tas[i];
    write_file(state_file(), file);
    ASSERT_GT(slot(file, 1152), 577.0);
    ASSERT_LT(slot(file, 1152), 578.0);

    HostModule* n2 = host_open_unit(2);
    ASSERT_NE(n2, nullptr) << host_last_error();
    host_frames(20);  // restored
    DeleteFileA(state_file().c_str());
    host_raise_event(38, flight_);
    host_frames(19);  // saved again
    const std::vector<uint8_t> rec = read_file(state_file());
    ASSERT_EQ(rec.size(), 2048u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rec[i], file[i]) << "byte " << i;
    for (int i = 1560; i < 2048; ++i) ASSERT_EQ(rec[i], file[i]) << "byte " << i;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rec[1152 + i], tas[i]) << "tas_entered byte " << i;
}

}  // namespace
