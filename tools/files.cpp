// File handling of the bench tool on POSIX: mkstemp beside the target, write, fsync, rename.
#include "tools/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <algorithm>

namespace {

std::string dir_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool write_all(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// A temporary file in `dir` holding `data`; its name in `tmp`. Nothing is left on failure.
bool write_temp(const std::string& dir, const std::string& stem, const std::string& data, mode_t mode,
                std::string& tmp, std::string& error) {
    std::string pattern = dir + "/." + stem + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot create a file in " + dir + ": " + std::strerror(errno);
        return false;
    }
    tmp = name.data();
    bool ok = write_all(fd, data) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        error = "cannot write " + tmp + ": " + std::strerror(saved);
        return false;
    }
    return true;
}

mode_t mode_for(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string base_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string not_regular_text(unsigned mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a FIFO (named pipe), not an ordinary file; refused";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not an ordinary file; refused";
    if (S_ISSOCK(mode)) return "is a socket, not an ordinary file; refused";
    return "is not an ordinary file; refused";
}

bool read_whole_file(const std::string& path, std::string& out, std::string& error, size_t max_bytes) {
    out.clear();
    // Opened without waiting (a FIFO would otherwise block until a writer comes) and refused
    // unless it is an ordinary file: a FIFO, a device or a socket has no end to read to.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = path + ": " + not_regular_text(st.st_mode);
        ::close(fd);
        return false;
    }
    FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    char buf[65536];
    size_t n;
    bool too_big = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (out.size() + n > max_bytes) {
            too_big = true;
            break;
        }
        out.append(buf, n);
    }
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (too_big) error = path + ": larger than " + std::to_string(max_bytes >> 20) + " MB";
    else if (bad) error = path + ": read error";
    if (too_big || bad) {
        out.clear();
        return false;
    }
    return true;
}

bool write_file_atomic(const std::string& path, const std::string& data, std::string& error) {
    std::string tmp;
    if (!write_temp(dir_of(path), base_of(path), data, mode_for(path), tmp, error)) return false;
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool make_dirs(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = "cannot create folder " + dir + ": " + ec.message();
        return false;
    }
    if (!std::filesystem::is_directory(dir, ec)) {
        error = dir + " exists and is not a folder";
        return false;
    }
    return true;
}

bool prepare_output_dir(const std::string& dir, std::string& error) {
    if (!make_dirs(dir, error)) return false;
    std::string tmp;
    if (!write_temp(dir, "probe", "", 0600, tmp, error)) {
        error = "output folder " + dir + " cannot be written: " + error;
        return false;
    }
    ::unlink(tmp.c_str());
    return true;
}

bool write_outputs(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& files,
                   std::string& error) {
    std::vector<std::string> temps;
    for (const auto& [name, data] : files) {
        std::string tmp;
        if (!write_temp(dir, name, data, mode_for(dir + "/" + name), tmp, error)) {
            for (const std::string& t : temps) ::unlink(t.c_str());
            return false;
        }
        temps.push_back(tmp);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        std::string target = dir + "/" + files[i].first;
        if (std::rename(temps[i].c_str(), target.c_str()) != 0) {
            error = "cannot write " + target + ": " + std::strerror(errno);
            for (size_t j = i; j < temps.size(); ++j) ::unlink(temps[j].c_str());
            return false;
        }
    }
    return true;
}

bool make_scratch_dir(std::string& dir, std::string& error) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/q14bench.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        error = "cannot create a temporary folder " + pattern + ": " + std::strerror(errno);
        return false;
    }
    dir = name.data();
    return true;
}

void remove_tree(const std::string& dir) {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
}

bool output_dir_replaceable(const std::string& dir, const std::vector<std::string>& names, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(dir, ec)) return true;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = e.path().filename().string();
        if (std::find(names.begin(), names.end(), name) == names.end() || !e.is_regular_file()) {
            error = "output folder " + dir + " holds " + name + ", which is not one of this command's outputs; the "
                    "results replace the folder whole, so give an empty or new folder";
            return false;
        }
    }
    if (ec) error = "cannot list " + dir + ": " + ec.message();
    return !ec;
}

bool replace_output_dir(const std::string& dir_in, const std::vector<std::pair<std::string, std::string>>& files,
                        std::string& error, bool (*cancelled)()) {
    std::string dir = dir_in;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::string pattern = dir_of(dir) + "/." + base_of(dir) + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        error = "cannot create a folder beside " + dir + ": " + std::strerror(errno);
        return false;
    }
    const std::string tmp = name.data();
    struct stat st;
    const bool exists = ::stat(dir.c_str(), &st) == 0;
    ::chmod(tmp.c_str(), exists ? st.st_mode & 07777 : mode_for(tmp + "/none") | 0111);
    for (const auto& [file, data] : files) {
        std::string t;
        if (!write_temp(tmp, file, data, mode_for(tmp + "/" + file), t, error) ||
            std::rename(t.c_str(), (tmp + "/" + file).c_str()) != 0) {
            if (error.empty()) error = "cannot write " + tmp + "/" + file + ": " + std::strerror(errno);
            remove_tree(tmp);
            return false;
        }
    }
    if (cancelled && cancelled()) {
        remove_tree(tmp);
        error = "cancelled";
        return false;
    }
    // An existing folder is exchanged with the new one in one step, then the old one goes.
    int done = exists ? ::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, dir.c_str(), RENAME_EXCHANGE)
                      : ::rename(tmp.c_str(), dir.c_str());
    if (done != 0) {
        error = "cannot put the new results in place of " + dir + ": " + std::strerror(errno);
        remove_tree(tmp);
        return false;
    }
    if (exists) remove_tree(tmp);
    return true;
}
