// The configuration file reader: the Linux profile-string reader behaves like
// GetPrivateProfileStringA, and config_read finds the file below the simulator's directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "frame/config_file.h"
#include "platform/posix_control.h"

namespace {

namespace fs = std::filesystem;

const char* const kFile =
    "; route and settings file\r\n"
    "[PPM]\r\n"
    "k11 = 55.5\r\n"
    "q14_kp = 1\r\n"
    "  [ sys ]  \r\n"
    "  Q14_KP  =   75.5   \r\n"
    "q14_kp = 99\r\n"
    "quoted = \"  spaced  \"\r\n"
    "empty =\r\n"
    "novalue\r\n"
    "eq = a=b\r\n"
    ";q14_kd = 5\r\n"
    "long = 0123456789ABCDEF\r\n";

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q14_cfg_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        fs::create_directories(dir + "/gauges/q14_cfg");
        path = dir + "/gauges/q14_cfg/q14_ppm.cfg";
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(kFile, f);
        std::fclose(f);
    }
    void TearDown() override {
        plat_set_host_exe_path(nullptr);
        fs::remove_all(dir);
    }
    std::string read(const char* section, const char* key, const char* fallback, uint32_t size = 64,
                     const std::string* file = nullptr, uint32_t* count = nullptr) {
        char out[64];
        std::memset(out, '#', sizeof out);
        uint32_t n = plat_profile_string(section, key, fallback, out, size, (file ? *file : path).c_str());
        if (count) *count = n;
        for (uint32_t i = size; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "written past the size";
        return size ? std::string(out) : std::string();
    }
    std::string dir, path;
};

TEST_F(ConfigFileTest, ProfileStringsReadLikeWindows) {
    struct Case {
        const char *section, *key, *fallback, *want;
    } cases[] = {
        {"SYS", "q14_kp", "60", "75.5"},       // case-insensitive, trimmed, first of two wins
        {"sys", "Q14_kp", "60", "75.5"},
        {"PPM", "q14_kp", "60", "1"},          // the same key in another section
        {"PPM", "K11", "", "55.5"},
        {"SYS", "quoted", "", "  spaced  "},   // quotes removed, inner blanks kept
        {"SYS", "empty", "x", ""},             // present but empty is not missing
        {"SYS", "novalue", "dflt", "dflt"},    // a line without '=' is no key
        {"SYS", "eq", "", "a=b"},
        {"SYS", "q14_kd", "100", "100"},       // commented out
        {"SYS", "missing", "0.23", "0.23"},
        {"NOSECTION", "q14_kp", "3.5", "3.5"},
        {"SYS", "q14_kp", nullptr, "75.5"},
        {"SYS", "missing", nullptr, ""},       // no default reads as empty
    };
    for (const Case& c : cases) EXPECT_EQ(read(c.section, c.key, c.fallback), c.want) << c.section << "/" << c.key;
    std::string none = dir + "/nope.cfg";
    EXPECT_EQ(read("SYS", "q14_kp", "60", 64, &none), "60");
}

TEST_F(ConfigFileTest, ValuesAndDefaultsAreCutToTheBuffer) {
    uint32_t n = 0;
    EXPECT_EQ(read("SYS", "long", "", 5, nullptr, &n), "0123");
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(read("SYS", "missing", "ABCDEFGH", 4, nullptr, &n), "ABC");
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(read("SYS", "long", "", 1, nullptr, &n), "");
    EXPECT_EQ(n, 0u);
    read("SYS", "long", "", 0, nullptr, &n);  // nothing at all may be written
    EXPECT_EQ(n, 0u);
}

TEST_F(ConfigFileTest, ConfigReadFindsTheFileBelowTheSimulatorDirectory) {
    char out[16];
    plat_set_host_exe_path((dir + "/sim.exe").c_str());
    config_read("SYS", "q14_kp", "60", out, sizeof out);
    EXPECT_STREQ(out, "75.5");
    config_read("SYS", "long", "", out, 8);
    EXPECT_STREQ(out, "0123456");
    // Another directory has no file: every key reads its default.
    plat_set_host_exe_path("/nonexistent/sim.exe");
    config_read("SYS", "q14_kp", "60", out, sizeof out);
    EXPECT_STREQ(out, "60");
    // A directory too long for any path: the defaults again, cut to the buffer.
    plat_set_host_exe_path(("/" + std::string(250, 'd') + "/sim.exe").c_str());
    config_read("SYS", "q14_kp", "0123456789ABCDEFGHIJ", out, sizeof out);
    EXPECT_STREQ(out, "0123456789ABCDE");
}

}  // namespace
