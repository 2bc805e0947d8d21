// The importer keeps the route file's form: encodings, byte-order marks and CR-only line ends
// survive an edit, and a file that could not be written back as it was is refused.
#include "tools/route_file_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/import_pln.h"
#include "tools/route_check.h"

namespace {

const char* const kText = "; my routes\r\n[SYS]\r\nq14_kp=60 ; gain\r\n[PPM]\r\nppm_01=1*0,2*0\r\n";

std::string encoded(const std::string& utf8, ProfileEncoding enc) {
    return enc == ProfileEncoding::kAnsi ? utf8 : profile_encode(profile_from_utf8(utf8), enc);
}

std::string cr_only(std::string s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) r += s[i] == '\n' ? '\r' : s[i];
    return r;
}

TEST(RouteFileForm, AnEditKeepsEncodingMarkAndLineEnds) {
    struct Case {
        const char* what;
        ProfileEncoding enc;
        bool cr;
    } cases[] = {
        {"8-bit, CR LF", ProfileEncoding::kAnsi, false},
        {"8-bit, CR alone", ProfileEncoding::kAnsi, true},
        {"UTF-8 with a mark", ProfileEncoding::kUtf8Bom, false},
        {"UTF-16 little-endian", ProfileEncoding::kUtf16Le, false},
        {"UTF-16 big-endian, CR alone", ProfileEncoding::kUtf16Be, true},
    };
    for (const Case& c : cases) {
        const std::string bytes = encoded(c.cr ? cr_only(kText) : kText, c.enc);
        RouteFileForm form;
        std::string text, why;
        ASSERT_TRUE(route_file_open(bytes, form, text, why)) << c.what << ": " << why;
        EXPECT_EQ(form.encoding, c.enc) << c.what;
        EXPECT_EQ(form.cr_only, c.cr) << c.what;
        EXPECT_EQ(route_file_save(text, form), bytes) << c.what << ": unchanged text saves as it was";

        const CfgEdit edit = cfg_set_route(text, 0, {{55, 37}, {56, 38}}, {"\xC3\x89tape"});
        ASSERT_TRUE(edit.ok) << c.what;
        const std::string saved = route_file_save(edit.text, form);
        const ProfileText back = profile_decode(saved.data(), saved.size());
        EXPECT_EQ(back.encoding, c.enc) << c.what;
        const std::u16string& t = back.text;
        EXPECT_EQ(t.find(u'\n') == std::u16string::npos, c.cr) << c.what;
        EXPECT_NE(t.find(u"q14_kp=60 ; gain"), std::u16string::npos) << c.what;
        if (c.enc != ProfileEncoding::kAnsi) {
            EXPECT_NE(t.find(u"; \u00C9tape"), std::u16string::npos) << c.what;
        }
        std::string v;
        ASSERT_TRUE(ini_lookup(saved, "PPM", "ppm_02", v)) << c.what;
        EXPECT_EQ(v, "56*0.0000,38*0.0000") << c.what;
        EXPECT_EQ(route_file_form_name(form).empty(), c.enc == ProfileEncoding::kAnsi && !c.cr) << c.what;
    }
}

TEST(RouteFileForm, FilesThatCouldNotBeWrittenBackAreRefused) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"CR alone mixed with LF", "[PPM]\rppm_01=1*0,2*0\nppm_02=1*0,2*0\n", "CR alone and others in LF"},
        {"UTF-16 with an odd byte", std::string("\xFF\xFE[\0P\0]\0x", 9), "odd number of bytes"},
        {"UTF-16 with half a surrogate pair", std::string("\xFF\xFE[\0P\0]\0\x01\xD8", 10), "surrogate"},
        {"NUL in 8-bit text", std::string("[PPM]\nppm_01=1\0", 15), "NUL bytes"},
        {"NUL in UTF-16 text", std::string("\xFF\xFE[\0P\0]\0\0\0", 10), "NUL bytes"},
        {"a picture", std::string("\x89PNG\r\n\x1a\n", 8), "control characters"},
    };
    for (const Case& c : cases) {
        RouteFileForm form;
        std::string text, why;
        EXPECT_FALSE(route_file_open(c.bytes, form, text, why)) << c.what;
        EXPECT_NE(why.find(c.says), std::string::npos) << c.what << ": " << why;
    }
    RouteFileForm form;
    std::string text, why;
    EXPECT_TRUE(route_file_open("; only a comment\r\n", form, text, why)) << why;
}

// Keys standing only in a second [PPM] section are never read: the import writes them into
// the first one, the one the units read; a key line without '=' there gets its value.
TEST(RouteFileForm, TheImportWritesIntoTheSectionTheUnitsRead) {
    const std::string before =
        "[PPM] ; routes\nppm_01\nppm_01=1*0,2*0\n[SYS]\nq14_kp=60\n[PPM]\nppm_02=5*0,5*0\n";
    const CfgEdit edit = cfg_set_route(before, 0, {{55, 37}, {56, 38}});
    ASSERT_TRUE(edit.ok);
    std::string v;
    ASSERT_TRUE(ini_lookup(edit.text, "PPM", "ppm_01", v)) << edit.text;
    EXPECT_EQ(v, "55*0.0000,37*0.0000");
    ASSERT_TRUE(ini_lookup(edit.text, "PPM", "ppm_02", v)) << edit.text;
    EXPECT_EQ(v, "56*0.0000,38*0.0000");
    EXPECT_NE(edit.text.find("[PPM]\nppm_02=5*0,5*0\n"), std::string::npos) << edit.text;  // left alone
}

TEST(RouteFileForm, ImportPlnUpdatesAUtf16FileInItsOwnForm) {
    std::string dir, error;
    ASSERT_TRUE(make_scratch_dir(dir, error)) << error;
    const std::string plan =
        "[flightplan]\n"
        "waypoint.0=, UUEE, , UUEE, A, N55* 58.40', E37* 24.90', +000622.00,\n"
        "waypoint.1=, P1, , P1, I, N55* 58.40', E38* 05.00', +010000.00,\n";
    const std::string cfg = encoded(cr_only(kText), ProfileEncoding::kUtf16Le);
    ASSERT_TRUE(write_file_atomic(dir + "/plan.pln", plan, error)) << error;
    ASSERT_TRUE(write_file_atomic(dir + "/q14_ppm.cfg", cfg, error)) << error;
    std::vector<std::string> args = {dir + "/plan.pln", "--cfg", dir + "/q14_ppm.cfg"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    testing::internal::CaptureStdout();
    EXPECT_EQ(cmd_import_pln(static_cast<int>(argv.size()), argv.data()), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("kept as UTF-16 little-endian with a byte-order mark, lines ended by CR"), std::string::npos)
        << out;
    std::string after, bak;
    ASSERT_TRUE(read_whole_file(dir + "/q14_ppm.cfg", after, error)) << error;
    ASSERT_TRUE(read_whole_file(dir + "/q14_ppm.cfg.bak", bak, error)) << error;
    EXPECT_EQ(bak, cfg);
    EXPECT_EQ(after.compare(0, 2, "\xFF\xFE"), 0);
    std::string v;
    ASSERT_TRUE(ini_lookup(after, "PPM", "ppm_01", v));
    EXPECT_EQ(v, "55*58.4000,37*24.9000");
    EXPECT_EQ(check_route_file(after, "q14_ppm.cfg").errors, 0);
    remove_tree(dir);
}

}  // namespace
