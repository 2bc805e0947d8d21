// The route file read as GetPrivateProfileStringA reads it: decoding, lines, sections, keys and
// the look-up, pure functions over the file's bytes (no file access here).
#include "platform/profile_reader.h"

namespace {

// Code page 1252's bytes 0x80..0x9F; the others are their own code points.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool is_blank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

// Names compare with only the ASCII letters folded: 'A' matches 'a', but an accented capital
// does not match its small letter.
char16_t fold(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c; }

bool same_name(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

void trim(const std::u16string& s, size_t& b, size_t& e) {
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
}

// [b, e) of `s` up to its first NUL; sets `nul` when one was cut off.
std::u16string up_to_nul(const std::u16string& s, size_t b, size_t e, bool& nul) {
    std::u16string r = s.substr(b, e - b);
    const size_t z = r.find(u'\0');
    if (z != std::u16string::npos) {
        r.resize(z);
        nul = true;
    }
    return r;
}

// A query name as the call trims it (a C string: it ends at its first NUL anyway).
std::u16string query_name(const char* s) {
    std::u16string q = profile_from_ansi(s);
    size_t b = 0, e = q.size();
    trim(q, b, e);
    return q.substr(b, e - b);
}

}  // namespace

std::u16string profile_from_ansi(const std::string& s) {
    std::u16string r;
    r.reserve(s.size());
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        r.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : static_cast<char16_t>(c));
    }
    return r;
}

std::string profile_to_ansi(const std::u16string& s) {
    std::string r;
    r.reserve(s.size());
    for (char16_t c : s) {
        char out = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out = static_cast<char>(c);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kCp1252High[i] == c) out = static_cast<char>(0x80 + i);
        }
        r.push_back(out);
    }
    return r;
}

std::u16string profile_from_utf8(const std::string& s) {
    std::u16string r;
    r.reserve(s.size());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(s[i++]);
        if (c < 0x80) {
            r.push_back(c);
            continue;
        }
        // Windows' decoding: the continuation bytes are taken one by one, and a sequence stops
        // (one U+FFFD for all it took) at a byte that is no continuation, or as soon as it can
        // only be overlong, a surrogate or beyond U+10FFFF. A sequence cut by the end of the
        // text swallows what is left.
        const int len = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        uint32_t cp = c & (len == 1 ? 0x1F : len == 2 ? 0x0F : 0x07);
        bool ok = false;
        if (i + static_cast<size_t>(len) > n) {
            i = n;
        } else {
            for (int stage = len; stage > 0; --stage) {
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
    return r;
}

std::string profile_to_utf8(const std::u16string& s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
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
    return r;
}

bool profile_utf16_well_formed(const std::u16string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
        else if (s[i] >= 0xD800 && s[i] <= 0xDFFF) return false;
    }
    return true;
}

ProfileText profile_decode(const char* bytes, size_t n) {
    ProfileText t;
    auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (n >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
        t.encoding = ProfileEncoding::kUtf8Bom;
        t.text = profile_from_utf8(std::string(bytes + 3, n - 3));
        return t;
    }
    if (n >= 2 && ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == 0xFE && b(1) == 0xFF))) {
        const bool little = b(0) == 0xFF;
        t.encoding = little ? ProfileEncoding::kUtf16Le : ProfileEncoding::kUtf16Be;
        t.odd_byte = n % 2 != 0;
        t.text.reserve(n / 2);
        for (size_t i = 2; i + 1 < n; i += 2)
            t.text.push_back(static_cast<char16_t>(little ? b(i) | b(i + 1) << 8 : b(i) << 8 | b(i + 1)));
        return t;
    }
    t.text = profile_from_ansi(std::string(bytes, n));
    return t;
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
        std::string r = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t c : text) {
            const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            r.push_back(little ? lo : hi);
            r.push_back(little ? hi : lo);
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

std::vector<ProfileEntry> profile_entries(const std::u16string& text) {
    std::vector<ProfileEntry> out;
    const size_t n = text.size();
    int line = 1;
    for (size_t next = 0; next < n;) {
        size_t b = next;
        while (next < n && text[next] != u'\n' && text[next] != u'\r') ++next;
        size_t e = next;
        const int this_line = line;
        // The run of line ends: CR LF counts once, a lone CR or LF once each.
        while (next < n && (text[next] == u'\n' || text[next] == u'\r')) {
            if (text[next] == u'\n' || next + 1 >= n || text[next + 1] != u'\n') ++line;
            ++next;
        }
        trim(text, b, e);
        if (b >= e) continue;
        ProfileEntry en;
        en.line = this_line;
        en.begin = b;
        en.end = e;
        if (text[b] == u'[') {
            size_t close = e;
            while (close > b && text[close - 1] != u']') --close;
            if (close > b) {  // close - 1 is the last ']'
                size_t nb = b + 1, ne = close - 1;
                trim(text, nb, ne);
                en.header = true;
                en.name = up_to_nul(text, nb, ne, en.nul);
                en.after = text.substr(close, e - close);
                out.push_back(en);
                continue;
            }
        }
        size_t eq = b;
        while (eq < e && text[eq] != u'=') ++eq;
        size_t ne = eq;
        while (ne > b && is_blank(text[ne - 1])) --ne;
        en.name = up_to_nul(text, b, ne, en.nul);
        if (eq < e) {
            size_t vb = eq + 1;
            while (vb < e && is_blank(text[vb])) ++vb;
            en.has_value = true;
            en.value = up_to_nul(text, vb, e, en.nul);
        }
        out.push_back(en);
    }
    return out;
}

long profile_section_index(const std::vector<ProfileEntry>& entries, const std::u16string& section) {
    if (section.empty()) return -1;  // the lines before any header come first
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].header && same_name(entries[i].name, section)) return static_cast<long>(i);
    return -2;
}

const ProfileEntry* profile_find(const std::vector<ProfileEntry>& entries, const std::u16string& section,
                                 const std::u16string& key) {
    size_t sb = 0, se = section.size(), kb = 0, ke = key.size();
    trim(section, sb, se);
    trim(key, kb, ke);
    const long s = profile_section_index(entries, section.substr(sb, se - sb));
    if (s == -2) return nullptr;
    const std::u16string k = key.substr(kb, ke - kb);
    for (size_t i = static_cast<size_t>(s + 1); i < entries.size() && !entries[i].header; ++i)
        if (same_name(entries[i].name, k)) return &entries[i];
    return nullptr;
}

std::u16string profile_value_read(const std::u16string& value, uint32_t size) {
    if (size == 0) return {};
    // A value in matching quotes loses the opening one, and the closing one when the buffer
    // is at least as long as the rest of the value.
    std::u16string v = value;
    bool quoted = false;
    if (v.size() >= 2 && (v[0] == u'\'' || v[0] == u'"') && v.back() == v[0]) {
        v.erase(0, 1);
        quoted = true;
    }
    const size_t whole = v.size();
    if (v.size() > size - 1) v.resize(size - 1);
    if (quoted && size >= whole && !v.empty()) v.pop_back();
    return v;
}

uint32_t profile_get_string(const char* bytes, size_t n, bool exists, const char* section, const char* key,
                            const char* fallback, char* out, uint32_t size) {
    if (size == 0) return 0;
    std::vector<ProfileEntry> entries;
    if (exists && section && key) entries = profile_entries(profile_decode(bytes, n).text);
    return profile_get_string_in(exists ? &entries : nullptr, section, key, fallback, out, size);
}

uint32_t profile_get_string_in(const std::vector<ProfileEntry>* entries, const char* section, const char* key,
                               const char* fallback, char* out, uint32_t size) {
    if (size == 0) return 0;
    // The default loses its trailing spaces (a default of spaces only keeps one).
    std::u16string def = profile_from_ansi(fallback ? fallback : "");
    size_t keep = def.size();
    while (keep > 1 && def[keep - 1] == u' ') --keep;
    def.resize(keep);

    const std::u16string* value = &def;
    if (entries && section && key) {
        const ProfileEntry* e = profile_find(*entries, query_name(section), query_name(key));
        if (e && e->has_value) value = &e->value;
    }
    const std::string a = profile_to_ansi(profile_value_read(*value, size));
    for (size_t i = 0; i < a.size(); ++i) out[i] = a[i];
    out[a.size()] = '\0';
    return static_cast<uint32_t>(a.size());
}
