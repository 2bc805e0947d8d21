// Tests of the route check: the look-up rules shared with the units, the strict waypoint
// value, every pitfall reported with its key and line, and the routes the bench tool refuses.
#include <gtest/gtest.h>

#include "tools/files.h"
#include "tools/route_cfg.h"
#include "platform/profile_reader.h"
#include "tools/route_check.h"

namespace {

TEST(RouteCfg, LookupFollowsTheProfileReader) {
    // The same file in code page 1252 (read as bytes) and in UTF-8 with a byte-order mark (decoded).
    const std::string ansi =
        "[ppm]\n"
        "  PPM_01 =  \"55*45.5,37*36.2\"  \n"
        ";ppm_02=1*0,1*0\n"
        "ppm_01=ignored, the first one counts\n"
        "[SYS]\n"
        "ppm_02=in the wrong section\n"
        "q14_kp\n"
        "note=caf\xE9\x1A\n"
        "[ PPM ]\r\n"
        "ppm_02=3*0,4*0\r\n";
    std::string utf8 = "\xEF\xBB\xBF" + ansi;
    utf8.replace(utf8.find("caf\xE9"), 4, "caf\xC3\xA9");
    for (const std::string& text : {ansi, utf8}) {
        SCOPED_TRACE(text.size());
        std::string v;
        int line = 0;
        ASSERT_TRUE(ini_lookup(text, "PPM", "ppm_01", v, &line));
        EXPECT_EQ(v, "55*45.5,37*36.2");
        EXPECT_EQ(line, 2);
        // Windows reads only the first section of a name: ppm_02 of the second [ PPM ] is never read.
        EXPECT_FALSE(ini_lookup(text, "PPM", "ppm_02", v, &line));
        ASSERT_TRUE(ini_lookup(text, " sys ", "PPM_02", v, &line));
        EXPECT_EQ(v, "in the wrong section");
        EXPECT_EQ(line, 6);
        EXPECT_FALSE(ini_lookup(text, "SYS", "q14_kp", v));  // no '=': the default
        ASSERT_TRUE(ini_lookup(text, "SYS", "note", v));
        EXPECT_EQ(v, "caf\xC3\xA9");  // in UTF-8 whatever the file's encoding; ^Z trimmed as a blank
        EXPECT_FALSE(ini_lookup(text, "PPM", "ppm_03", v));
        EXPECT_FALSE(ini_lookup(text, "", "ppm_01", v));  // the lines before any header: none
    }
    EXPECT_EQ(route_key(0, 7), "ppm_07");
    EXPECT_EQ(route_key(3, 1), "ppm_31");
}

TEST(RouteCfg, ValuesParseAsTheUnitsReadThemOrAreRefusedWithAReason) {
    struct Good {
        const char* text;
        double lat, lon;
    } good[] = {
        {"55*45.5,37*36.2", 55 + 45.5 / 60, 37 + 36.2 / 60},
        {"-33*30,-70*15", -33.5, -70.25},
        {"-0*30,0*0", 0.5, 0},  // minus zero degrees is not negative
        {"0*-30,0*0", -0.5, 0},
        {" 99*0 , 999*0 ", 99, 999},
    };
    for (const Good& g : good) {
        double lat, lon;
        std::string why;
        ASSERT_TRUE(route_value_strict(g.text, lat, lon, why)) << g.text << ": " << why;
        EXPECT_NEAR(lat, g.lat, 1e-12) << g.text;
        EXPECT_NEAR(lon, g.lon, 1e-12) << g.text;
    }
    for (const char* bad : {"", "55*45.5", "55*45.5,37", "55 45.5,37*36.2", "55*45.5;37*36.2", "55*45.5,37*36.2x",
                            "N55*45,37*36", "55*,37*36", "1e999*0,1*0"}) {
        double lat, lon;
        std::string why;
        EXPECT_FALSE(route_value_strict(bad, lat, lon, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

std::string route0(const std::vector<std::string>& values) {
    std::string t = "[PPM]\n";
    for (size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty()) t += route_key(0, static_cast<int>(i) + 1) + "=" + values[i] + "\n";
    return t;
}

TEST(RouteCfg, RoutesEndAtTheirFirstEmptyWaypoint) {
    std::vector<std::string> v(9, "99*0,999*0");
    v[0] = "55*0,37*0";
    v[1] = "56*0,37*0";
    v[2] = "56*0,38*0";
    std::vector<GeoPoint> route;
    std::string error;
    ASSERT_TRUE(route_from_cfg(route0(v), 0, route, error)) << error;
    ASSERT_EQ(route.size(), 3u);
    EXPECT_DOUBLE_EQ(route[2].lon, 38);
}

TEST(RouteCfg, RoutesTheUnitsCouldNotFlyAreRefusedNamingTheKey) {
    std::vector<std::string> full = {"55*0,37*0", "56*0,37*0", "56*0,38*0", "55*0,38*0", "55*0,39*0",
                                     "56*0,39*0", "56*0,40*0", "55*0,40*0", "55*0,41*0"};
    struct Case {
        int index;
        const char* value;  // "" leaves the key out
        const char* expected;
    } cases[] = {
        {4, "", "ppm_05: missing from [PPM]"},
        {2, "56*0;38*0", "ppm_03 (line 4): '56*0;38*0' is not deg*min,deg*min"},
        {3, "99*0,999*0", "ppm_05 (line 6): comes after the empty waypoint ppm_04"},
        {1, "95*0,37*0", "ppm_02 (line 3): latitude 95\xC2\xB0" "00.00'N lies beyond the pole"},
        {6, "56*0,39*0", "ppm_07 (line 8): the same place as ppm_06"},
        {1, "99*0,999*0", "ppm_01 (line 2): route 0 has 1 waypoint(s) before its first empty one"},
        {1, "99*0,37*0", "ppm_02 (line 3): half of an empty waypoint"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> v = full;
        v[static_cast<size_t>(c.index)] = c.value;
        std::vector<GeoPoint> route;
        std::string error;
        EXPECT_FALSE(route_from_cfg(route0(v), 0, route, error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_TRUE(route.empty());
    }
    std::vector<std::string> one(9, "99*0,999*0");
    one[0] = "55*0,37*0";
    std::vector<GeoPoint> route;
    std::string error;
    EXPECT_FALSE(route_from_cfg(route0(one), 0, route, error));
    EXPECT_NE(error.find("at least two"), std::string::npos) << error;
}

TEST(RouteCfg, TheBundledSampleRouteIsFlyableAndChecksClean) {
    std::string text, error;
    ASSERT_TRUE(read_whole_file(std::string(Q14_SOURCE_DIR) + "/data/sim/gauges/q14_cfg/q14_ppm.cfg", text, error)) << error;
    for (int r = 0; r < 4; ++r) {
        std::vector<GeoPoint> route;
        EXPECT_TRUE(route_from_cfg(text, r, route, error)) << "route " << r << ": " << error;
        EXPECT_GE(route.size(), 2u);
    }
    RouteFileCheck c = check_route_file(text, "sample");
    for (const CheckFinding& f : c.findings) ADD_FAILURE() << format_finding(f);
    EXPECT_DOUBLE_EQ(c.settings[kSetBankTime], 3.5);
    EXPECT_GT(c.settings_line[kSetBankTime], 0);
}

// A clean file with one value replaced (or, for key "", one line added at the end): the
// settings on lines 2 to 6, route 0 on lines 8 to 16, routes 1 to 3 empty, line 44 last.
std::string file_with(const std::string& key, const std::string& value) {
    std::string t = "[SYS]\n";
    for (const SettingsKeyInfo& s : kSettingsKeys)
        t += std::string(s.key) + "=" + (s.key == key ? value : s.default_text) + "\n";
    t += "[PPM]\n";
    const char* const r0[] = {"55*0,37*0", "55*30,37*0", "55*30,38*0", "55*0,38*0", "55*0,39*0",
                              "99*0,999*0", "99*0,999*0", "99*0,999*0", "99*0,999*0"};
    for (int r = 0; r < 4; ++r)
        for (int w = 1; w <= 9; ++w) {
            std::string k = route_key(r, w);
            t += k + "=" + (k == key ? value : r == 0 ? r0[w - 1] : "99*0,999*0") + "\n";
        }
    if (key.empty()) t += value + "\n";
    return t;
}

// Each pitfall a pilot was seen to fall into, and a few more of the same kind: the key and
// line reported, the kind of finding and the words that explain it.
TEST(RouteCheck, EveryPitfallIsReportedWithItsKeyAndLine) {
    struct Row {
        const char* key;
        const char* value;
        int line;
        CheckSeverity severity;
        const char* says;
    } rows[] = {
        // -0*35.6 is flown north, the trap the user guide warns about
        {"ppm_02", "-0*35.6,37*0", 9, CheckSeverity::kWarning, "reads as 0\xC2\xB0" "35.60'N"},
        {"ppm_02", "55*30,-0*15", 9, CheckSeverity::kWarning, "write 0*-15 for west"},
        // minutes of 60 or more
        {"ppm_03", "55*60,38*0", 10, CheckSeverity::kWarning, "latitude minutes of 60 (60 or more) read as 56\xC2\xB0"},
        {"ppm_03", "55*30,38*75.5", 10, CheckSeverity::kWarning, "longitude minutes of 75.5"},
        {"ppm_03", "-33*-30,38*0", 10, CheckSeverity::kWarning, "reads as 32\xC2\xB0" "30.00'S"},
        // half an empty waypoint: blank on the display, a waypoint to the units
        {"ppm_04", "99*0,37*0", 11, CheckSeverity::kError, "half of an empty waypoint"},
        {"ppm_04", "55*0,999*0", 11, CheckSeverity::kError, "blank longitude"},
        // settings that are no number
        {"q14_kp", "abc", 2, CheckSeverity::kError, "'abc' is not a number: the units read 0"},
        {"q14_bank_time", "nan", 4, CheckSeverity::kError, "take the default 3.5"},
        {"perc_pogr", "0,5", 6, CheckSeverity::kError, "read 0 and ignore ',5' (the decimal mark is a point)"},
        {"q14_kd", "100000000000000000", 3, CheckSeverity::kWarning, "the units read only '100000000000000'"},
        // settings out of their sensible range
        {"q14_kp", "-60", 2, CheckSeverity::kWarning, "a negative gain steers away"},
        {"vibr_kontrol", "2.7", 5, CheckSeverity::kWarning, "truncate 2.7 to 2"},
        // a waypoint at a pole
        {"ppm_05", "90*0,39*0", 12, CheckSeverity::kWarning, "within 1\xC2\xB0 of the pole"},
        // legs between nearly opposite points of the globe
        {"ppm_02", "-55*0,-143*0", 9, CheckSeverity::kWarning, "nearly opposite points of the globe"},
        // a turn back and a leg shorter than its turn lead plus 1 km
        {"ppm_03", "55*0,37*0.5", 9, CheckSeverity::kWarning, "a turn of 179"},
        {"ppm_02", "55*1.5,37*0", 9, CheckSeverity::kWarning, "shorter than the turn lead here"},
        // values the units misread
        {"ppm_02", "nan*0,37*0", 9, CheckSeverity::kError, "'nan' in the latitude degrees is no number"},
        {"ppm_02", "55*30,1e999*0", 9, CheckSeverity::kError, "'1e999' in the longitude degrees"},
        {"ppm_02", "55*30;37*0", 9, CheckSeverity::kError, "the units read it as 55\xC2\xB0" "30.00'N 0\xC2\xB0" "00.00'E"},
        {"ppm_02", "55*30,190*0", 9, CheckSeverity::kError, "beyond 180"},
        {"ppm_07", "56*0,39*0", 14, CheckSeverity::kError, "comes after the empty waypoint"},
        // text the units skip or never read
        {"ppm_02", "55*30,37*0 ; Tver", 9, CheckSeverity::kWarning, "ignore '; Tver'"},
        {"", "ppm_10=1*0,1*0", 44, CheckSeverity::kWarning, "a key ending in 0 is none"},
        {"", "ppm_1=1*0,1*0", 44, CheckSeverity::kWarning, "ppm_01"},
        {"", "ppm_01=1*0,1*0", 44, CheckSeverity::kWarning, "the units read only the first, on line 8"},
        {"", "[SYS]\nq14_bank=3", 45, CheckSeverity::kWarning, "no setting of this name"},
        {"", "# comment", 44, CheckSeverity::kWarning, "the units skip this line"},
        // what Windows reads otherwise than one might think: text after a number, a header with
        // text after it or a second ']', a section given twice, a key without '='
        {"q14_kp", "60 ; gain", 2, CheckSeverity::kWarning, "the units read 60 and ignore '; gain'"},
        {"", "[PPM] ; the routes", 44, CheckSeverity::kWarning, "ignore '; the routes' after its ']'"},
        {"", "[x]y]", 44, CheckSeverity::kWarning, "a second ']' on the line: the section name runs to the last one"},
        {"", "[ppm]\nppm_03=1*0,1*0", 44, CheckSeverity::kWarning, "[ppm] appears again (first on line 7)"},
        {"", "[ppm]\nppm_03=1*0,1*0", 45, CheckSeverity::kWarning, "stands in a second [PPM] section"},
        {"", "[SYS]\nq14_kp=90", 45, CheckSeverity::kWarning, "the units read only the first, on line 1"},
        {"q14_kd", "", 3, CheckSeverity::kError, "is not a number: the units read 0"},
    };
    for (const Row& row : rows) {
        const std::string text = file_with(row.key, row.value);
        RouteFileCheck c = check_route_file(text, "f.cfg");
        bool found = false;
        for (const CheckFinding& f : c.findings)
            found = found || (f.line == row.line && f.severity == row.severity && finding_reason(f).find(row.says) != std::string::npos);
        EXPECT_TRUE(found) << row.key << "=" << row.value << " gave:\n" << [&] {
            std::string all;
            for (const CheckFinding& f : c.findings) all += format_finding(f) + "\n";
            return all;
        }();
    }
    // The unchanged file is clean, so every finding above is the row's own.
    RouteFileCheck clean = check_route_file(file_with("none", ""), "f.cfg");
    EXPECT_EQ(clean.errors + clean.warnings, 0) << (clean.findings.empty() ? "" : format_finding(clean.findings[0]));
}

// The file as Notepad and other editors save it, and damaged: read as Windows reads it.
TEST(RouteCheck, FileFormsReadAsTheUnitsReadThem) {
    const std::string clean = file_with("none", "");
    auto findings = [](const RouteFileCheck& c) {
        std::string all;
        for (const CheckFinding& f : c.findings) all += format_finding(f) + "\n";
        return all;
    };
    // UTF-16 (Notepad's "Unicode"): one warning naming it, every value read.
    std::string utf16 = "\xFF\xFE";
    for (char ch : clean) utf16 += std::string(1, ch) + '\0';
    RouteFileCheck u = check_route_file(utf16, "u.cfg");
    EXPECT_EQ(u.errors, 0) << findings(u);
    ASSERT_EQ(u.warnings, 1) << findings(u);
    EXPECT_NE(finding_reason(u.findings[0]).find("UTF-16 little-endian with a byte-order mark (Notepad's \"Unicode\")"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(u.lat[0][2], 55.5);
    // CR alone ending the lines: clean, lines counted as an editor counts them.
    std::string cr = clean;
    for (char& ch : cr)
        if (ch == '\n') ch = '\r';
    RouteFileCheck c = check_route_file(cr, "c.cfg");
    EXPECT_EQ(c.errors + c.warnings, 0) << findings(c);
    EXPECT_EQ(c.line[0][2], 9);
    // A NUL byte ends the value where it stands.
    RouteFileCheck nul = check_route_file(file_with("q14_kp", std::string("75\0junk", 7)), "n.cfg");
    EXPECT_DOUBLE_EQ(nul.settings[kSetKp], 75);
    EXPECT_NE(findings(nul).find("n.cfg:2: warning: the line holds a NUL byte"), std::string::npos) << findings(nul);
    // A key line without '=' is found first: the units read the default, never the line after it.
    std::string bare = clean;
    bare.insert(bare.find("ppm_02="), "ppm_02\n");
    RouteFileCheck b = check_route_file(bare, "b.cfg");
    EXPECT_NE(findings(b).find("b.cfg:9: error: ppm_02: has no '='"), std::string::npos) << findings(b);
    EXPECT_DOUBLE_EQ(b.lat[0][2], 1);
    // A key at the end of a comment longer than 1023 bytes is no key.
    std::string longc = clean;
    longc.insert(longc.find("ppm_01="), "; " + std::string(1100, 'x') + "ppm_01=9*0,9*0\n");
    RouteFileCheck l = check_route_file(longc, "l.cfg");
    EXPECT_DOUBLE_EQ(l.lat[0][1], 55);
    EXPECT_EQ(l.errors + l.warnings, 0) << findings(l);
}

TEST(RouteCheck, ACheckIntoKeptStorageForgetsTheFileBefore) {
    // Files unlike each other checked one after the other into one result: each must come out
    // as a check of its own, nothing kept from the one before (keys, sections, findings).
    const std::string files[] = {
        "[PPM]\nppm_01=55*0,37*0\nppm_02=56*0,38*0\n[SYS]\nq14_kp=80\n[other]\nx=1\n",
        std::string("\xEF\xBB\xBF[ppm]\r\nppm_01=1*0,2*0\r\nPPM_01=3*0,4*0\r\n[PPM]\r\nppm_02\r\n"),
        "no sections at all\nppm_05=1*0,1*0\n",
        "[SYS]\nq14_bank_time=9,5\n[PPM]\nppm_11=99*0,999*0\nppm_12=1*0,1*0\n[sys]\nq14_kd=7\n",
    };
    auto text_of = [](const RouteFileCheck& c) {
        std::string s = std::to_string(c.errors) + " " + std::to_string(c.warnings) + (c.has_ppm ? " ppm\n" : "\n");
        for (const CheckFinding& f : c.findings) s += format_finding(f) + "\n";
        for (int r = 0; r < 4; ++r)
            for (int w = 1; w <= 9; ++w)
                s += std::to_string(c.lat[r][w]) + "," + std::to_string(c.lon[r][w]) + "@" + std::to_string(c.line[r][w]) + " ";
        return s + settings_text(c);
    };
    RouteFileCheck kept;
    for (int round = 0; round < 2; ++round)
        for (const std::string& text : files) {
            check_route_file(text, "q14_ppm.cfg", 600, kept);
            EXPECT_EQ(text_of(kept), text_of(check_route_file(text, "q14_ppm.cfg", 600))) << text;
        }
}

TEST(RouteCheck, WholeFileFindingsAndTheSettingsTheUnitsUse) {
    RouteFileCheck binary = check_route_file(std::string("\x89PNG\r\n\x1a\n\0\0", 10), "p.png");
    ASSERT_EQ(binary.errors, 1);
    EXPECT_NE(finding_reason(binary.findings[0]).find("not a text file"), std::string::npos);
    // A byte-order mark is read past, as Windows does: a warning naming the encoding, the first
    // section read.
    RouteFileCheck bom = check_route_file("\xEF\xBB\xBF[PPM]\nppm_01=55*0,37*0\n", "b.cfg");
    ASSERT_GE(bom.findings.size(), 1u);
    EXPECT_NE(format_finding(bom.findings[0]).find("b.cfg: warning: the file is UTF-8 with a byte-order mark"),
              std::string::npos);
    EXPECT_TRUE(bom.has_ppm);
    EXPECT_DOUBLE_EQ(bom.lat[0][1], 55);
    EXPECT_EQ(bom.line[0][1], 2);
    RouteFileCheck no_ppm = check_route_file("[SYS]\nq14_kp=70\n", "s.cfg");
    EXPECT_TRUE(check_route_has_errors(no_ppm, 0));
    EXPECT_DOUBLE_EQ(no_ppm.settings[kSetKp], 70);
    EXPECT_DOUBLE_EQ(no_ppm.settings[kSetKd], 100);  // the default
    EXPECT_EQ(no_ppm.settings_line[kSetKd], 0);
    EXPECT_DOUBLE_EQ(no_ppm.lat[2][5], 1.0);  // every waypoint the default 1*0,1*0
    EXPECT_DOUBLE_EQ(no_ppm.lon[3][9], 1.0);
    // Only route 0 given: routes 1 to 3 read as 1*0,1*0 everywhere, worth a warning each.
    RouteFileCheck only0 = check_route_file("[PPM]\nppm_01=55*0,37*0\nppm_02=56*0,37*0\n", "f.cfg");
    EXPECT_EQ(only0.warnings, 3);
    EXPECT_EQ(only0.errors, 7);  // route 0's seven missing keys
    // A missing key inside a route reads as 1 N 1 E: an error of that route only.
    std::string text = file_with("none", "");
    text.erase(text.find("ppm_03="), text.find('\n', text.find("ppm_03=")) - text.find("ppm_03=") + 1);
    RouteFileCheck missing = check_route_file(text, "f.cfg");
    EXPECT_TRUE(check_route_has_errors(missing, 0));
    EXPECT_FALSE(check_route_has_errors(missing, 1));
    EXPECT_DOUBLE_EQ(missing.lat[0][3], 1.0);
    EXPECT_EQ(format_finding(missing.findings[0]),
              "f.cfg: error: ppm_03: missing from [PPM]: the units read it as 1*0,1*0, a waypoint at 1\xC2\xB0N 1\xC2\xB0" "E");
}

// UTF-8 is read as bytes, UTF-16 decoded first: the same characters must check alike, findings,
// places and settings, but for the warning that names the encoding.
TEST(RouteCheck, Utf8FilesCheckAsTheSameTextInUtf16) {
    const std::string texts[] = {
        "[PPM]\nppm_01=55*45.5,37*36.2 ; caf\xC3\xA9\nppm_02='56*0,38*0'\n[S\xC3\xA9S]\nq14_kp=70\n",
        "[PP\xEDM]\nppm_01=1*0,2*0\n[PPM]\npp\xED_=4\nppm\xF0\x9F\x98\x80=1\nppm_02=\xE3x,1*0\n[SYS]\nq14_kd=5\xC3\n",
        "[PPM]\nppm_01=55*30" + std::string(30, 'x') + "\xE2\x80\x94\xE2\x80\x94,38*0\nppm_02=1*0,1*0\n\xF0\nppm_03",
        "[PPM]\r\nppm_01=55*0,37*0\r\nppm_02=56*0,37*0\r\n[other]\xC3]\r\nx\xE3=1\r\n\xF4\x8F",
        "\xED\xA0\x80[PPM]\nppm_01 = \xC0\x80 \n[PPM]\nppm_02=1*0,1*0\n;\xFF\n\xE3\n\xF0\nq",  // "\nq" swallowed
    };
    auto text_of = [](const RouteFileCheck& c) {
        std::string s = std::to_string(c.errors) + " " + std::to_string(c.warnings) + (c.has_ppm ? " ppm\n" : "\n");
        for (size_t i = 1; i < c.findings.size(); ++i) s += format_finding(c.findings[i]) + "\n";
        for (int r = 0; r < 4; ++r)
            for (int w = 1; w <= 9; ++w)
                s += std::to_string(c.lat[r][w]) + "," + std::to_string(c.lon[r][w]) + "@" + std::to_string(c.line[r][w]) + " ";
        return s + settings_text(c);
    };
    for (const std::string& text : texts) {
        const std::string utf8 = "\xEF\xBB\xBF" + text;
        const std::string utf16 = profile_encode(profile_decode(utf8.data(), utf8.size()).text, ProfileEncoding::kUtf16Le);
        const RouteFileCheck a = check_route_file(utf8, "f.cfg"), b = check_route_file(utf16, "f.cfg");
        ASSERT_FALSE(a.findings.empty());
        EXPECT_NE(format_finding(a.findings[0]).find("UTF-8"), std::string::npos);
        EXPECT_EQ(text_of(a), text_of(b)) << text;
        for (const char* key : {"ppm_01", "ppm_02", "ppm_03", "q14_kd", "pp\xED_"}) {
            std::string va = "-", vb = "-";
            int la = -1, lb = -1;
            EXPECT_EQ(ini_lookup(utf8, "PPM", key, va, &la), ini_lookup(utf16, "PPM", key, vb, &lb)) << key << " in " << text;
            EXPECT_EQ(va, vb) << key << " in " << text;
            EXPECT_EQ(la, lb) << key << " in " << text;
        }
    }
}

// The numbers come from the bytes the units get (code page 1252, one byte a letter), not from
// the UTF-8 the messages quote: 20 dashes take 60 bytes there and would push the longitude
// past the 63 the units read.
TEST(RouteCheck, WaypointsWithLettersBeyondAsciiReadAsTheUnitsReadThem) {
    RouteFileCheck c = check_route_file(file_with("ppm_02", "55*30" + std::string(20, '\x97') + ",38*0"), "f.cfg");
    EXPECT_DOUBLE_EQ(c.lat[0][2], 55.5);
    EXPECT_DOUBLE_EQ(c.lon[0][2], 38);
    EXPECT_TRUE(check_route_has_errors(c, 0));  // not deg*min,deg*min all the same
}

TEST(RouteCheck, TurnLeadsFollowTheSpeedAndTheFilesBankTime) {
    // A leg of 2.8 km: too short for the lead at 600 km/h, long enough at 200 km/h.
    const std::string text = file_with("ppm_02", "55*1.5,37*0");
    auto short_leg = [](const RouteFileCheck& c) {
        for (const CheckFinding& f : c.findings)
            if (finding_reason(f).find("turn lead") != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(short_leg(check_route_file(text, "f", 600)));
    EXPECT_FALSE(short_leg(check_route_file(text, "f", 200)));
    // A long bank time lengthens every lead.
    std::string slow_roll = text;
    slow_roll.replace(slow_roll.find("q14_bank_time=3.5"), 17, "q14_bank_time=30");
    EXPECT_TRUE(short_leg(check_route_file(slow_roll, "f", 200)));
}

}  // namespace
