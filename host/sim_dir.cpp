// Temporary simulator folders for the native stand-in (Linux only: the Windows host takes
// its folder from the real executable path).
#include "host/sim_dir.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "host/standin.h"

std::string host_sim_cfg_path(const std::string& dir) { return dir + "/gauges/q14_cfg/q14_ppm.cfg"; }

std::string host_make_sim_dir(const char* prefix, const std::string& cfg_text) {
    std::string tmpl = std::string("/tmp/") + prefix + "_XXXXXX";
    if (!mkdtemp(tmpl.data())) return "";
    const std::string dir = tmpl;
    if (mkdir((dir + "/gauges").c_str(), 0700) != 0 || mkdir((dir + "/gauges/q14_cfg").c_str(), 0700) != 0)
        return "";
    if (!cfg_text.empty()) {
        FILE* f = std::fopen(host_sim_cfg_path(dir).c_str(), "w");
        if (!f) return "";
        std::fputs(cfg_text.c_str(), f);
        std::fclose(f);
    }
    host_set_sim_dir(dir);
    return dir;
}

// Removes a folder tree of plain files and folders.
static void remove_tree(const std::string& path) {
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = path + "/" + name;
            struct stat st;
            if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) remove_tree(child);
            else std::remove(child.c_str());
        }
        closedir(d);
    }
    rmdir(path.c_str());
}

void host_remove_sim_dir(const std::string& dir) {
    if (!dir.empty()) remove_tree(dir);
}
