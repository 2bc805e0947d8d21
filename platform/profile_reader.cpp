// The route file read as GetPrivateProfileStringA reads it: decoding, lines, sections, keys and
// the look-up, pure functions over the file's bytes (no file access here).
#include "platform/profile_reader.h"

#include <cstring>
#include <type_traits>

namespace {

// Code page 1252's bytes 0x80..0x9F; the others are their own code points.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// UTF-8 (after its byte-order mark) decoded as Windows decodes it, appended to `r`. `whole`:
// `s` runs to the end of the file; otherwise it is a part of it (a name or value) that the
// rest of the file follows.
void append_from_utf8(std::string_view s, std::u16string& r, bool whole = true);

// Blanks, ASCII case and names work alike on 8-bit text (a byte stands for its character in
// code page 1252, whose first 128 are ASCII) and on UTF-16.
template <class C>
bool is_blank(C c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

// Names compare with only the ASCII letters folded: 'A' matches 'a', but an accented capital
// does not match its small letter.
template <class C>
uint32_t fold(C c) {
    const auto u = static_cast<uint32_t>(static_cast<std::make_unsigned_t<C>>(c));
    return u >= 'A' && u <= 'Z' ? u + 32 : u;
}

// How many continuation bytes a UTF-8 lead byte announces (0: no lead byte Windows accepts).
int utf8_tail(unsigned char c) { return c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0; }

// Eight bytes, or four UTF-16 characters, that are all ASCII (the conversions copy them as
// they stand, a block at a time).
bool ascii8(const char* p) {
    uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return (x & 0x8080808080808080u) == 0;
}
bool ascii4(const char16_t* p) {
    uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return (x & 0xFF80FF80FF80FF80u) == 0;
}

// A byte of code page 1252 as its character.
char16_t widen(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 && u < 0xA0 ? kCp1252High[u - 0x80] : static_cast<char16_t>(u);
}

template <class C>
bool same_name(std::basic_string_view<C> a, std::basic_string_view<C> b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// A name of the text against a name asked for (8-bit, code page 1252).
bool same_name(std::string_view a, std::string_view query) { return same_name<char>(a, query); }
bool same_name(std::u16string_view a, std::string_view query) {
    if (a.size() != query.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(widen(query[i]))) return false;
    return true;
}

template <class C>
void trim(std::basic_string_view<C> s, size_t& b, size_t& e) {
    const C* t = s.data();
    while (b < e && is_blank(t[b])) ++b;
    while (e > b && is_blank(t[e - 1])) --e;
}

// The first `c` in [b, e) of `s`, or e: the C library's search for bytes.
size_t find_unit(std::string_view s, size_t b, size_t e, char c) {
    const void* p = std::memchr(s.data() + b, c, e - b);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - s.data()) : e;
}
size_t find_unit(std::u16string_view s, size_t b, size_t e, char16_t c) {
    const char16_t* t = s.data();
    while (b < e && t[b] != c) ++b;
    return b;
}

// [b, e) of `s` up to its first NUL; sets `nul` when one was cut off.
template <class C>
std::basic_string_view<C> up_to_nul(std::basic_string_view<C> s, size_t b, size_t e, bool& nul) {
    const size_t z = find_unit(s, b, e, C(0));
    nul = nul || z < e;
    return s.substr(b, z - b);
}

// Where the line starting at `b` ends: its first CR or LF, or the end of the text. The next
// CR and LF are remembered in the cursor, so that the text is searched once for each.
size_t line_end(std::string_view s, size_t b, ProfileCursor& at) {
    if (at.lf == ProfileCursor::kUnknown || at.lf < b) at.lf = find_unit(s, b, s.size(), '\n');
    if (at.cr == ProfileCursor::kUnknown || at.cr < b) at.cr = find_unit(s, b, at.lf, '\r');
    return at.cr < at.lf ? at.cr : at.lf;
}
size_t line_end(std::u16string_view s, size_t b, ProfileCursor&) {
    // Four characters at a time while none of them is a CR or LF: a lane of x ^ c is zero
    // where a character is c.
    const char16_t* t = s.data();
    const size_t n = s.size();
    constexpr uint64_t kOnes = 0x0001000100010001u, kHighs = 0x8000800080008000u;
    for (; b + 4 <= n; b += 4) {
        uint64_t x;
        std::memcpy(&x, t + b, sizeof x);
        const uint64_t lf = x ^ (kOnes * u'\n'), cr = x ^ (kOnes * u'\r');
        if ((((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHighs) break;
    }
    while (b < n && t[b] != u'\n' && t[b] != u'\r') ++b;
    return b;
}

template <class C>
bool next_entry(std::basic_string_view<C> text, ProfileCursor& at, ProfileEntryOf<C>& en) {
    const C* t = text.data();
    const size_t n = text.size();
    size_t& next = at.next;
    while (next < n) {
        size_t b = next;
        next = line_end(text, b, at);
        size_t e = next;
        const int this_line = at.line;
        // The run of line ends: CR LF counts once, a lone CR or LF once each.
        while (next < n && (t[next] == C('\n') || t[next] == C('\r'))) {
            if (t[next] == C('\n') || next + 1 >= n || t[next + 1] != C('\n')) ++at.line;
            ++next;
        }
        trim(text, b, e);
        if (b >= e) continue;
        en = ProfileEntryOf<C>();
        en.line = this_line;
        en.begin = b;
        en.end = e;
        if (t[b] == C('[')) {
            size_t close = e;
            while (close > b && t[close - 1] != C(']')) --close;
            if (close > b) {  // close - 1 is the last ']'
                size_t nb = b + 1, ne = close - 1;
                trim(text, nb, ne);
                en.header = true;
                en.name = up_to_nul(text, nb, ne, en.nul);
                en.after = text.substr(close, e - close);
                return true;
            }
        }
        const size_t eq = find_unit(text, b, e, C('='));
        size_t ne = eq;
        while (ne > b && is_blank(t[ne - 1])) --ne;
        en.name = up_to_nul(text, b, ne, en.nul);
        if (eq < e) {
            size_t vb = eq + 1;
            while (vb < e && is_blank(t[vb])) ++vb;
            en.has_value = true;
            en.value = up_to_nul(text, vb, e, en.nul);
        }
        return true;
    }
    return false;
}

template <class C>
std::basic_string_view<C> value_read(std::basic_string_view<C> v, uint32_t size) {
    if (size == 0) return {};
    // A value in matching quotes loses the opening one, and the closing one when the buffer
    // is at least as long as the rest of the value.
    bool quoted = false;
    if (v.size() >= 2 && (v[0] == C('\'') || v[0] == C('"')) && v.back() == v[0]) {
        v.remove_prefix(1);
        quoted = true;
    }
    const size_t whole = v.size();
    if (v.size() > size - 1) v = v.substr(0, size - 1);
    if (quoted && size >= whole && !v.empty()) v.remove_suffix(1);
    return v;
}

// A name asked for as the call trims it (a C string: it ends at its first NUL anyway).
std::string_view query_name(const char* s) {
    std::string_view q(s);
    size_t b = 0, e = q.size();
    trim(q, b, e);
    return q.substr(b, e - b);
}

// The default as the call gives it: without its trailing spaces (spaces only keep one).
std::string_view default_value(const char* fallback) {
    std::string_view d(fallback ? fallback : "");
    while (d.size() > 1 && d.back() == ' ') d.remove_suffix(1);
    return d;
}

char ansi_char(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// The value (8-bit: as it stands; UTF-16: in code page 1252) read into `out` of `size` bytes.
uint32_t give(std::string_view value, char* out, uint32_t size) {
    const std::string_view v = value_read(value, size);
    if (!v.empty()) std::memcpy(out, v.data(), v.size());
    out[v.size()] = '\0';
    return static_cast<uint32_t>(v.size());
}
uint32_t give(std::u16string_view value, char* out, uint32_t size) {
    const std::u16string_view v = value_read(value, size);
    for (size_t i = 0; i < v.size(); ++i) out[i] = ansi_char(v[i]);
    out[v.size()] = '\0';
    return static_cast<uint32_t>(v.size());
}

bool has_bom(const char* bytes, size_t n) { return profile_encoding(bytes, n) != ProfileEncoding::kAnsi; }

}  // namespace

size_t profile_ascii_prefix(std::string_view s) {
    size_t i = 0;
    while (i + 8 <= s.size() && ascii8(s.data() + i)) i += 8;
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

bool profile_ascii(std::string_view s) { return profile_ascii_prefix(s) == s.size(); }

namespace {

// A value of UTF-8 text given as the call gives it: decoded first (quotes and the cut count
// UTF-16 characters), then in code page 1252.
uint32_t give_utf8(std::string_view value, char* out, uint32_t size) {
    thread_local std::u16string wide;
    wide.clear();
    append_from_utf8(value, wide, false);
    return give(std::u16string_view(wide), out, size);
}

// The entry the call finds in a text, in one walk: the first section of the name, the first key
// of the name in it. False when there is none.
template <class C>
bool find_entry(std::basic_string_view<C> text, std::string_view section, std::string_view key,
                ProfileEntryOf<C>& e) {
    bool in = section.empty();  // the lines before any header form the unnamed section
    ProfileCursor at;
    while (profile_next_entry(text, at, e)) {
        if (e.header) {
            if (in) return false;  // a section of the name was read, and only the first counts
            in = !section.empty() && same_name(e.name, section);
        } else if (in && same_name(e.name, key)) {
            return true;
        }
    }
    return false;
}

// The call on a text in one walk; the default when there is no such key or it has no '='.
template <class C>
uint32_t walk_and_give(std::basic_string_view<C> text, std::string_view section, std::string_view key,
                       const char* fallback, char* out, uint32_t size, bool utf8 = false) {
    ProfileEntryOf<C> e;
    if (find_entry(text, section, key, e) && e.has_value) {
        if constexpr (sizeof(C) == 1)
            if (utf8) return give_utf8(e.value, out, size);
        return give(e.value, out, size);
    }
    return give(default_value(fallback), out, size);
}

// Hash of a name with its ASCII letters folded, over its characters (8-bit text: its bytes).
template <class C>
uint32_t name_hash(std::basic_string_view<C> s) {
    uint32_t h = 2166136261u;
    for (C c : s) h = (h ^ fold(c)) * 16777619u;
    return h;
}
uint32_t query_hash(std::string_view q, bool wide) {
    if (!wide) return name_hash(q);
    uint32_t h = 2166136261u;
    for (char c : q) h = (h ^ fold(widen(c))) * 16777619u;
    return h;
}

// The first header of `section` (-1: the lines before any header; -2: none), and the first
// line of each key name in it, in `slots` (entry index + 1; 0 is free).
template <class C>
long index_section(const std::vector<ProfileEntryOf<C>>& entries, std::string_view section,
                   std::vector<uint32_t>& slots) {
    long first = -1;
    if (!section.empty()) {
        first = -2;
        for (size_t i = 0; i < entries.size() && first == -2; ++i)
            if (entries[i].header && same_name(entries[i].name, section)) first = static_cast<long>(i);
    }
    size_t end = static_cast<size_t>(first + 1);
    while (first != -2 && end < entries.size() && !entries[end].header) ++end;
    const size_t keys = first == -2 ? 0 : end - static_cast<size_t>(first + 1);
    size_t cap = 8;
    while (cap < 2 * keys) cap *= 2;
    slots.assign(cap, 0);
    for (size_t i = static_cast<size_t>(first + 1); first != -2 && i < end; ++i) {
        for (size_t h = name_hash(entries[i].name) & (cap - 1);; h = (h + 1) & (cap - 1)) {
            if (!slots[h]) {
                slots[h] = static_cast<uint32_t>(i + 1);
                break;
            }
            if (same_name(entries[slots[h] - 1].name, entries[i].name)) break;  // the first line of the name counts
        }
    }
    return first;
}

template <class C>
uint32_t index_give(const std::vector<ProfileEntryOf<C>>& entries, const std::vector<uint32_t>& slots,
                    std::string_view key, const char* fallback, char* out, uint32_t size, bool utf8 = false) {
    const size_t cap = slots.size();
    for (size_t h = query_hash(key, sizeof(C) > 1) & (cap - 1); slots[h]; h = (h + 1) & (cap - 1)) {
        const ProfileEntryOf<C>& e = entries[slots[h] - 1];
        if (!same_name(e.name, key)) continue;
        if (!e.has_value) return give(default_value(fallback), out, size);
        if constexpr (sizeof(C) == 1)
            if (utf8) return give_utf8(e.value, out, size);
        return give(e.value, out, size);
    }
    return give(default_value(fallback), out, size);
}

template <class C>
void read_entries(std::basic_string_view<C> text, std::vector<ProfileEntryOf<C>>& out) {
    out.clear();
    ProfileCursor at;
    ProfileEntryOf<C> e;
    while (profile_next_entry(text, at, e)) out.push_back(e);
}

}  // namespace

std::u16string profile_from_ansi(std::string_view s) {
    const size_t n = s.size();
    std::u16string r(n, u'\0');
    char16_t* w = r.data();
    const char* p = s.data();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        if (!ascii8(p + i)) {
            for (size_t k = i; k < i + 8; ++k) w[k] = widen(p[k]);
            continue;
        }
        const auto* u = reinterpret_cast<const unsigned char*>(p + i);
        w[i] = u[0], w[i + 1] = u[1], w[i + 2] = u[2], w[i + 3] = u[3];
        w[i + 4] = u[4], w[i + 5] = u[5], w[i + 6] = u[6], w[i + 7] = u[7];
    }
    for (; i < n; ++i) w[i] = widen(p[i]);
    return r;
}

std::string profile_to_ansi(std::u16string_view s) {
    std::string r;
    profile_append_ansi(s, r);
    return r;
}

void profile_append_ansi(std::u16string_view s, std::string& out) {
    const size_t at = out.size(), n = s.size();
    out.resize(at + n);
    char* o = out.data() + at;
    const char16_t* p = s.data();
    size_t i = 0;
    for (; i + 4 <= n && ascii4(p + i); i += 4)
        o[i] = static_cast<char>(p[i]), o[i + 1] = static_cast<char>(p[i + 1]), o[i + 2] = static_cast<char>(p[i + 2]),
        o[i + 3] = static_cast<char>(p[i + 3]);
    for (; i < n; ++i) o[i] = ansi_char(p[i]);
}

void profile_append_ansi(std::string_view ansi, std::string& out) { out.append(ansi); }

void profile_append_utf8(std::string_view ansi, std::string& out) {
    for (char c : ansi) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out.push_back(c);
            continue;
        }
        const char16_t w = widen(c);
        if (w < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (w >> 6)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (w >> 12)));
            out.push_back(static_cast<char>(0x80 | ((w >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (w & 0x3F)));
    }
}

std::u16string profile_from_utf8(std::string_view s) {
    std::u16string r;
    append_from_utf8(s, r);
    return r;
}

void profile_append_from_utf8(std::string_view s, std::u16string& out) { append_from_utf8(s, out, false); }

std::string_view profile_utf8_text(const char* bytes, size_t n) {
    if (profile_encoding(bytes, n) != ProfileEncoding::kUtf8Bom) return {};
    return profile_utf8_walk(std::string_view(bytes + 3, n - 3));
}

std::string_view profile_utf8_walk(std::string_view s) {
    // A sequence cut short by the end of the file takes what is left with it, as one U+FFFD: the
    // text ends after its lead byte, which stands for that character. No other byte of a
    // sequence is ASCII, so every line end, blank, bracket, '=' and NUL stands where it stands.
    for (size_t i = s.size() >= 3 ? s.size() - 3 : 0; i < s.size(); ++i) {
        const size_t len = static_cast<size_t>(utf8_tail(static_cast<unsigned char>(s[i])));
        if (len && i + 1 + len > s.size()) return s.substr(0, i + 1);
    }
    return s;
}

namespace {

void append_from_utf8(std::string_view s, std::u16string& r, bool whole) {
    r.reserve(r.size() + s.size());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        // Eight ASCII bytes at a time, each its own character.
        uint64_t x;
        if (i + 8 <= n && (std::memcpy(&x, s.data() + i, 8), (x & 0x8080808080808080u) == 0)) {
            const size_t at = r.size();
            r.resize(at + 8);
            char16_t* w = r.data() + at;
            const auto* p = reinterpret_cast<const unsigned char*>(s.data() + i);
            w[0] = p[0], w[1] = p[1], w[2] = p[2], w[3] = p[3], w[4] = p[4], w[5] = p[5], w[6] = p[6], w[7] = p[7];
            i += 8;
            continue;
        }
        const auto c = static_cast<unsigned char>(s[i++]);
        if (c < 0x80) {
            r.push_back(c);
            continue;
        }
        // Windows' decoding: the continuation bytes are taken one by one, and a sequence stops
        // (one U+FFFD for all it took) at a byte that is no continuation, or as soon as it can
        // only be overlong, a surrogate or beyond U+10FFFF. A sequence cut by the end of the
        // text swallows what is left; one cut by the end of a part stops there, as it would at
        // the byte after the part (an ASCII one, which is no continuation).
        const int len = utf8_tail(c);
        uint32_t cp = c & (len == 1 ? 0x1F : len == 2 ? 0x0F : 0x07);
        bool ok = false;
        if (whole && i + static_cast<size_t>(len) > n) {
            i = n;
        } else {
            for (int stage = len; stage > 0 && i < n; --stage) {
                const unsigned b = static_cast<unsigned char>(s[i]) ^ 0x80u;
                if (b >= 0x40) break;
                cp = cp << 6 | b;
                if (stage == 2 && cp >= (0x110000 >> 6)) break;
                ++i;
                if (stage == 3 && cp < 0x10) break;
                if (stage == 2 && (cp < 0x20 || (cp >= (0xD800 >> 6) && cp <= (0xDFFF >> 6)))) break;
                if (stage == 1) ok = cp >= 0x80;
            }
        }
        if (!ok) {
            r.push_back(0xFFFD);
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            r.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            r.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            r.push_back(static_cast<char16_t>(cp));
        }
    }
}

}  // namespace

std::string profile_to_utf8(std::u16string_view s) {
    std::string r;
    profile_append_utf8(s, r);
    return r;
}

void profile_append_utf8(std::u16string_view s, std::string& r) {
    r.reserve(r.size() + s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (i + 4 <= s.size() && ascii4(s.data() + i)) {
            const char b[4] = {static_cast<char>(s[i]), static_cast<char>(s[i + 1]), static_cast<char>(s[i + 2]),
                               static_cast<char>(s[i + 3])};
            r.append(b, 4);
            i += 3;
            continue;
        }
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            r.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            r.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            r.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            r.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            r.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
}

bool profile_utf16_well_formed(const std::u16string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        // Four characters none of which is a surrogate (a lane of y is zero where one is).
        uint64_t x;
        if (i + 4 <= s.size() && (std::memcpy(&x, s.data() + i, sizeof x), true)) {
            const uint64_t y = (x & 0xF800F800F800F800u) ^ 0xD800D800D800D800u;
            if (!((y - 0x0001000100010001u) & ~y & 0x8000800080008000u)) {
                i += 3;
                continue;
            }
        }
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
        else if (s[i] >= 0xD800 && s[i] <= 0xDFFF) return false;
    }
    return true;
}

ProfileText profile_decode(const char* bytes, size_t n) {
    ProfileText t;
    profile_decode(bytes, n, t);
    return t;
}

ProfileEncoding profile_encoding(const char* bytes, size_t n) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (n >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) return ProfileEncoding::kUtf8Bom;
    if (n >= 2 && b(0) == 0xFF && b(1) == 0xFE) return ProfileEncoding::kUtf16Le;
    if (n >= 2 && b(0) == 0xFE && b(1) == 0xFF) return ProfileEncoding::kUtf16Be;
    return ProfileEncoding::kAnsi;
}

void profile_decode(const char* bytes, size_t n, ProfileText& t) {
    t.encoding = profile_encoding(bytes, n);
    t.odd_byte = false;
    t.text.clear();
    auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (t.encoding == ProfileEncoding::kUtf8Bom) {
        append_from_utf8(std::string_view(bytes + 3, n - 3), t.text);
        return;
    }
    if (t.encoding != ProfileEncoding::kAnsi) {
        const bool little = t.encoding == ProfileEncoding::kUtf16Le;
        t.odd_byte = n % 2 != 0;
        t.text.resize((n - 2) / 2);
        char16_t* w = t.text.data();
        const int lo = little ? 0 : 1, hi = little ? 1 : 0;
        for (size_t i = 2; i + 1 < n; i += 2) w[i / 2 - 1] = static_cast<char16_t>(b(i + lo) | b(i + hi) << 8);
        return;
    }
    t.text = profile_from_ansi(std::string_view(bytes, n));
}

std::string profile_encode(const std::u16string& text, ProfileEncoding encoding) {
    switch (encoding) {
    case ProfileEncoding::kAnsi:
        return profile_to_ansi(text);
    case ProfileEncoding::kUtf8Bom:
        return "\xEF\xBB\xBF" + profile_to_utf8(text);
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be: {
        const bool little = encoding == ProfileEncoding::kUtf16Le;
        std::string r(2 + 2 * text.size(), '\0');
        char* o = r.data();
        o[0] = little ? '\xFF' : '\xFE';
        o[1] = little ? '\xFE' : '\xFF';
        const int lo = little ? 2 : 3, hi = little ? 3 : 2;
        for (size_t i = 0; i < text.size(); ++i) {
            o[2 * i + lo] = static_cast<char>(text[i] & 0xFF);
            o[2 * i + hi] = static_cast<char>(text[i] >> 8);
        }
        return r;
    }
    }
    return {};
}

const char* profile_encoding_name(ProfileEncoding encoding) {
    switch (encoding) {
    case ProfileEncoding::kAnsi:
        return "8-bit text (code page 1252)";
    case ProfileEncoding::kUtf8Bom:
        return "UTF-8 with a byte-order mark";
    case ProfileEncoding::kUtf16Le:
        return "UTF-16 little-endian with a byte-order mark";
    case ProfileEncoding::kUtf16Be:
        return "UTF-16 big-endian with a byte-order mark";
    }
    return "";
}

bool profile_next_entry(std::string_view text, ProfileCursor& at, ProfileEntry8& out) {
    return next_entry(text, at, out);
}

bool profile_next_entry(std::u16string_view text, ProfileCursor& at, ProfileEntry& out) {
    return next_entry(text, at, out);
}

std::vector<ProfileEntry> profile_entries(const std::u16string& text) {
    std::vector<ProfileEntry> out;
    read_entries(std::u16string_view(text), out);
    return out;
}

long profile_section_index(const std::vector<ProfileEntry>& entries, std::u16string_view section) {
    if (section.empty()) return -1;  // the lines before any header come first
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].header && same_name(entries[i].name, section)) return static_cast<long>(i);
    return -2;
}

const ProfileEntry* profile_find(const std::vector<ProfileEntry>& entries, std::u16string_view section,
                                 std::u16string_view key) {
    size_t sb = 0, se = section.size(), kb = 0, ke = key.size();
    trim(section, sb, se);
    trim(key, kb, ke);
    const long s = profile_section_index(entries, section.substr(sb, se - sb));
    if (s == -2) return nullptr;
    const std::u16string_view k = key.substr(kb, ke - kb);
    for (size_t i = static_cast<size_t>(s + 1); i < entries.size() && !entries[i].header; ++i)
        if (same_name(entries[i].name, k)) return &entries[i];
    return nullptr;
}

bool profile_find_entry(std::string_view text, const char* section, const char* key, ProfileEntry8& out) {
    return section && key && find_entry(text, query_name(section), query_name(key), out);
}

std::u16string_view profile_value_read(std::u16string_view value, uint32_t size) { return value_read(value, size); }
std::string_view profile_value_read(std::string_view value, uint32_t size) { return value_read(value, size); }

uint32_t profile_get_string(const char* bytes, size_t n, bool exists, const char* section, const char* key,
                            const char* fallback, char* out, uint32_t size) {
    if (size == 0) return 0;
    if (!exists || !section || !key) return give(default_value(fallback), out, size);
    const std::string_view s = query_name(section), k = query_name(key);
    if (!has_bom(bytes, n)) return walk_and_give(std::string_view(bytes, n), s, k, fallback, out, size);
    // UTF-8 asked for ASCII names is walked as bytes: only ASCII bytes make lines, sections and keys.
    if (profile_encoding(bytes, n) == ProfileEncoding::kUtf8Bom && profile_ascii(s) && profile_ascii(k))
        return walk_and_give(profile_utf8_text(bytes, n), s, k, fallback, out, size, true);
    const ProfileText t = profile_decode(bytes, n);
    return walk_and_give(std::u16string_view(t.text), s, k, fallback, out, size);
}

void ProfileFile::read(const char* bytes, size_t n, bool exists) {
    exists_ = exists;
    indexed_ = false;
    bytes_ = bytes;
    size_ = n;
    const ProfileEncoding encoding = exists ? profile_encoding(bytes, n) : ProfileEncoding::kAnsi;
    utf8_ = encoding == ProfileEncoding::kUtf8Bom;
    wide_ = encoding == ProfileEncoding::kUtf16Le || encoding == ProfileEncoding::kUtf16Be;
    entries8_.clear();
    entries16_.clear();
    if (!exists) return;
    if (utf8_) return read_entries(profile_utf8_text(bytes, n), entries8_);
    if (!wide_) return read_entries(std::string_view(bytes, n), entries8_);
    profile_decode(bytes, n, decoded_);
    read_entries(std::u16string_view(decoded_.text), entries16_);
}

uint32_t ProfileFile::get_string(const char* section, const char* key, const char* fallback, char* out,
                                 uint32_t size) {
    if (size == 0) return 0;
    if (!exists_ || !section || !key) return give(default_value(fallback), out, size);
    const std::string_view s = query_name(section), k = query_name(key);
    // UTF-8 read as bytes answers names in ASCII; any other name is looked up in its decoded text.
    if (utf8_ && !(profile_ascii(s) && profile_ascii(k))) return profile_get_string(bytes_, size_, true, section, key, fallback, out, size);
    if (!indexed_ || section_ != s) {
        section_.assign(s);
        first_ = wide_ ? index_section(entries16_, s, slots_) : index_section(entries8_, s, slots_);
        indexed_ = true;
    }
    if (first_ == -2) return give(default_value(fallback), out, size);
    return wide_ ? index_give(entries16_, slots_, k, fallback, out, size)
                 : index_give(entries8_, slots_, k, fallback, out, size, utf8_);
}
