// Paths below the simulator's directory: the join of the executable's directory with a
// relative path, and refusal of anything that would not fit 259 characters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/host_path.h"
#include "platform/posix_control.h"

namespace {

class HostPathTest : public ::testing::Test {
protected:
    void TearDown() override { plat_set_host_exe_path(nullptr); }
    // Builds into a buffer followed by canary bytes, which must survive.
    bool build(const std::string& exe, const char* rel, std::string& out) {
        plat_set_host_exe_path(exe.c_str());
        char buf[kHostPathSize + 16];
        std::memset(buf, '#', sizeof buf);
        bool ok = build_host_path(rel, buf);
        for (size_t i = kHostPathSize; i < sizeof buf; ++i) EXPECT_EQ(buf[i], '#') << "written past the buffer";
        out = buf;
        return ok;
    }
};

TEST_F(HostPathTest, JoinsTheExecutablesDirectoryWithTheRelativePath) {
    struct Case {
        const char* exe;
        const char* want;
    } cases[] = {
        {"C:\\Sim\\sim.exe", "C:\\Sim\\\\gauges\\q14_cfg\\q14_ppm.cfg"},
        {"D:\\Program Files\\Flight Sim\\fs.exe", "D:\\Program Files\\Flight Sim\\\\gauges\\q14_cfg\\q14_ppm.cfg"},
        {"C:sim.exe", "C:\\gauges\\q14_cfg\\q14_ppm.cfg"},
        {"sim.exe", "\\gauges\\q14_cfg\\q14_ppm.cfg"},
        {"/opt/sim/sim.exe", "/opt/sim/\\gauges\\q14_cfg\\q14_ppm.cfg"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(build(c.exe, kConfigRelPath, out)) << c.exe;
        EXPECT_EQ(out, c.want) << c.exe;
    }
}

// 259 characters fit; one more gives an empty text and false, and nothing is overrun.
TEST_F(HostPathTest, RefusesPathsLongerThan259Characters) {
    const size_t rel_len = std::strlen(kConfigRelPath);
    for (size_t total : {kHostPathSize - 2, kHostPathSize - 1, kHostPathSize, kHostPathSize + 40}) {
        SCOPED_TRACE(total);
        // "C:\" + padding + "\" gives a directory of total - rel_len characters.
        size_t dir_len = total - rel_len;
        std::string exe = "C:\\" + std::string(dir_len - 4, 'd') + "\\x.exe";
        std::string out;
        bool ok = build(exe, kConfigRelPath, out);
        if (total <= kHostPathSize - 1 && exe.size() <= kHostPathSize - 1) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(out.size(), total);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(out, "");
        }
    }
}

// An executable path cut short by its buffer names some other directory: no path at all.
TEST_F(HostPathTest, RefusesATruncatedExecutablePath) {
    std::string out;
    std::string exe = "C:\\" + std::string(300, 'a') + "\\sim.exe";
    EXPECT_FALSE(build(exe, "\\x", out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(build("", "\\x", out)) << "no executable path at all";
    EXPECT_EQ(out, "");
}

}  // namespace
