// What import-pln may write over: a route file and nothing else, and the backups it keeps of
// it (the file before the first import, and numbered ones of each previous version).
#pragma once

#include <string>

// The most numbered backups kept: FILE.bak.1 .. FILE.bak.10, the highest the latest.
constexpr int kMaxNumberedBackups = 10;

// True when `text` (a route file's text as route_file_open gives it, binary content refused
// there) may be taken as a route file: one with a [PPM] or [SYS] section, or one with nothing in
// it but blanks and ';' comments. `force` lets any text through. `why` says what it looks like
// otherwise.
bool route_target_ok(const std::string& text, bool force, std::string& why);

// Keeps `original`, the contents of `path` before this import: as `path`.bak when there is none
// yet (the file as it was before the first import, never replaced), and as the next numbered
// backup `path`.bak.N; past the tenth the oldest numbered one goes. `kept` names what was
// written ("q14_ppm.cfg.bak.3"); false with `error` when a backup could not be written.
bool keep_route_backups(const std::string& path, const std::string& original, std::string& kept, std::string& error);
