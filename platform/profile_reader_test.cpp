// The route file reader on the corpus of file forms: each answer is the one the real
// GetPrivateProfileStringA gives (the win32 build's profile_diff test compares them all).
#include "platform/profile_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/profile_corpus.h"

namespace {

std::string corpus(const char* name) {
    for (size_t i = 0; i < kProfileCorpusCount; ++i)
        if (std::strcmp(kProfileCorpus[i].name, name) == 0) return profile_corpus_bytes(i);
    ADD_FAILURE() << "no corpus form " << name;
    return {};
}

std::string read(const std::string& bytes, const char* section, const char* key, const char* fallback = "dflt",
                 uint32_t size = 64, uint32_t* count = nullptr) {
    char out[4096];
    std::memset(out, '#', sizeof out);
    const uint32_t n = profile_get_string(bytes.data(), bytes.size(), true, section, key, fallback, out, size);
    if (count) *count = n;
    for (size_t i = size; i < sizeof out; ++i)
        if (out[i] != '#') {
            ADD_FAILURE() << "written past the size " << size;
            break;
        }
    if (size == 0) return "(untouched)";
    EXPECT_EQ(std::strlen(out), n);
    return std::string(out, n);
}

TEST(ProfileReader, FormsReadAsWindowsReadsThem) {
    struct Case {
        const char *form, *section, *key, *want;
    } cases[] = {
        {"crlf", "PPM", "ppm_01", "55*45.5,37*36.2"},
        {"crlf", "ppm", "ppm_02", "1*0,2*0"},           // names without regard to case
        {"crlf", "SYS", "q14_kp", "60 ; gain"},         // no comments after a value
        {"utf8-bom", "PPM", "ppm_01", "55*45.5,37*36.2"},  // the first section is not lost
        {"utf8-bom", "SYS", "k", "\xE9t\xE9 \x80"},     // decoded, given back in code page 1252
        {"utf16le", "SYS", "q14_kp", "75"},
        {"utf16le", "SYS", "k", "\xE9t\xE9"},
        {"utf16be", "PPM", "ppm_01", "55*45.5,37*36.2"},
        {"utf16le-nonlatin", "PPM", "k", "?\? ?"},       // what 1252 lacks becomes '?'
        {"cr-only", "PPM", "ppm_02", "1*0,2*0"},        // CR alone ends a line
        {"cr-only", "SYS", "q14_kp", "75"},
        {"cr-runs", "SYS", "q14_kp", "7"},
        {"long-comment", "PPM", "ppm_01", "dflt"},      // a key hidden at the end of a long comment
        {"long-comment", "PPM", "ppm_02", "1*0,2*0"},
        {"repeated-section", "PPM", "ppm_02", "dflt"},  // only the first [PPM] is read
        {"repeated-section", "PPM", "ppm_01", "1*0,2*0"},
        {"repeated-section", "SYS", "q14_kd", "dflt"},
        {"header-text-after", "PPM", "ppm_01", "1*0,2*0"},  // text after the ']' is ignored
        {"header-text-after", "SYS", "q14_kp", "2"},
        {"header-second-bracket", "PPM", "ppm_01", "dflt"},  // the name runs to the last ']'
        {"header-second-bracket", "PPM]x", "ppm_01", "1*0,2*0"},
        {"header-second-bracket", "SYS ]", "q14_kp", "2"},
        {"header-second-bracket", "a]b", "k", "3"},
        {"header-second-bracket", "a]b", "[PPM", "dflt"},  // "[PPM" is a key without a value
        {"nul-bytes", "PPM", "ppm_01", "1*0"},          // a NUL ends the value
        {"nul-bytes", "PPM", "ppm", "3*0,4*0"},         // ... and the name
        {"nul-bytes", "S", "q14_kp", "5"},
        {"nul-bytes", "SYS", "q14_kd", "6"},
        {"quotes", "Q", "a", "quoted"},
        {"quotes", "Q", "b", "dq"},
        {"quotes", "Q", "c", "'"},
        {"quotes", "Q", "d", ""},
        {"quotes", "Q", "e", "'mixed\""},
        {"quotes", "Q", "f", "\""},
        {"quotes", "Q", "g", " spaced "},
        {"no-equals", "PPM", "ppm_01", "dflt"},         // the first ppm_01 has no '=': the default
        {"no-equals", "PPM", "", "empty name"},
        {"blanks", "PPM", "ppm_01", "1*0,2*0"},         // tab, VT, FF, ^Z are blanks
        {"blanks", "SYS", "q14_kp", "75.5"},
        {"before-any-section", "", "k", "top"},
        {"before-any-section", "", "ppm_01", "0*0,0*0"},
        {"empty", "PPM", "ppm_01", "dflt"},
        {"only-bom", "PPM", "ppm_01", "dflt"},
        {"cp1252", "\xC4" "BC", "k", "\xE9t\xE9 \x80 \x8A\x9A \xFF"},
        {"cp1252", "\xE4" "bc", "k", "dflt"},           // only ASCII letters fold
        {"cp1252", "\xC4" "BC", "\xE0", "dflt"},
        {"utf8-without-bom", "PPM", "k", "\xC3\xA9t\xC3\xA9"},  // bytes as they stand
        {"utf8-bad-sequences", "PPM", "a", "x?y"},
        {"utf8-bad-sequences", "PPM", "b", "?"},
        {"utf8-bad-sequences", "PPM", "d", "?\?w"},      // ED A0 is one bad sequence, 80 another
        {"utf8-bad-sequences", "PPM", "e", "?\?!"},      // one character beyond 16 bits, two halves
        {"utf8-bad-sequences", "PPM", "g", "??????????????"},  // 2 + 3 + 3 + 2 + 2 + 2
        {"utf8-bad-sequences", "PPM", "f", "?"},        // a cut sequence swallows the rest
        {"sections-case", "SYS", "q14_kd", "dflt"},     // [sys] comes first and is the one read
        {"sections-case", "sys", "q14_kp", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(corpus(c.form), c.section, c.key), c.want) << c.form << " [" << c.section << "] " << c.key;
}

TEST(ProfileReader, BufferSizesAndDefaults) {
    const std::string quotes = corpus("quotes"), crlf = corpus("crlf");
    struct Case {
        const std::string* file;
        const char *section, *key, *fallback;
        uint32_t size;
        const char* want;
    } cases[] = {
        {&crlf, "PPM", "ppm_01", "", 1, ""},
        {&crlf, "PPM", "ppm_01", "", 4, "55*"},
        {&crlf, "PPM", "ppm_01", "", 0, "(untouched)"},
        {&quotes, "Q", "a", "", 9, "quoted"},   // room for all: both quotes go
        {&quotes, "Q", "a", "", 8, "quoted"},
        {&quotes, "Q", "a", "", 7, "quote"},    // Wine's way: cut to 6, then a character dropped
        {&quotes, "Q", "a", "", 6, "quote"},    // cut to 5, nothing dropped
        {&quotes, "Q", "a", "", 5, "quot"},
        {&quotes, "Q", "h", "", 64, "'x"},      // no closing quote: kept
        {&crlf, "PPM", "none", "d  ", 64, "d"},   // the default loses trailing spaces
        {&crlf, "PPM", "none", "   ", 64, " "},   // ... but keeps one of a default of spaces
        {&crlf, "PPM", "none", "'q'", 64, "q"},   // ... and its quotes
        {&crlf, "PPM", "none", nullptr, 64, ""},
        {&crlf, " PPM\t", " ppm_01 ", "", 64, "55*45.5,37*36.2"},  // blanks around names go
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(*c.file, c.section, c.key, c.fallback, c.size), c.want)
            << "[" << c.section << "] " << c.key << " size " << c.size;
}

TEST(ProfileReader, LongValuesAreWhole) {
    const std::string bytes = corpus("long-value");
    uint32_t n = 0;
    const std::string v = read(bytes, "PPM", "ppm_01", "", 4096, &n);
    EXPECT_EQ(n, 1513u);  // "1*0,2*0 " + 1500 letters + " tail"
    EXPECT_EQ(v.substr(v.size() - 5), " tail");
    EXPECT_EQ(read(bytes, "PPM", "ppm_02"), "3*0,4*0");
}

TEST(ProfileReader, Utf16BytesAsNotepadWritesThem) {
    // "[A]\r\nk=v\r\n" in UTF-16 little-endian with its mark, spelled out byte by byte.
    const char le[] = "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0";
    const ProfileText t = profile_decode(le, sizeof le - 1);
    EXPECT_EQ(t.encoding, ProfileEncoding::kUtf16Le);
    EXPECT_EQ(t.text, u"[A]\r\nk=v\r\n");
    EXPECT_EQ(read(std::string(le, sizeof le - 1), "A", "k"), "v");
    const char be[] = "\xFE\xFF\0[\0A\0]\0\n\0k\0=\0w";
    EXPECT_EQ(read(std::string(be, sizeof be - 1), "a", "K"), "w");
    // An odd last byte is left out.
    EXPECT_TRUE(profile_decode(le, sizeof le - 2).odd_byte);
}

TEST(ProfileReader, EntriesCarryTheirLines) {
    const char text[] = "a=1\r\n\r\n[S] x\rb\n\nc = 2\r\r\n";
    const ProfileText t = profile_decode(text, sizeof text - 1);
    const std::vector<ProfileEntry> e = profile_entries(t.text);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].line, 1);
    EXPECT_TRUE(e[1].header);
    EXPECT_EQ(e[1].name, u"S");
    EXPECT_EQ(e[1].after, u" x");
    EXPECT_EQ(e[1].line, 3);
    EXPECT_EQ(e[2].line, 4);  // after a lone CR
    EXPECT_FALSE(e[2].has_value);
    EXPECT_EQ(e[3].line, 6);
    EXPECT_EQ(e[3].value, u"2");
}

TEST(ProfileReader, EncodingsRoundTrip) {
    const std::u16string text = u"[PPM]\r\n; \u00E9\u0436\u4E2D\U0001F600\r\nk=v";
    for (ProfileEncoding enc : {ProfileEncoding::kUtf8Bom, ProfileEncoding::kUtf16Le, ProfileEncoding::kUtf16Be}) {
        const std::string bytes = profile_encode(text, enc);
        const ProfileText back = profile_decode(bytes.data(), bytes.size());
        EXPECT_EQ(back.encoding, enc);
        EXPECT_EQ(back.text, text);
    }
    EXPECT_EQ(profile_from_utf8(profile_to_utf8(text)), text);
    EXPECT_TRUE(profile_utf16_well_formed(text));
    EXPECT_FALSE(profile_utf16_well_formed(u"a\xD800" u"b"));
}

}  // namespace
