// The route file's own form kept through an edit: decoded for editing, encoded back, and
// refused when that could not give back what was there.
#include "tools/route_file_form.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

bool route_file_open(const std::string& bytes, RouteFileForm& form, std::string& text, std::string& why) {
    form = RouteFileForm{};
    form.encoding = profile_encoding(bytes.data(), bytes.size());
    switch (form.encoding) {
    case ProfileEncoding::kAnsi:
        text = bytes;
        break;
    case ProfileEncoding::kUtf8Bom:
        text = bytes.substr(3);
        break;
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be:
        const ProfileText t = profile_decode(bytes.data(), bytes.size());
        if (t.odd_byte) return why = "it is UTF-16 with an odd number of bytes (a damaged file)", false;
        if (!profile_utf16_well_formed(t.text))
            return why = "it is UTF-16 with a broken surrogate pair (a damaged file)", false;
        text = profile_to_utf8(t.text);
        break;
    }
    bool lone_cr = false, lf = false;
    for (size_t i = 0; i < text.size(); ++i) {
        // Eight bytes at a time while none is below 0x20 (no line end, NUL or control there):
        // a lane of x - 0x20 borrows into its top bit only where the byte was below 0x20.
        uint64_t x;
        if (i + 8 <= text.size() && (std::memcpy(&x, text.data() + i, 8),
                                     ((x - 0x2020202020202020u) & ~x & 0x8080808080808080u) == 0)) {
            i += 7;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) return why = "it holds NUL bytes: binary content, not a text INI file", false;
        if (c < 0x20 && c != '\n' && c != '\r' && c != '\t')
            return why = "it holds control characters: binary content, not a text INI file", false;
        lf = lf || c == '\n';
        lone_cr = lone_cr || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
    }
    if (lone_cr && lf)
        return why = "some of its lines end in CR alone and others in LF: save it with one kind of line end first",
               false;
    if (lone_cr) {
        form.cr_only = true;
        for (char& c : text)
            if (c == '\r') c = '\n';
    }
    return true;
}

std::string route_file_save(const std::string& text, const RouteFileForm& form) {
    std::string t = text;
    if (form.cr_only)
        for (char& c : t)
            if (c == '\n') c = '\r';
    switch (form.encoding) {
    case ProfileEncoding::kAnsi:
        return t;
    case ProfileEncoding::kUtf8Bom:
        return "\xEF\xBB\xBF" + t;
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be:
        return profile_encode(profile_from_utf8(t), form.encoding);
    }
    return t;
}

std::string route_file_form_name(const RouteFileForm& form) {
    std::string s = form.encoding == ProfileEncoding::kAnsi ? "" : profile_encoding_name(form.encoding);
    if (form.cr_only) s += std::string(s.empty() ? "" : ", ") + "lines ended by CR";
    return s;
}

bool route_file_header(std::string_view line, std::string& name) {
    // Only a line whose first character after the blanks is '[' can be a header: the reader
    // is asked about those alone (blanks and '[' are the same bytes in UTF-8 as in the text).
    const size_t first = line.find_first_not_of(" \t\n\v\f\r\x1A");
    if (first == std::string::npos || line[first] != '[') return false;
    // The line walked as the reader walks UTF-8, as bytes; the name decoded.
    const std::string_view walk = profile_utf8_walk(line);
    ProfileCursor at;
    ProfileEntry8 e, more;
    if (!profile_next_entry(walk, at, e) || !e.header || profile_next_entry(walk, at, more)) return false;
    if (profile_ascii(e.name)) {
        name.assign(e.name);
    } else {
        std::u16string wide;
        profile_append_from_utf8(e.name, wide);
        name = profile_to_utf8(wide);
    }
    return true;
}
