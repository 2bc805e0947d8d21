// The route file as the importer edits it: its text in UTF-8 with LF or CR LF line ends, and
// the form it was written in (encoding, byte-order mark, CR-only line ends), to save it back so.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile_reader.h"

struct RouteFileForm {
    ProfileEncoding encoding = ProfileEncoding::kAnsi;
    bool cr_only = false;  // its lines end in CR alone
};

// The text of a route file to edit: 8-bit and UTF-8 text as it stands (the UTF-8 byte-order
// mark taken off), UTF-16 decoded to UTF-8, CR-only line ends turned into LF. False with `why`
// for a file that could not be saved back as it was, or is no route file: NUL or other control
// characters (binary content), UTF-16 with an odd byte or a broken surrogate pair, lines ended
// by CR alone mixed with others. Whether it is a route file at all is route_target_ok's to say.
bool route_file_open(const std::string& bytes, RouteFileForm& form, std::string& text, std::string& why);
// `text` in the form the file was read in: its encoding, byte-order mark and line ends.
std::string route_file_save(const std::string& text, const RouteFileForm& form);
// "UTF-16 little-endian with a byte-order mark, lines ended by CR"; "" for 8-bit text with LF
// or CR LF line ends.
std::string route_file_form_name(const RouteFileForm& form);
// The section a line heads as the units read it (up to its last ']', trimmed); false when
// the line is no [section] line.
bool route_file_header(std::string_view line, std::string& name);
