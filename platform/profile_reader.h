// The route file as GetPrivateProfileStringA reads it on Windows (as Wine implements it): one
// reader of encodings, lines, sections and keys for the stand-in, the route check and the importer.
//
// What the real call does, and this reader with it:
//   encoding   a UTF-8 byte-order mark, or a UTF-16 one (little- or big-endian), is taken off
//              and the text decoded; anything else is 8-bit text in code page 1252 (the
//              Windows code page of the Wine prefix the tests run in).
//   lines      end at any run of CR and LF characters (CR alone ends a line); there is no
//              length limit. Blanks (tab, LF, VT, FF, CR, space and ^Z) are trimmed at both ends.
//   sections   a line starting with '[' and holding a ']' is a header; the name runs to the
//              LAST ']' on the line, trimmed, and text after that ']' is ignored. A '[' line
//              without ']' is an ordinary line.
//   keys       every other line is a key: the name before the first '=' (trimmed), the value
//              after it (trimmed); a line without '=' is a key without a value, which reads as
//              the default. Comment lines (';') are keys like any other, which no one asks for.
//   look-up    names compare without regard to ASCII case (an accented capital is not its
//              small letter); only the FIRST section of a name is
//              searched (a repeated section is never read), and in it the first key of a name.
//   NUL        a NUL byte ends a name or value where it stands (the line goes on).
//   result     a value wrapped in matching quotes loses them (in Wine's way: the closing quote
//              is dropped only when the buffer holds the whole value); the default loses its
//              trailing spaces; the result is cut to size - 1 characters and turned into code
//              page 1252 ('?' for what it lacks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ProfileEncoding { kAnsi, kUtf8Bom, kUtf16Le, kUtf16Be };

struct ProfileText {
    ProfileEncoding encoding = ProfileEncoding::kAnsi;
    std::u16string text;        // the characters after the byte-order mark
    bool odd_byte = false;      // UTF-16 with an odd number of bytes: the last one is left out
};

// The file's bytes decoded as the real call decodes them.
ProfileText profile_decode(const char* bytes, size_t n);
// The encoding the call reads the file's bytes in (its byte-order mark), without decoding them:
// 8-bit text is read as it stands (profile_next_entry on the bytes).
ProfileEncoding profile_encoding(const char* bytes, size_t n);

// One line that is not blank, as the reader keeps it: views into the text it was read from,
// which must outlive it. C is char for 8-bit text (code page 1252, read as it stands, one
// character a byte) and char16_t for UTF-16 (a file with a byte-order mark, decoded).
template <class C>
struct ProfileEntryOf {
    bool header = false;               // a [section] line; otherwise a key line
    std::basic_string_view<C> name;    // section or key name, trimmed, up to a NUL
    bool has_value = false;            // key lines: an '=' stands in the line
    std::basic_string_view<C> value;   // after the '=', trimmed, up to a NUL
    std::basic_string_view<C> after;   // header: what follows the last ']' (ignored by the reader)
    bool nul = false;                  // the line holds a NUL character
    int line = 0;                      // 1-based; CR LF, LF and a lone CR each end one line
    size_t begin = 0, end = 0;         // the trimmed line in the text
};
using ProfileEntry = ProfileEntryOf<char16_t>;
using ProfileEntry8 = ProfileEntryOf<char>;

// The entries one at a time: `at` starts at the beginning of the text; false after the last.
struct ProfileCursor {
    static constexpr size_t kUnknown = ~size_t{0};
    size_t next = 0;  // where the next line starts
    int line = 1;     // its number
    size_t lf = kUnknown, cr = kUnknown;  // 8-bit text: the next LF and CR found (the end: none)
};
bool profile_next_entry(std::string_view text, ProfileCursor& at, ProfileEntry8& out);
bool profile_next_entry(std::u16string_view text, ProfileCursor& at, ProfileEntry& out);

// Every line that is not blank, in file order (views into `text`).
std::vector<ProfileEntry> profile_entries(const std::u16string& text);
std::vector<ProfileEntry> profile_entries(std::u16string&& text) = delete;  // the entries view the text

// The entry the real call finds for (section, key), or null: the first section of that name,
// the first key of that name in it. Names are trimmed and compared without regard to case.
const ProfileEntry* profile_find(const std::vector<ProfileEntry>& entries, std::u16string_view section,
                                 std::u16string_view key);
// The same in 8-bit text walked as bytes (code page 1252, or profile_utf8_text), the names asked
// for in code page 1252 (in ASCII for UTF-8), trimmed as the call trims them.
bool profile_find_entry(std::string_view text, const char* section, const char* key, ProfileEntry8& out);
// Index of the header of the first section called `section` (-1 for the lines before any
// header, which form the unnamed section), or -2 when there is none.
long profile_section_index(const std::vector<ProfileEntry>& entries, std::u16string_view section);

// What the call gives for a key's value (or the default) in a buffer of `size` characters:
// quotes removed in Wine's way, cut to size - 1; a part of `value`.
std::u16string_view profile_value_read(std::u16string_view value, uint32_t size);
std::string_view profile_value_read(std::string_view value, uint32_t size);

// GetPrivateProfileStringA over a file's bytes (`exists` false: no such file). Section and key
// are 8-bit text in code page 1252; a null section or key reads as missing. Writes at most
// `size` bytes to `out` (nothing when size is 0) and returns the length of the result.
uint32_t profile_get_string(const char* bytes, size_t n, bool exists, const char* section, const char* key,
                            const char* fallback, char* out, uint32_t size);

// A file read once for many look-ups with the call's answers: the keys of the section asked
// for last are indexed, so that asking for every key of a section does not walk it each time.
// Its storage is kept from one file to the next.
class ProfileFile {
public:
    // The file's bytes, which must outlive the reading (`exists` false: no such file).
    void read(const char* bytes, size_t n, bool exists = true);
    // GetPrivateProfileStringA on it, as profile_get_string above.
    uint32_t get_string(const char* section, const char* key, const char* fallback, char* out, uint32_t size);

private:
    bool exists_ = false, wide_ = false, utf8_ = false;  // UTF-16 decoded; UTF-8 walked as bytes
    const char* bytes_ = nullptr;         // the file, for names outside ASCII in UTF-8 text
    size_t size_ = 0;
    ProfileText decoded_;                 // the text of a UTF-16 file
    std::vector<ProfileEntry8> entries8_;
    std::vector<ProfileEntry> entries16_;
    std::string section_;                 // the section indexed (as asked, trimmed; 8-bit)
    bool indexed_ = false;
    long first_ = -2;                     // its header's entry (-1: before any header; -2: none)
    std::vector<uint32_t> slots_;         // open addressing: entry index + 1 of each key's first line
};

// Text conversions: code page 1252 to and from UTF-16 ('?' for what 1252 lacks), UTF-16 to
// and from UTF-8 (unpaired surrogates and bad UTF-8 become U+FFFD).
std::u16string profile_from_ansi(std::string_view s);
std::string profile_to_ansi(std::u16string_view s);
std::string profile_to_utf8(std::u16string_view s);
std::u16string profile_from_utf8(std::string_view s);
// The same appended to `out` (its storage kept, for readers of many values): code page 1252
// or UTF-16 to UTF-8, and to code page 1252 (8-bit text as it stands).
void profile_append_utf8(std::string_view ansi, std::string& out);
void profile_append_utf8(std::u16string_view s, std::string& out);
void profile_append_ansi(std::u16string_view s, std::string& out);
void profile_append_ansi(std::string_view ansi, std::string& out);
// How many bytes `s` starts with that are ASCII (the same characters in code page 1252 and in
// UTF-8), looked at eight at a time; profile_ascii: all of them.
size_t profile_ascii_prefix(std::string_view s);
bool profile_ascii(std::string_view s);
// A name or value of UTF-8 text (a part of profile_utf8_text) decoded as the call decodes the
// text around it, appended to `out`.
void profile_append_from_utf8(std::string_view s, std::u16string& out);
// The text of a UTF-8 file (with its byte-order mark) as the reader walks it as bytes: after the
// mark, and cut after the lead byte of a sequence the end of the file cuts short (which takes
// the rest with it). Its lines, sections, keys and NULs are those of the decoded text; a name or
// value decodes to its characters (profile_append_from_utf8). Empty for any other file.
std::string_view profile_utf8_text(const char* bytes, size_t n);
// The same for UTF-8 text without its mark that runs to its end (a line, a file's text).
std::string_view profile_utf8_walk(std::string_view utf8);
// The file's bytes decoded into `out`, as profile_decode does (its storage kept).
void profile_decode(const char* bytes, size_t n, ProfileText& out);
// True when every UTF-16 surrogate in `s` is paired (the text converts to UTF-8 and back).
bool profile_utf16_well_formed(const std::u16string& s);
// `text` in `encoding`, with its byte-order mark.
std::string profile_encode(const std::u16string& text, ProfileEncoding encoding);
// "UTF-8 with a byte-order mark", "UTF-16 little-endian with a byte-order mark", ...
const char* profile_encoding_name(ProfileEncoding encoding);
