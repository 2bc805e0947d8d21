// One line of an INI-style file as the profile-string reader sees it: blank or comment, a
// section header, or a key and its value. Shared by the Linux reader and the tools' check.
#pragma once

#include <strings.h>

#include <cctype>
#include <cstring>

enum class ProfileLine { kSkipped, kSection, kKeyValue, kOther };

// Classifies [b, e) (no line end). A section header gives its name (trimmed, from after '['
// to the first ']'); a key line gives the key (trimmed, before the first '=') and the value
// (trimmed, a value wrapped in matching quotes without them). Blank lines and lines starting
// with ';' after blanks are skipped; a '[' line without ']' and a line without '=' are other.
inline ProfileLine profile_line(const char* b, const char* e, const char** nb, const char** ne, const char** vb,
                                const char** ve) {
    auto trim = [](const char*& x, const char*& y) {
        while (x < y && std::isspace(static_cast<unsigned char>(*x))) ++x;
        while (y > x && std::isspace(static_cast<unsigned char>(y[-1]))) --y;
    };
    trim(b, e);
    if (b == e || *b == ';') return ProfileLine::kSkipped;
    if (*b == '[') {
        const char* close = static_cast<const char*>(std::memchr(b, ']', static_cast<size_t>(e - b)));
        if (!close) return ProfileLine::kOther;
        *nb = b + 1;
        *ne = close;
        trim(*nb, *ne);
        return ProfileLine::kSection;
    }
    const char* eq = static_cast<const char*>(std::memchr(b, '=', static_cast<size_t>(e - b)));
    if (!eq) return ProfileLine::kOther;
    *nb = b;
    *ne = eq;
    trim(*nb, *ne);
    *vb = eq + 1;
    *ve = e;
    trim(*vb, *ve);
    // A value wrapped in matching quotes loses them, as on Windows.
    if (*ve - *vb >= 2 && (**vb == '"' || **vb == '\'') && (*ve)[-1] == **vb) {
        ++*vb;
        --*ve;
    }
    return ProfileLine::kKeyValue;
}

// True when [b, e) is `name`, compared without regard to case.
inline bool profile_name_is(const char* b, const char* e, const char* name) {
    size_t n = static_cast<size_t>(e - b);
    return std::strlen(name) == n && strncasecmp(b, name, n) == 0;
}
