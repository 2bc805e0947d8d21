// File handling of the bench tool: whole-file reads with a size limit, writes that never
// leave a half-written file (temporary file, then rename), output folders and scratch folders.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Reads a whole ordinary file; the error names the file and the reason. A FIFO, a device or
// any other file that is not an ordinary one is refused at once, without waiting on it.
bool read_whole_file(const std::string& path, std::string& out, std::string& error, size_t max_bytes = 16u << 20);
// Why a file of mode `mode` (st_mode) is not an ordinary file: "is a FIFO (named pipe), ...".
std::string not_regular_text(unsigned mode);
// Writes `data` to a temporary file beside `path` and renames it over `path` (keeping an
// existing file's permissions). On failure nothing at `path` changes.
bool write_file_atomic(const std::string& path, const std::string& data, std::string& error);
// Creates the folder (and its parents) and checks that a file can be created in it.
bool prepare_output_dir(const std::string& dir, std::string& error);
// Writes every (file name, contents) pair into `dir`: first all of them as temporary files,
// then each renamed into place, so that a failure leaves none of them half-written.
bool write_outputs(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& files,
                   std::string& error);
// The files, written into a fresh folder beside `dir` and swapped in for it whole: afterwards
// `dir` holds exactly these files, or, on failure or when `cancelled()` is true just before the
// swap, stays as it was. No temporary folder is left either way.
bool replace_output_dir(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& files,
                        std::string& error, bool (*cancelled)() = nullptr);
// True when `dir` is missing or holds nothing but files named in `names` (what replace_output_dir
// may replace); otherwise `error` names a file it would lose.
bool output_dir_replaceable(const std::string& dir, const std::vector<std::string>& names, std::string& error);
// A fresh folder below the system's temporary folder, and its removal with everything in it.
bool make_scratch_dir(std::string& dir, std::string& error);
void remove_tree(const std::string& dir);
// Creates `dir` and its parents.
bool make_dirs(const std::string& dir, std::string& error);
