// End-to-end tests of the subcommands: a plan imported into a new route file and flown to its
// end with every output written; bad input refused with one message and nothing written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <algorithm>
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
        {cmd_panel, {"--captions", "greek", "--out", out}, 2},
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

TEST_F(CommandsTest, PanelDrawsTheCaptionSetAskedFor) {
    testing::internal::CaptureStdout();
    ASSERT_EQ(run(cmd_panel, {"--captions", "latin", "--out", dir + "/latin"}), 0);
    ASSERT_EQ(run(cmd_panel, {"--captions", "cyrillic", "--out", dir + "/cyrillic"}), 0);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("unit 2, 0:00:00 after take-off"), std::string::npos) << said;
    EXPECT_NE(said.find("блок 2, 0:00:00 после взлёта"), std::string::npos) << said;
    // The PUR carries captions; the coordinate read-out has none and is drawn alike in both.
    EXPECT_NE(read("latin/pur.png"), read("cyrillic/pur.png"));
    EXPECT_EQ(read("latin/koord_i.png"), read("cyrillic/koord_i.png"));
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
    // An explicit limit is what was asked for: not a failure, but the stop line still says why
    // the route was not finished. A flight that long is thinned in its outputs, and says so.
    EXPECT_EQ(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--every", "86400", "--max-minutes=400"}), 0);
    summary = read("out/summary.txt");
    EXPECT_NE(summary.find("time limit of 400.0 min reached on leg 2-3; the route was not finished: unit 2 never left"),
              std::string::npos) << summary;
    EXPECT_NE(summary.find("thinned to one sample in 2: 12001 of 24001"), std::string::npos) << summary;
    const std::string track = read("out/track.csv");
    EXPECT_EQ(std::count(track.begin(), track.end(), '\n'), 12002);
}

// A symbolic link, a picture, a program, prose and a read-only file as --cfg: each refusal
// leaves the file byte for byte as it was; an accepted import keeps the old file as .bak.
TEST_F(CommandsTest, TheImporterTouchesOnlyRouteFilesAndKeepsTheOldOne) {
    write("plan.pln", kPlan);
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::string elf = std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20);
    struct Row {
        const char* what;
        const char* name;
        std::string content;
        bool read_only;
        const char* says;
    } rows[] = {
        {"a PNG picture", "pic.png", png, false, "binary content"},
        {"a shared library", "lib.so", elf, false, "binary content"},
        {"prose", "notes.txt", "Dear pilot,\nthese are my notes.\n", false, "not a route file"},
        {"Markdown", "README.md", "# Routes\n\nkey = value, as a list:\n- a=b\n", false, "not a route file"},
        {"an aircraft panel.cfg", "panel.cfg", "[Window Titles]\nWindow00=Main\n[Window00]\nsize_mm=1024\n", false,
         "neither [PPM] nor [SYS]"},
        {"another flight plan", "other.pln", kPlan, false, "neither [PPM] nor [SYS]"},
        {"a read-only route file", "ro.cfg", "[PPM]\nppm_01=1*0,1*0\n", true, "read-only"},
    };
    for (const Row& row : rows) {
        write(row.name, row.content);
        if (row.read_only) ::chmod((dir + "/" + row.name).c_str(), 0444);
        testing::internal::CaptureStderr();
        EXPECT_EQ(run(cmd_import_pln, {dir + "/plan.pln", "--cfg", dir + "/" + row.name}), 1) << row.what;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(row.says), std::string::npos) << row.what << ": " << err;
        EXPECT_NE(err.find(row.name), std::string::npos) << row.what << ": " << err;
        EXPECT_EQ(read(row.name), row.content) << row.what;
        EXPECT_FALSE(exists(dir + "/" + row.name + ".bak")) << row.what;
    }
    // Through a symbolic link: the real file changes, the link stays a link, the old text is kept.
    write("real.cfg", "[SYS]\nq14_kp=60\n");
    ASSERT_EQ(::symlink("real.cfg", (dir + "/link.cfg").c_str()), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_import_pln, {dir + "/plan.pln", "--cfg", dir + "/link.cfg", "--dry-run"}), 0);
    std::string shown = testing::internal::GetCapturedStdout();
    EXPECT_NE(shown.find("+ppm_01=55*58.4000,37*24.9000"), std::string::npos) << shown;
    EXPECT_EQ(read("real.cfg"), "[SYS]\nq14_kp=60\n");  // --dry-run writes nothing
    EXPECT_EQ(run(cmd_import_pln, {dir + "/plan.pln", "--cfg", dir + "/link.cfg"}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.cfg"));
    EXPECT_NE(read("real.cfg").find("; UUEE (A)\nppm_01=55*58.4000,37*24.9000\n"), std::string::npos) << read("real.cfg");
    EXPECT_EQ(read("real.cfg.bak"), "[SYS]\nq14_kp=60\n");
    // --force writes into a file that is no route file; the rest of it stays.
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_import_pln, {"--force", "--cfg=" + dir + "/notes.txt", "--", dir + "/plan.pln"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(read("notes.txt").substr(0, 32), "Dear pilot,\nthese are my notes.\n");
    EXPECT_NE(read("notes.txt").find("ppm_01=55*58.4000,37*24.9000\n"), std::string::npos);
}

TEST_F(CommandsTest, EveryImportKeepsThePreviousFileAndTheFirstOneForever) {
    write("plan.pln", kPlan);
    const std::string first = "; before any import\n[SYS]\nq14_kp=60\n";
    write("r.cfg", first);
    std::vector<std::string> versions{first};  // the file before each import
    testing::internal::CaptureStdout();
    for (int n = 1; n <= 12; ++n) {
        // Each import names its route differently, so that every version differs.
        ASSERT_EQ(run(cmd_import_pln, {dir + "/plan.pln", "--cfg", dir + "/r.cfg", "--route", std::to_string(n % 4)}), 0);
        versions.push_back(read("r.cfg"));
        if (n == 2) {
            EXPECT_EQ(read("r.cfg.bak"), first);
            EXPECT_EQ(read("r.cfg.bak.1"), first);
            EXPECT_EQ(read("r.cfg.bak.2"), versions[1]);
            EXPECT_FALSE(exists(dir + "/r.cfg.bak.3"));
        }
    }
    testing::internal::GetCapturedStdout();
    // Twelve imports: .bak is still the first file, ten numbered ones hold the versions the
    // last ten imports replaced, the highest the latest.
    EXPECT_EQ(read("r.cfg.bak"), first);
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(read("r.cfg.bak." + std::to_string(k)), versions[k + 1]) << k;
    EXPECT_FALSE(exists(dir + "/r.cfg.bak.11"));
    EXPECT_FALSE(exists(dir + "/r.cfg.bak.0"));
}

TEST_F(CommandsTest, AShortPlanLosesItsUnflyablePointsAndOneWithNoFlyableLegIsRefused) {
    // Five points; the fourth, a runway point 1.6 km before the destination, cannot be flown.
    write("five.pln",
          "[flightplan]\n"
          "waypoint.0=, UUEE, , UUEE, A, N55* 58.40', E37* 24.90', +0,\n"
          "waypoint.1=, P1, , P1, I, N55* 58.40', E38* 05.00', +0,\n"
          "waypoint.2=, P2, , P2, I, N55* 35.00', E38* 05.00', +0,\n"
          "waypoint.3=, RW14, , RW14, R, N55* 35.00', E37* 50.50', +0,\n"
          "waypoint.4=, UUDD, , UUDD, A, N55* 35.00', E37* 49.00', +0,\n");
    write("two.pln",
          "[flightplan]\n"
          "waypoint.0=, UUEE, , UUEE, A, N55* 58.40', E37* 24.90', +0,\n"
          "waypoint.1=, RW06, , RW06, R, N55* 59.20', E37* 25.90', +0,\n");
    testing::internal::CaptureStdout();
    ASSERT_EQ(run(cmd_import_pln, {dir + "/five.pln", "--cfg", dir + "/r.cfg"}), 0);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("dropped RW14 (line 5): 1.6 km before the destination UUDD"), std::string::npos) << said;
    std::string cfg = read("r.cfg");
    EXPECT_NE(cfg.find("; UUDD (A)\nppm_04=55*35.0000,37*49.0000\n"), std::string::npos) << cfg;
    EXPECT_EQ(cfg.find("RW14"), std::string::npos) << cfg;

    testing::internal::CaptureStderr();
    EXPECT_EQ(run(cmd_import_pln, {dir + "/two.pln", "--cfg", dir + "/r2.cfg"}), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("fewer than two flyable waypoints"), std::string::npos) << err;
    EXPECT_NE(err.find("UUEE and destination RW06"), std::string::npos) << err;
    EXPECT_FALSE(exists(dir + "/r2.cfg"));
}

TEST_F(CommandsTest, AFifoOrADeviceIsRefusedAtOnce) {
    // Reading a FIFO would wait for a writer that never comes: the alarm ends a test that hangs.
    ::alarm(30);
    write("plan.pln", kPlan);
    write("r.cfg", "[PPM]\n");
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        int (*cmd)(int, char**);
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {cmd_import_pln, {fifo, "--cfg", dir + "/r.cfg"}, 1},
        {cmd_import_pln, {dir + "/plan.pln", "--cfg", fifo}, 1},
        {cmd_import_pln, {"/dev/zero", "--cfg", dir + "/r.cfg"}, 1},
        {cmd_import_pln, {dir + "/plan.pln", "--cfg", "/dev/null"}, 1},
        {cmd_check, {fifo}, 2},
        {cmd_fly, {"--route", fifo, "--out", dir + "/out"}, 1},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(run(c.cmd, c.args), c.status) << c.args[0] << " " << c.args[2 % c.args.size()];
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("not an ordinary file"), std::string::npos) << err;
    }
    EXPECT_EQ(read("r.cfg"), "[PPM]\n");
    ::alarm(0);
}

TEST_F(CommandsTest, ALongPlanListsWhatItLeavesOutBriefly) {
    std::string plan = "[flightplan]\n";
    for (int i = 0; i < 500; ++i)
        plan += "waypoint." + std::to_string(i) + "=, P" + std::to_string(i) + ", , P" + std::to_string(i) + ", I, N" +
                std::to_string(40 + i / 60) + "* " + std::to_string(i % 60) + ".00', E10* 0.00', +0,\n";
    write("long.pln", plan);
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_import_pln, {dir + "/long.pln", "--cfg", dir + "/a.cfg", "--first-nine"}), 0);
    std::string out = testing::internal::GetCapturedStdout();
    // The last six, closer to the destination than its turn lead, go first; then the ninth.
    EXPECT_NE(out.find("dropped 6 waypoint(s) closer to their neighbour than a turn lead plus 1 km"), std::string::npos)
        << out.substr(0, 400);
    EXPECT_NE(out.find("left out 485 waypoint(s) after the ninth: P9 (line 11), P10 (line 12), P11 (line 13), P12 "
                       "(line 14), P13 (line 15) and 480 more\n"),
              std::string::npos)
        << out.substr(0, 400);
    for (size_t a = 0, b; (b = out.find('\n', a)) != std::string::npos; a = b + 1) EXPECT_LT(b - a, 200u);
    // Without --first-nine the nine span the whole plan, P0 to P499.
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_import_pln, {dir + "/long.pln", "--cfg", dir + "/b.cfg"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(read("b.cfg").find("; P499 (I)\nppm_09=48*19.0000,10*0.0000"), std::string::npos) << read("b.cfg");
}

TEST_F(CommandsTest, CheckExitStatusTellsCleanWarningsErrorsAndUsage) {
    write("warn.cfg", "[PPM]\nppm_01=-0*30,37*0\nppm_02=1*0,37*0\n" + std::string("ppm_03=99*0,999*0\n"));
    write("err.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=56*0,37*0\n[SYS]\nq14_bank_time=nan\n");
    struct Row {
        std::vector<std::string> args;
        int status;
    } rows[] = {
        {{}, 0},                                            // the bundled sample is clean
        {{dir + "/err.cfg"}, 1},
        {{dir + "/missing.cfg"}, 2},
        {{dir}, 2},                                         // a folder
        {{"--speed", "20"}, 2},
        {{dir + "/err.cfg", dir + "/warn.cfg"}, 2},
        {{dir + "/warn.cfg", "--speed", "300"}, 1},         // routes 0's missing keys are errors
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const Row& row : rows) EXPECT_EQ(run(cmd_check, row.args), row.status) << (row.args.empty() ? "" : row.args[0]);
    write("warn9.cfg", "[PPM]\nppm_01=-0*30,37*0\nppm_02=1*0,37*0\nppm_03=99*0,999*0\nppm_04=99*0,999*0\n"
                       "ppm_05=99*0,999*0\nppm_06=99*0,999*0\nppm_07=99*0,999*0\nppm_08=99*0,999*0\nppm_09=99*0,999*0\n");
    EXPECT_EQ(run(cmd_check, {dir + "/warn9.cfg"}), 3);  // -0 degrees and three missing routes: warnings only
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("warn9.cfg:2: warning: ppm_01: latitude -0*30 reads as 0\xC2\xB0" "30.00'N"), std::string::npos) << out;
    EXPECT_NE(out.find("err.cfg:5: error: q14_bank_time:"), std::string::npos) << out;
}

// What was seen of fly, panel and demo: each answer says what happened.
TEST_F(CommandsTest, FlyPanelAndDemoAnswerHonestly) {
    const std::string empty7 = "ppm_04=99*0,999*0\nppm_05=99*0,999*0\nppm_06=99*0,999*0\nppm_07=99*0,999*0\n"
                               "ppm_08=99*0,999*0\nppm_09=99*0,999*0\n";
    write("back.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*30,37*0\nppm_03=55*0,37*0.5\n" + empty7);
    write("gain.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*30,37*0\nppm_03=55*30,38*0\n" + empty7 + "[SYS]\nq14_kp=-60\n");
    write("abc.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*30,37*0\nppm_03=99*0,999*0\n" + empty7 + "[SYS]\nq14_kp=abc\n");
    const std::string out = dir + "/out";
    struct Row {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* summary_says;
    } rows[] = {
        {"a turn back", {"--route", dir + "/back.cfg"}, 3, "as the route check warned: ppm_02: a turn of 179"},
        {"wind above the airspeed", {"--route", dir + "/back.cfg", "--speed", "200", "--wind", "0/250"}, 3,
         "is at or above the airspeed of 200 km/h"},
        {"a negative gain", {"--route", dir + "/gain.cfg"}, 3, "q14_kp=-60, q14_kd=100 turn it away from the track"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"--out", out, "--every", "3600"});
        testing::internal::CaptureStdout();
        EXPECT_EQ(run(cmd_fly, args), row.status) << row.what;
        testing::internal::GetCapturedStdout();
        std::string summary = read("out/summary.txt");
        EXPECT_NE(summary.find(row.summary_says), std::string::npos) << row.what << ":\n" << summary.substr(0, 900);
        EXPECT_EQ(summary.find("is a leg shorter"), std::string::npos) << row.what;
    }
    EXPECT_NE(read("out/summary.txt").find("settings        q14_kp=-60 (line 12), q14_kd=100 (default)"), std::string::npos);
    // Settings the units would misread refuse the flight, naming file, line and key.
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(cmd_fly, {"--route", dir + "/abc.cfg", "--out", dir + "/out2"}), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("abc.cfg:12: error: q14_kp: 'abc' is not a number"), std::string::npos) << err;
    EXPECT_FALSE(exists(dir + "/out2"));

    // panel after the route's end says so.
    testing::internal::CaptureStdout();
    write("two.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*20,37*0\nppm_03=55*20,37*30\n" + empty7);
    // (Latin captions: the sheet's words then are English whatever set the tools were built with.)
    EXPECT_EQ(run(cmd_panel, {"--route", dir + "/two.cfg", "--after-minutes", "2", "--captions", "latin", "--out", dir + "/p"}),
              0);
    EXPECT_EQ(run(cmd_panel, {"--route", dir + "/two.cfg", "--after-minutes", "20", "--captions", "latin", "--out", dir + "/p"}),
              0);
    std::string panel = testing::internal::GetCapturedStdout();
    const size_t note = panel.find("note: this moment is after the route's end: unit 2 passed waypoint 3, the last");
    EXPECT_NE(note, std::string::npos) << panel;
    EXPECT_GT(note, panel.find("0:02:00 after take-off"));  // the earlier moment has no note

    // demo checks its options and tells the true heading.
    testing::internal::CaptureStderr();
    for (const char* bad : {"--lat=NaN", "--lat=abc", "--tas=-5", "--sim-dir=/nonexistent/q14", "--heading=361"}) {
        std::string opt(bad);
        size_t eq = opt.find('=');
        EXPECT_EQ(run(cmd_demo, {opt.substr(0, eq), opt.substr(eq + 1)}), 2) << bad;
    }
    testing::internal::GetCapturedStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_demo, {"--help"}), 0);
    EXPECT_EQ(run(cmd_demo, {"--heading", "200"}), 0);
    std::string demo = testing::internal::GetCapturedStdout();
    EXPECT_NE(demo.find("'*' when lit and '.' when dark"), std::string::npos);
    EXPECT_NE(demo.find("navigating, flying heading 200 (south)"), std::string::npos) << demo.substr(0, 2000);
}

TEST_F(CommandsTest, EveryCommandTakesOptionsWithAnEqualsSignAndDoubleDashAndListsItsExitStatuses) {
    struct Help {
        const char* name;
        int (*cmd)(int, char**);
    } helps[] = {{"demo", cmd_demo}, {"fly", cmd_fly}, {"panel", cmd_panel}, {"check", cmd_check},
                 {"import-pln", cmd_import_pln}};
    for (const Help& h : helps) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(run(h.cmd, {"--help"}), 0) << h.name;
        std::string text = testing::internal::GetCapturedStdout();
        EXPECT_NE(text.find("Exit status: 0 "), std::string::npos) << h.name;
        EXPECT_NE(text.find(" 2 bad usage"), std::string::npos) << h.name;
    }
    // A plan and a route file whose names begin with '-', after '--'; values after '='.
    write("-plan.pln", kPlan);
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_import_pln, {"--cfg=" + dir + "/r.cfg", "--route=2", "--speed=450", "--", dir + "/-plan.pln"}), 0);
    EXPECT_EQ(run(cmd_import_pln, {"--cfg=" + dir + "/-r.cfg", "--", "-plan.pln"}), 1);  // relative: no such plan here
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(read("r.cfg").find("ppm_21=55*58.4000,37*24.9000"), std::string::npos) << said;
    write("-r.cfg", read("r.cfg"));
    testing::internal::CaptureStdout();
    const int status = run(cmd_check, {"--speed", "450", dir + "/r.cfg"});
    EXPECT_EQ(run(cmd_check, {"--speed=450", "--", dir + "/-r.cfg"}), status);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(status, 2);
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(cmd_check, {"--speed=5"}), 2);
    EXPECT_EQ(run(cmd_fly, {"--", "stray"}), 2);
    testing::internal::GetCapturedStderr();
}

TEST_F(CommandsTest, WindBlowsTowardsItsDirectionUnlessGivenAsWhereItComesFrom) {
    std::string east = "[PPM]\nppm_01=55*58.4,37*24.9\nppm_02=55*58.4,38*5\n";
    for (int w = 3; w <= 9; ++w) east += "ppm_0" + std::to_string(w) + "=99*0,999*0\n";
    write("east.cfg", east);
    std::string summary[2];
    const std::vector<std::string> winds[2] = {{"--wind=90/80"}, {"--wind-from", "270/80"}};
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args{"--route", dir + "/east.cfg", "--out", dir + "/o" + std::to_string(k),
                                      "--every", "3600"};
        args.insert(args.end(), winds[k].begin(), winds[k].end());
        testing::internal::CaptureStdout();
        EXPECT_EQ(run(cmd_fly, args), 0) << winds[k][0];
        testing::internal::GetCapturedStdout();
        summary[k] = read("o" + std::to_string(k) + "/summary.txt");
    }
    EXPECT_EQ(summary[0], summary[1]);
    EXPECT_NE(summary[0].find("wind towards 090 deg (from 270) at 80 km/h"), std::string::npos) << summary[0];
    // A tail wind towards the east: 42 km at 600 + 80 km/h take under 4 minutes; against a head
    // wind they would take nearly 5.
    EXPECT_NE(summary[0].find("flown           0:03:"), std::string::npos) << summary[0];
}

TEST_F(CommandsTest, DemoFliesAtTheSpeedGivenAndLoadsTheRouteOfItsSimulatorFolder) {
    std::string error;
    ASSERT_TRUE(make_dirs(dir + "/sim/gauges/q14_cfg", error)) << error;
    write("sim/gauges/q14_cfg/q14_ppm.cfg", "[PPM]\nppm_01=55*58.4,37*24.9\nppm_02=55*58.4,38*5\nppm_03=99*0,999*0\n");
    std::string shown[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args{"--speed=450"};
        if (k == 1) args.insert(args.end(), {"--sim-dir", dir + "/sim"});
        testing::internal::CaptureStdout();
        EXPECT_EQ(run(cmd_demo, args), 0);
        shown[k] = testing::internal::GetCapturedStdout();
        EXPECT_NE(shown[k].find("flying heading 090 (east) at 450 km/h"), std::string::npos) << shown[k].substr(0, 2000);
    }
    EXPECT_NE(shown[0].find("PPM        N[  01*00,0'] E[ 001*00,0']"), std::string::npos) << shown[0];
    EXPECT_NE(shown[1].find("PPM        N[  55*58,4'] E[ 037*24,9']"), std::string::npos) << shown[1];
}

// A flight stopped by SIGINT or SIGTERM ends with 128 + the signal, keeps the results of the
// run before it and leaves no temporary file or folder, neither beside them nor in TMPDIR.
TEST_F(CommandsTest, AKilledFlightLeavesThePreviousResultsWholeAndNoTemporaryFile) {
    std::string error;
    ASSERT_TRUE(make_dirs(dir + "/tmp", error)) << error;
    write("short.cfg", "[PPM]\nppm_01=55*0,37*0\nppm_02=55*20,37*0\nppm_03=55*20,37*3\nppm_04=55*0,37*3\n"
                       "ppm_05=99*0,999*0\nppm_06=99*0,999*0\nppm_07=99*0,999*0\nppm_08=99*0,999*0\nppm_09=99*0,999*0\n");
    const std::string out = dir + "/results";
    testing::internal::CaptureStdout();
    ASSERT_EQ(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--max-minutes", "2"}), 0);
    testing::internal::GetCapturedStdout();
    const std::string before = read("results/summary.txt");
    for (int sig : {SIGTERM, SIGINT}) {
        int pipe_fd[2];
        ASSERT_EQ(::pipe(pipe_fd), 0);
        std::fflush(stdout);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(pipe_fd[1], 1);
            ::close(pipe_fd[0]);
            ::setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
            std::_Exit(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--max-minutes", "5000", "--every", "60"}));
        }
        ::close(pipe_fd[1]);
        // Once the flight is under way (its progress lines come), the signal.
        FILE* from_child = ::fdopen(pipe_fd[0], "r");
        char line[512];
        int progress = 0;
        while (progress < 3 && std::fgets(line, sizeof line, from_child)) progress += std::string(line).find("  0:0") == 0;
        ::kill(child, sig);
        while (std::fgets(line, sizeof line, from_child)) {
        }
        std::fclose(from_child);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
        EXPECT_EQ(read("results/summary.txt"), before);
        EXPECT_TRUE(std::filesystem::is_empty(dir + "/tmp"));
        std::vector<std::string> entries;
        for (const auto& e : std::filesystem::directory_iterator(dir)) entries.push_back(e.path().filename().string());
        EXPECT_EQ(entries.size(), 3u);  // short.cfg, results, tmp
        int files = 0;
        for (const auto& e : std::filesystem::directory_iterator(out)) files += e.is_regular_file();
        EXPECT_EQ(files, 4);
    }
    // A folder holding anything else is not replaced.
    write("results/notes.txt", "mine");
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(cmd_fly, {"--route", dir + "/short.cfg", "--out", out, "--max-minutes", "2"}), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("holds notes.txt"), std::string::npos);
    EXPECT_EQ(read("results/notes.txt"), "mine");
}

TEST_F(CommandsTest, AnOutputFolderThatCannotBeWrittenIsRefusedBeforeTheFlight) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::string out = dir + "/locked";
    ASSERT_EQ(::mkdir(out.c_str(), 0500), 0);
    EXPECT_EQ(run(cmd_fly, {"--out", out}), 1);
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

}  // namespace
