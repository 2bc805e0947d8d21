// Tests of the settings read from section "SYS": defaults for a missing file or key, the
// conversions, and values that must not carry infinity or NaN.
#include "nav/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/posix_control.h"

namespace {

namespace fs = std::filesystem;

// A simulator directory of our own whose configuration file holds `sys_lines` under [SYS].
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("q14_settings_" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "gauges" / "q14_cfg");
        plat_set_host_exe_path((dir_.string() + "/sim.exe").c_str());
    }
    void TearDown() override {
        plat_set_host_exe_path(nullptr);
        fs::remove_all(dir_);
    }
    void write(const std::string& sys_lines) {
        FILE* f = std::fopen((dir_ / "gauges" / "q14_cfg" / "q14_ppm.cfg").string().c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "[PPM]\nq14_kp=1\n[SYS]\n%s\n", sys_lines.c_str());
        std::fclose(f);
    }
    fs::path dir_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    NavState s;
    EXPECT_EQ(s.vibr_kontrol, 0);  // before the first read
    settings_read(s);
    EXPECT_EQ(s.kp, 60);
    EXPECT_EQ(s.kd, 100);
    EXPECT_EQ(s.bank_time, 3.5);
    EXPECT_EQ(s.vibr_kontrol, 1);
    EXPECT_EQ(s.perc_pogr, 0.23);
}

TEST_F(SettingsFile, ValuesAndConversions) {
    struct Case {
        const char* lines;
        double kp, kd, bank_time, perc_pogr;
        int vibr_kontrol;
    } cases[] = {
        {"q14_kp=45\nq14_kd=80.5\nq14_bank_time=2\nvibr_kontrol=0\nperc_pogr=0.5", 45, 80.5, 2, 0.5, 0},
        {"vibr_kontrol=2.7", 60, 100, 3.5, 0.23, 2},
        {"vibr_kontrol=-2.7", 60, 100, 3.5, 0.23, -2},
        {"vibr_kontrol=1e12", 60, 100, 3.5, 0.23, 1},  // no integer holds it: a plain fault
        {"q14_kp=abc\nq14_kd=\nvibr_kontrol=x", 0, 0, 3.5, 0.23, 0},  // non-numbers are 0
        {"q14_kp=1e999\nq14_kd=-inf\nq14_bank_time=nan\nvibr_kontrol=inf\nperc_pogr=1e400", 60, 100, 3.5,
         0.23, 1},  // beyond a double: the defaults
        {"Q14_KP = 7 ", 7, 100, 3.5, 0.23, 1},
    };
    for (const Case& c : cases) {
        write(c.lines);
        NavState s;
        settings_read(s);
        EXPECT_EQ(s.kp, c.kp) << c.lines;
        EXPECT_EQ(s.kd, c.kd) << c.lines;
        EXPECT_EQ(s.bank_time, c.bank_time) << c.lines;
        EXPECT_EQ(s.perc_pogr, c.perc_pogr) << c.lines;
        EXPECT_EQ(s.vibr_kontrol, c.vibr_kontrol) << c.lines;
    }
}

}  // namespace
