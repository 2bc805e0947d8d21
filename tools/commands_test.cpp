// End-to-end tests of the subcommands: a plan imported into a new route file and flown to its
// end with every output written; bad input refused with one message and nothing written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/files.h"

namespace {

int run(int (*cmd)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return cmd(static_cast<int>(argv.size()), argv.data());
}

bool exists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(make_scratch_dir(dir, error)) << error;
    }
    void TearDown() override { remove_tree(dir); }
    void write(const std::string& name, const std::string& text) {
        std::string error;
        ASSERT_TRUE(write_file_atomic(dir + "/" + name, text, error)) << error;
    }
    std::string read(const std::string& name) {
        std::string text, error;
        EXPECT_TRUE(read_whole_file(dir + "/" + name, text, error)) << error;
        return text;
    }
    std::string dir;
};

// Three waypoints near Moscow: 42 km east, a right turn, 43 km south.
const char* const kPlan =
    "[flightplan]\n"
    "waypoint.0=, UUEE, , UUEE, A, N55* 58.40', E37* 24.90', +000622.00,\n"
    "waypoint.1=, P1, , P1, I, N55* 58.40', E38* 05.00', +010000.00,\n"
    "waypoint.2=, P2, , P2, I, N55* 35.00', E38* 05.00', +010000.00,\n";

TEST_F(CommandsTest, AnImportedPlanIsFlownToItsEndWithEveryOutputWritten) {
    write("plan.pln", kPlan);
    write("q14_ppm.cfg", "; my routes\n[SYS]\nq14_kp=60\n");
    ASSERT_EQ(run(cmd_import_pln, {dir + "/plan.pln", "--cfg", dir + "/q14_ppm.cfg"}), 0);
    std::string cfg = read("q14_ppm.cfg");
    EXPECT_EQ(cfg.substr(0, 30), "; my routes\n[SYS]\nq14_kp=60\n\n[");
    EXPECT_NE(cfg.find("ppm_03=55*35.0000,38*5.0000\nppm_04=99*0,999*0\n"), std::string::npos) << cfg;

    std::string out = dir + "/out";
    ASSERT_EQ(run(cmd_fly, {"--route", dir + "/q14_ppm.cfg", "--out", out, "--every", "600", "--wind", "300/60"}), 0);
    for (const char* f : {"route.svg", "route.png", "summary.txt", "track.csv"}) EXPECT_TRUE(exists(out + "/" + f)) << f;
    std::string summary = read("out/summary.txt");
    EXPECT_NE(summary.find("end of the route: abeam waypoint 3"), std::string::npos) << summary;
    EXPECT_NE(summary.find("  2-3      0:0"), std::string::npos) << summary;  // both units changed leg
    EXPECT_NE(summary.find("90 right"), std::string::npos) << summary;       // east, then south
    EXPECT_NE(summary.find("unit 2 "), std::string::npos);
    EXPECT_EQ(read("out/route.png").substr(1, 3), "PNG");
    EXPECT_NE(read("out/route.svg").find("<svg"), std::string::npos);
    // No temporary files are left beside the outputs.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(out)) files += e.is_regular_file();
    EXPECT_EQ(files, 4);
}

TEST_F(CommandsTest, BadInputIsRefusedAndNothingIsWritten) {
    write("gap.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=99*0,999*0\nppm_03=56*0,37*0\n");
    write("bad.pln", "[flightplan]\nwaypoint.0=, A, , A, A, N46* 13.91', E6* 6.49', +0,\nwaypoint.1=, B\n");
    write("keep.cfg", "[PPM]\nppm_01=1*0,1*0\n");
    write("a_file", "");
    std::string out = dir + "/out";
    struct Case {
        int (*cmd)(int, char**);
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {cmd_fly, {"--route", dir + "/missing.cfg", "--out", out}, 1},
        {cmd_fly, {"--route", dir + "/gap.cfg", "--out", out}, 1},
        {cmd_fly, {"--route", dir + "/keep.cfg", "--out", out}, 1},          // a route of one key
        {cmd_fly, {"--speed", "5", "--out", out}, 2},
        {cmd_fly, {"--wind", "270", "--out", out}, 2},
        {cmd_fly, {"--out", dir + "/a_file/out"}, 1},                         // cannot be a folder
        {cmd_fly, {"--out", "/proc/q14bench-out"}, 1},                        // cannot be created
        {cmd_panel, {"--page", "10", "--out", out}, 2},
        {cmd_panel, {"--route", dir + "/gap.cfg", "--out", out}, 1},
        {cmd_import_pln, {dir + "/bad.pln", "--cfg", dir + "/keep.cfg"}, 1},
        {cmd_import_pln, {dir + "/missing.pln", "--cfg", dir + "/keep.cfg"}, 1},
        {cmd_import_pln, {dir + "/bad.pln"}, 2},
        {cmd_import_pln, {dir + "/bad.pln", "--cfg", dir + "/keep.cfg", "--route", "4"}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.cmd, c.args), c.status) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_FALSE(exists(out)) << c.args[0];
    }
    EXPECT_EQ(read("keep.cfg"), "[PPM]\nppm_01=1*0,1*0\n");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 4);  // no temporary file was left behind
}

TEST_F(CommandsTest, ARouteTheUnitCannotFinishEndsAtTheTimeLimitWithItsOwnStatus) {
    // The second leg (3 km) is shorter than the turn lead plus 1 km: the unit never leaves it.
    write("short.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*20,37*0\nppm_03=55*20,37*3\nppm_04=55*0,37*3\n"
                       "ppm_05=99*0,999*0\nppm_06=99*0,999*0\nppm_07=99*0,999*0\nppm_08=99*0,999*0\nppm_09=99*0,999*0\n");
    std::string out = dir + "/out";
    EXPECT_EQ(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--every", "3600"}), 3);
    std::string summary = read("out/summary.txt");
    EXPECT_NE(summary.find("time limit"), std::string::npos) << summary;
    EXPECT_NE(summary.find("on leg 2-3"), std::string::npos) << summary;
    // An explicit limit is what was asked for: not a failure.
    EXPECT_EQ(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--every", "3600", "--max-minutes", "5"}), 0);
}

TEST_F(CommandsTest, AnOutputFolderThatCannotBeWrittenIsRefusedBeforeTheFlight) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::string out = dir + "/locked";
    ASSERT_EQ(::mkdir(out.c_str(), 0500), 0);
    EXPECT_EQ(run(cmd_fly, {"--out", out}), 1);
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

}  // namespace
