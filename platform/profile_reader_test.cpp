// The route file reader on the corpus of file forms: each answer is the one the real
// GetPrivateProfileStringA gives (the win32 build's profile_diff test compares them all).
#include "platform/profile_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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

TEST(ProfileReader, AFileReadOnceAnswersAsEachCallDoes) {
    std::vector<std::string> files;
    for (size_t i = 0; i < kProfileCorpusCount; ++i) files.push_back(profile_corpus_bytes(i));
    // Keys again in other cases, a repeated section, many keys (the index grows), no header.
    std::string many = "[PPM]\nPPM_01=first\nppm_01=second\n";
    for (int i = 0; i < 40; ++i) many += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    files.push_back(many + "[ppm]\nk3=late\n[SYS]\nq14_kp\nq14_kd = 'q'\n");
    files.push_back("=unnamed\nk=before any header\n[]\nk=in []\n");
    files.push_back("\xEF\xBB\xBF[PPM]\r\nK3=utf8\r\n");
    const char* sections[] = {"PPM", "ppm ", "sys", "SYS", "", "x", "\t[PPM]"};
    const char* keys[] = {"ppm_01", "PPM_01", "q14_kp", "q14_kd", "k", "K3", "k39", "", ";", "ppm_02"};
    const uint32_t sizes[] = {0, 1, 4, 64};
    ProfileFile file;
    for (const std::string& bytes : files) {
        file.read(bytes.data(), bytes.size());
        for (const char* section : sections)
            for (const char* key : keys)
                for (uint32_t size : sizes) {
                    char want[80], got[80];
                    std::memset(want, '#', sizeof want);
                    std::memset(got, '#', sizeof got);
                    const uint32_t n = profile_get_string(bytes.data(), bytes.size(), true, section, key, "dflt ", want, size);
                    EXPECT_EQ(file.get_string(section, key, "dflt ", got, size), n) << section << "/" << key << " in " << bytes;
                    EXPECT_EQ(std::memcmp(got, want, sizeof got), 0) << section << "/" << key << " in " << bytes;
                }
    }
    EXPECT_EQ(read(files[kProfileCorpusCount], "PPM", "ppm_01"), "first");  // the first line of a name
    EXPECT_EQ(read(files[kProfileCorpusCount], "PPM", "k39"), "39");
    EXPECT_EQ(read(files[kProfileCorpusCount + 1], "", "k"), "before any header");
    // No such file: the default, whatever is asked.
    char out[8];
    file.read(nullptr, 0, false);
    EXPECT_EQ(file.get_string("PPM", "ppm_01", "d ", out, sizeof out), 1u);
    EXPECT_STREQ(out, "d");
}

TEST(ProfileReader, Utf8WalkedAsBytesAnswersAsItsDecodedText) {
    // Each file after its UTF-8 byte-order mark; the same characters written as UTF-16 are
    // decoded before they are read, and every answer must be the same.
    const std::string texts[] = {
        "[PPM]\nppm_01=caf\xC3\xA9 \"x\"\nk='\xE2\x82\xAC'\n",
        "[P\xFFM]\nk=1\n[PPM]\nppm_01=\xF0\x9F\x98\x80 four bytes\nK=\xC0\x80\xE0\x80\x80\xED\xA0\x80\n",
        "[PPM]\nppm_01\xF0=5",               // a sequence the end cuts short takes the '=' with it
        "[PPM]\nppm_01=1*0,2*0\xE3\x81",    // ... and its continuation byte
        "[PPM]\nk=\"a\xE3\"",                // ... and the closing quote
        "[PPM]\nk=a\xE3z\nppm_01=\xF0\x9Fq \n",  // but not a letter that follows it within the file
        "[PPM]\nk=v\xE3\nppm_01=\x81x\xC3\n",
        "[PPM]\nk=v\xF4\x8F",                // U+10FFFF's first bytes
        "[\xC3\xA9]\nk=acute\n[PPM]\rk\r=\ra\r",
        std::string("[PPM]\nk=a\0b\nppm_01 = ' \xC3\xA9 '  \x1A\n", 30),
        "",
        "\xF4",
        "[PPM]\n\xEF\xBB\xBFk=second mark\nk=plain\n",
    };
    const char* sections[] = {"PPM", "ppm ", "\xE9", "P\xFFM", ""};
    const char* keys[] = {"ppm_01", "k", "K ", "\xE9", "\xEF\xBB\xBFk"};
    const uint32_t sizes[] = {0, 1, 2, 4, 64};
    ProfileFile file, wide_file;
    for (const std::string& text : texts) {
        const std::string utf8 = "\xEF\xBB\xBF" + text;
        const std::string utf16 = profile_encode(profile_decode(utf8.data(), utf8.size()).text, ProfileEncoding::kUtf16Le);
        file.read(utf8.data(), utf8.size());
        wide_file.read(utf16.data(), utf16.size());
        for (const char* section : sections)
            for (const char* key : keys)
                for (uint32_t size : sizes) {
                    char want[80], got[80], once[80];
                    std::memset(want, '#', sizeof want);
                    std::memset(got, '#', sizeof got);
                    std::memset(once, '#', sizeof once);
                    const uint32_t n = wide_file.get_string(section, key, "dflt ", want, size);
                    EXPECT_EQ(profile_get_string(utf8.data(), utf8.size(), true, section, key, "dflt ", got, size), n)
                        << section << "/" << key << " in " << text;
                    EXPECT_EQ(file.get_string(section, key, "dflt ", once, size), n) << section << "/" << key << " in " << text;
                    EXPECT_EQ(std::memcmp(got, want, sizeof got), 0) << section << "/" << key << "/" << size << " in " << text;
                    EXPECT_EQ(std::memcmp(once, want, sizeof once), 0) << section << "/" << key << "/" << size << " in " << text;
                }
    }
    EXPECT_EQ(read("\xEF\xBB\xBF" + texts[0], "PPM", "k"), "\x80");  // the euro sign in code page 1252
    EXPECT_EQ(read("\xEF\xBB\xBF" + texts[2], "PPM", "ppm_01"), "dflt");
}

TEST(ProfileReader, BytesAndTheirDecodedTextGiveTheSameEntries) {
    // Lines longer than the blocks the search takes at a time, ends at every offset in them.
    std::vector<std::string> texts = {
        "a=1\r\n\r\n[S] x\rb\n\nc = 2\r\r\n",
        std::string("[PP\0M]\nk\0ey=v\0al\n", 18),
        " \t[a]b] tail \x1A\nkey with blanks  =  'q'  \n;c=1\n\x85\xA0=\x80\n",
    };
    for (int len = 0; len < 12; ++len)
        for (const char* end : {"\n", "\r", "\r\n", "\r\r\n"}) texts.push_back(std::string(len, 'x') + "=v" + end + "[s]" + end);
    for (const std::string& bytes : texts) {
        const std::u16string wide = profile_from_ansi(bytes);
        ProfileCursor a8, a16;
        ProfileEntry8 e8;
        ProfileEntry e16;
        EXPECT_EQ(profile_encoding(bytes.data(), bytes.size()), ProfileEncoding::kAnsi);
        for (;;) {
            const bool more8 = profile_next_entry(bytes, a8, e8), more16 = profile_next_entry(wide, a16, e16);
            ASSERT_EQ(more8, more16) << bytes;
            if (!more8) break;
            EXPECT_EQ(e8.header, e16.header) << bytes;
            EXPECT_EQ(e8.has_value, e16.has_value) << bytes;
            EXPECT_EQ(e8.nul, e16.nul) << bytes;
            EXPECT_EQ(e8.line, e16.line) << bytes;
            EXPECT_EQ(e8.begin, e16.begin) << bytes;
            EXPECT_EQ(e8.end, e16.end) << bytes;
            EXPECT_EQ(profile_from_ansi(e8.name), e16.name) << bytes;
            EXPECT_EQ(profile_from_ansi(e8.value), e16.value) << bytes;
            EXPECT_EQ(profile_from_ansi(e8.after), e16.after) << bytes;
            EXPECT_EQ(profile_from_ansi(profile_value_read(e8.value, 3)), profile_value_read(e16.value, 3)) << bytes;
        }
    }
}

TEST(ProfileReader, ConversionsKeepEveryCharacterWhereverItStands) {
    // One character outside ASCII at each place of texts as long as several blocks.
    struct Case {
        char byte;          // in code page 1252
        char16_t wide;      // the character
        const char* utf8;
    } cases[] = {{'\x80', u'\u20AC', "\xE2\x82\xAC"}, {'\xE9', u'\u00E9', "\xC3\xA9"}, {'\x81', u'\u0081', "\xC2\x81"}};
    for (const Case& c : cases)
        for (size_t len = 1; len <= 20; ++len)
            for (size_t at = 0; at < len; ++at) {
                std::string bytes(len, 'a'), utf8(len - 1, 'a');
                std::u16string wide(len, u'a');
                bytes[at] = c.byte;
                wide[at] = c.wide;
                utf8.insert(at, c.utf8);
                EXPECT_EQ(profile_from_ansi(bytes), wide) << len << " " << at;
                EXPECT_EQ(profile_to_ansi(wide), bytes) << len << " " << at;
                EXPECT_EQ(profile_to_utf8(wide), utf8) << len << " " << at;
                EXPECT_EQ(profile_from_utf8(utf8), wide) << len << " " << at;
                std::string eight;
                profile_append_utf8(std::string_view(bytes), eight);
                EXPECT_EQ(eight, utf8) << len << " " << at;
                std::u16string lone = wide;
                lone[at] = u'\xDC00';
                EXPECT_FALSE(profile_utf16_well_formed(lone)) << len << " " << at;
                EXPECT_TRUE(profile_utf16_well_formed(wide)) << len << " " << at;
                const std::string le = profile_encode(wide, ProfileEncoding::kUtf16Be);
                EXPECT_EQ(profile_decode(le.data(), le.size()).text, wide) << len << " " << at;
            }
}

}  // namespace
