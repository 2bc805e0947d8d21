// import-pln's guard over the file it changes: a route file is recognised by its sections, and
// every earlier version is kept beside it before it is replaced.
#include "tools/route_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/profile_reader.h"
#include "tools/files.h"

namespace {

bool exists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

std::string numbered(const std::string& path, int n) { return path + ".bak." + std::to_string(n); }

}  // namespace

bool route_target_ok(const std::string& text, bool force, std::string& why) {
    if (force) return true;
    auto is_section = [](std::u16string_view name, const char* want) {
        if (name.size() != std::strlen(want)) return false;
        for (size_t i = 0; i < name.size(); ++i) {
            char16_t c = name[i];
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
            if (c != static_cast<char16_t>(want[i])) return false;
        }
        return true;
    };
    bool other_section = false, other_line = false;
    const std::u16string decoded = profile_from_utf8(text);
    for (const ProfileEntry& e : profile_entries(decoded)) {
        if (e.header && (is_section(e.name, "PPM") || is_section(e.name, "SYS"))) return true;
        other_section = other_section || e.header;
        other_line = other_line || e.header || e.name.empty() || e.name[0] != u';';
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
