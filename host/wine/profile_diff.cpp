// Differential test of our route file reader against the real GetPrivateProfileStringA: every
// corpus form and a run of generated files (from a seed) is written to disk, and each query
// (section, key, default, buffer size) is answered by both; every byte must agree.
//   usage: q14_profile_diff [SEED [FILES [DIR]]]   (default seed 1, 10000 files, %TEMP%)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/profile_corpus.h"
#include "platform/profile_reader.h"

namespace {

constexpr uint32_t kBufferBytes = 4200;
constexpr int kShownDisagreements = 20;
const uint32_t kSizes[] = {0, 1, 2, 3, 4, 5, 8, 16, 64, 300, 1030, 2100, 4096};
const uint32_t kCorpusSizes[] = {0, 1, 2, 3, 5, 64, 2100};
const char* const kDefaults[] = {"dflt", "", "'q'", "\"dq\"", "d  ", "   ", "x y ", "'", "''"};

struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t below(size_t n) { return static_cast<size_t>(next() % n); }
    bool chance(int percent) { return below(100) < static_cast<size_t>(percent); }
    template <class T, size_t N>
    const T& pick(const T (&a)[N]) {
        return a[below(N)];
    }
};

// Names the generated files use, so that queries hit, miss, and meet case and blank variants.
const char16_t* const kSectionNames[] = {u"PPM", u"ppm", u"SYS", u"Sys", u"a", u"\u00C4", u"\u00E4", u"\u0416",
                                         u"x]y", u"", u"\u0160", u"\u0161", u"S\u0130"};
const char16_t* const kKeyNames[] = {u"ppm_01", u"PPM_01", u"ppm_02", u"q14_kp", u"Q14_KP", u"k", u"K", u"\u00E9",
                                     u"\u00C9", u"\u0130", u"i", u"\u212A", u"\u0436", u"; c", u"[x", u""};
const char* const kQuerySections[] = {"PPM", "ppm", "SYS", "sys", "a", "A", "\xC4", "\xE4", "x]y", "", " PPM ",
                                      "\tSYS", "\x8A", "\x9A", "Si", "none"};
const char* const kQueryKeys[] = {"ppm_01", "PPM_01", "ppm_02", "q14_kp", "k", "K", "\xE9", "\xC9", "i", "I",
                                  "; c", "[x", "", " k ", "none"};
// Characters of values and junk: ASCII with the reader's own signs, blanks, code page 1252,
// and characters it lacks. Those are ones Windows has no near match for ('?'): its "best fit"
// (Greek capital omega read as 'O', and the like) is not ours.
const char16_t kValueChars[] = u"0123456789*,.-+ abcXYZ;=[]'\"\t\x0B\x0C\x1A\u00E9\u00C4\u20AC\u0160\u0436\u4E2D";
const char16_t kBlanks[] = u" \t\x0B\x0C\x1A";
const char* const kLineEnds[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\n", "\r\n\r\n"};

std::u16string blanks(Rng& r) {
    std::u16string s;
    for (size_t n = r.chance(60) ? 0 : r.below(3) + 1; n > 0; --n) s.push_back(kBlanks[r.below(5)]);
    return s;
}

std::u16string value(Rng& r) {
    std::u16string v;
    size_t n = r.chance(3) ? 900 + r.below(1400) : r.below(14);
    for (size_t i = 0; i < n; ++i) v.push_back(kValueChars[r.below(sizeof kValueChars / 2 - 1)]);
    if (r.chance(15)) {
        const char16_t q = r.chance(50) ? u'\'' : u'"';
        v.insert(v.begin(), q);
        if (r.chance(80)) v.push_back(q);
    }
    return v;
}

// One generated file's text (UTF-16 before it is written).
std::u16string generated_text(Rng& r, std::string& line_end_out) {
    std::u16string t;
    const std::string eol = r.pick(kLineEnds);
    const bool mixed = r.chance(10);
    const size_t lines = r.below(14);
    for (size_t i = 0; i < lines; ++i) {
        std::u16string ln = blanks(r);
        const size_t kind = r.below(100);
        if (kind < 30) {
            ln += u'[';
            ln += blanks(r);
            ln += r.pick(kSectionNames);
            ln += blanks(r);
            if (!r.chance(5)) ln += u']';
            if (r.chance(15)) ln += r.chance(50) ? u" ; note" : u"]z";
        } else if (kind < 85) {
            ln += r.pick(kKeyNames);
            ln += blanks(r);
            if (!r.chance(8)) {
                ln += u'=';
                ln += blanks(r);
                ln += value(r);
            }
        } else if (kind < 92) {
            ln += u';';
            ln += value(r);
        } else {
            ln += value(r);
        }
        ln += blanks(r);
        if (r.chance(2)) ln.insert(r.below(ln.size() + 1), 1, u'\0');
        t += ln;
        const std::string e = mixed ? r.pick(kLineEnds) : eol;
        if (i + 1 < lines || r.chance(70)) t += std::u16string(e.begin(), e.end());
    }
    line_end_out = eol;
    return t;
}

// Written in one of the forms the reader meets: 8-bit (what 1252 lacks becomes 'Z'), UTF-8
// without a mark (read as 8-bit), UTF-8 with one, UTF-16 either way round.
std::string generated_bytes(Rng& r) {
    std::string eol;
    std::u16string t = generated_text(r, eol);
    const size_t form = r.below(100);
    if (form < 45) {
        for (char16_t& c : t)
            if (profile_to_ansi(std::u16string(1, c)) == "?" && c != u'?') c = u'Z';
        return profile_to_ansi(t);
    }
    if (form < 55) return profile_to_utf8(t);
    if (form < 72) return profile_encode(t, ProfileEncoding::kUtf8Bom);
    if (form < 90) return profile_encode(t, ProfileEncoding::kUtf16Le);
    return profile_encode(t, ProfileEncoding::kUtf16Be);
}

bool write_file(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string hex(const char* b, size_t n) {
    std::string s;
    char h[4];
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            s.push_back(static_cast<char>(c));
        } else {
            std::snprintf(h, sizeof h, "%02X", c);
            s += std::string("\\x") + h;
        }
    }
    return s;
}

struct Tally {
    long files = 0, queries = 0, disagreements = 0;
};

// One query answered by both; a disagreement is printed (the first few in full).
void compare(Tally& t, const std::string& path, const std::string& bytes, const char* label, const char* section,
             const char* key, const char* def, uint32_t size) {
    static char real[kBufferBytes], ours[kBufferBytes];
    std::memset(real, 0xCC, sizeof real);
    std::memset(ours, 0xCC, sizeof ours);
    const DWORD n_real = GetPrivateProfileStringA(section, key, def, real, size, path.c_str());
    const uint32_t n_ours = profile_get_string(bytes.data(), bytes.size(), true, section, key, def, ours, size);
    ++t.queries;
    if (n_real == n_ours && std::memcmp(real, ours, sizeof real) == 0) return;
    if (t.disagreements++ < kShownDisagreements) {
        // The result, its end and a byte beyond (the rest of the buffer must be untouched too).
        const size_t shown = std::min<size_t>(size, std::max<size_t>(n_real, n_ours) + 2);
        std::printf("DISAGREE %s: [%s] %s (default '%s', size %u): Windows %lu '%s', ours %u '%s'\n", label,
                    hex(section, std::strlen(section)).c_str(), hex(key, std::strlen(key)).c_str(),
                    hex(def, std::strlen(def)).c_str(), size, static_cast<unsigned long>(n_real),
                    hex(real, shown).c_str(), n_ours, hex(ours, shown).c_str());
        if (bytes.size() < 400) std::printf("  file: %s\n", hex(bytes.data(), bytes.size()).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
    const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 10000;
    std::string dir;
    if (argc > 3) {
        dir = argv[3];
    } else {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "q14_profile_diff";
    }
    CreateDirectoryA(dir.c_str(), nullptr);
    // Our reader takes 8-bit text as code page 1252, as the prefix the tests run in does.
    if (GetACP() != 1252) {
        std::printf("the Windows code page is %u, not 1252: the comparison would not be fair\n", GetACP());
        return 1;
    }
    Tally t;
    for (size_t i = 0; i < kProfileCorpusCount; ++i) {
        const std::string path = dir + "\\corpus_" + kProfileCorpus[i].name + ".ini";
        const std::string bytes = profile_corpus_bytes(i);
        if (!write_file(path, bytes)) return std::printf("cannot write %s\n", path.c_str()), 1;
        ++t.files;
        size_t d = 0;
        for (size_t s = 0; s < kProfileCorpusSectionCount; ++s)
            for (size_t k = 0; k < kProfileCorpusKeyCount; ++k)
                for (uint32_t size : kCorpusSizes)
                    compare(t, path, bytes, kProfileCorpus[i].name, kProfileCorpusSections[s], kProfileCorpusKeys[k],
                            kDefaults[d++ % (sizeof kDefaults / sizeof kDefaults[0])], size);
        DeleteFileA(path.c_str());
    }
    Rng r{seed};
    const long corpus_queries = t.queries;
    for (long i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\gen_%06ld.ini", i);
        const std::string path = dir + name;
        const std::string bytes = generated_bytes(r);
        if (!write_file(path, bytes)) return std::printf("cannot write %s\n", path.c_str()), 1;
        ++t.files;
        char label[48];
        std::snprintf(label, sizeof label, "generated file %ld (seed %llu)", i, static_cast<unsigned long long>(seed));
        for (int q = 0; q < 10; ++q)
            compare(t, path, bytes, label, r.pick(kQuerySections), r.pick(kQueryKeys), r.pick(kDefaults), r.pick(kSizes));
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(dir.c_str());
    std::printf("%ld files (%zu corpus forms, %ld generated from seed %llu), %ld queries (%ld on the corpus): "
                "%ld disagreement(s)\n",
                t.files, kProfileCorpusCount, count, static_cast<unsigned long long>(seed), t.queries, corpus_queries,
                t.disagreements);
    return t.disagreements == 0 ? 0 : 1;
}
