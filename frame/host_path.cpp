// Joins the simulator's installation directory with a relative path, into a caller's buffer.
#include "frame/host_path.h"

#include <cstring>

#include "platform/platform.h"

// The directory part ends after the last path separator (drive letter included); like the C
// runtime's path splitter, both separators count.
static size_t directory_length(const char* path) {
    size_t end = 0;
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == '\\' || path[i] == '/' || (i == 1 && path[i] == ':')) end = i + 1;
    return end;
}

bool build_host_path(const char* rel, char* out) {
    char exe[kHostPathSize];
    uint32_t n = plat_host_exe_path(exe, kHostPathSize);
    // No path, or one that filled the buffer and was cut short, names no directory of ours.
    if (n == 0 || n >= kHostPathSize - 1) {
        out[0] = '\0';
        return false;
    }
    exe[n] = '\0';
    size_t dir = directory_length(exe);
    size_t rel_len = std::strlen(rel);
    if (dir + rel_len > kHostPathSize - 1) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, exe, dir);
    std::memcpy(out + dir, rel, rel_len + 1);
    return true;
}
