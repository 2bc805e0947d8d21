// import-pln's guard over the file it changes: a route file is recognised by its sections, and
// every earlier version is kept beside it before it is replaced.
#include "tools/route_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/profile_line.h"
#include "tools/files.h"

namespace {

bool exists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

std::string numbered(const std::string& path, int n) { return path + ".bak." + std::to_string(n); }

}  // namespace

bool route_target_ok(const std::string& text, bool force, std::string& why) {
    size_t controls = 0;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0) return why = "it holds NUL bytes: binary content, not a route file", false;
        controls += c < 0x20 && c != '\n' && c != '\r' && c != '\t';
    }
    if (controls > 0) return why = "it holds control characters: binary content, not a route file", false;
    if (force) return true;
    bool other_section = false, other_line = false;
    for (size_t pos = 0; pos < text.size();) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        const char *nb, *ne, *vb, *ve;
        ProfileLine kind = profile_line(text.data() + pos, text.data() + nl, &nb, &ne, &vb, &ve);
        if (kind == ProfileLine::kSection && (profile_name_is(nb, ne, "PPM") || profile_name_is(nb, ne, "SYS")))
            return true;
        other_section = other_section || kind == ProfileLine::kSection;
        other_line = other_line || kind != ProfileLine::kSkipped;
        pos = nl + 1;
    }
    if (!other_line) return true;  // blanks and comments only: a route file with nothing in it yet
    why = other_section ? "it has sections but neither [PPM] nor [SYS]: another program's settings, not a route file"
                        : "it has no [PPM] or [SYS] section: not a route file";
    return false;
}

bool keep_route_backups(const std::string& path, const std::string& original, std::string& kept, std::string& error) {
    kept.clear();
    const std::string first = path + ".bak";
    if (!exists(first)) {
        if (!write_file_atomic(first, original, error)) return false;
        kept = first;
    }
    int highest = 0;
    for (int n = 1; n <= kMaxNumberedBackups; ++n)
        if (exists(numbered(path, n))) highest = n;
    if (highest == kMaxNumberedBackups) {
        // Room for the newest: the oldest goes, the others move down one number.
        if (::unlink(numbered(path, 1).c_str()) != 0 && errno != ENOENT) {
            error = "cannot remove " + numbered(path, 1) + ": " + std::strerror(errno);
            return false;
        }
        for (int n = 2; n <= kMaxNumberedBackups; ++n)
            if (exists(numbered(path, n)) && std::rename(numbered(path, n).c_str(), numbered(path, n - 1).c_str()) != 0) {
                error = "cannot rename " + numbered(path, n) + ": " + std::strerror(errno);
                return false;
            }
        highest = kMaxNumberedBackups - 1;
    }
    if (!write_file_atomic(numbered(path, highest + 1), original, error)) return false;
    kept += (kept.empty() ? "" : " and ") + numbered(path, highest + 1);
    return true;
}
