// File forms the route file is met in (encodings, line ends, odd headers, NUL bytes, long
// lines, quotes), shared by the reader's tests and the comparison with the real call under Wine.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/profile_reader.h"

struct ProfileCorpusFile {
    const char* name;
    ProfileEncoding encoding;  // how the text is written (kAnsi: its bytes as they stand)
    std::string_view text;     // UTF-8; each \x02 stands for `pad` letters 'x'
    size_t pad;
};

extern const ProfileCorpusFile kProfileCorpus[];
extern const size_t kProfileCorpusCount;

// The bytes of corpus file i as they are written to disk.
std::string profile_corpus_bytes(size_t i);

// Names the comparison asks every corpus file for (8-bit text, code page 1252).
extern const char* const kProfileCorpusSections[];
extern const size_t kProfileCorpusSectionCount;
extern const char* const kProfileCorpusKeys[];
extern const size_t kProfileCorpusKeyCount;
