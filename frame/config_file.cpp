// One key of the configuration file, read through the platform's profile-string reader.
#include "frame/config_file.h"

#include <cstring>

#include "frame/host_path.h"
#include "platform/platform.h"

void config_read(const char* section, const char* key, const char* fallback, char* out, uint32_t size) {
    if (size == 0) return;
    char path[kHostPathSize];
    if (!build_host_path(kConfigRelPath, path)) {
        // A path too long to build is a file that does not exist.
        std::strncpy(out, fallback, size - 1);
        out[size - 1] = '\0';
        return;
    }
    plat_profile_string(section, key, fallback, out, size, path);
}
