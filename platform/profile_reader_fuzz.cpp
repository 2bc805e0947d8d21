// libFuzzer target: arbitrary bytes as a route file, the first bytes choosing the query. The
// reader must never crash, never write past the buffer, give a terminated result of the length
// it returns, answer for UTF-8 as for the same text in UTF-16, and keep its conversions and
// line numbers consistent.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/profile_reader.h"

namespace {

const char* const kSections[] = {"PPM", "sys", "", " a ", "\xC4"};
const char* const kKeys[] = {"ppm_01", "Q14_KP", "", "k", ";"};
const uint32_t kSizes[] = {0, 1, 2, 3, 16, 64, 5000};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const char* s = kSections[data[0] % 5];
    const char* k = kKeys[data[1] % 5];
    const uint32_t n = kSizes[data[2] % 7];
    const char* bytes = reinterpret_cast<const char*>(data + 3);
    const size_t len = size - 3;

    // The buffer filled, and what lies past `n` compared with the fill afterwards: kept from one
    // input to the next, as are the decoded text and the UTF-8.
    static char out[5008], fill[5008];
    static ProfileText t;
    static std::string utf8;
    if (!fill[0]) std::memset(fill, 0x5A, sizeof fill);
    std::memcpy(out, fill, sizeof out);
    const uint32_t got = profile_get_string(bytes, len, true, s, k, "'d' ", out, n);
    if (std::memcmp(out + n, fill, sizeof out - n) != 0) std::abort();
    if (n == 0 ? got != 0 : (got >= n || out[got] != '\0' || std::strlen(out) > got)) std::abort();

    profile_decode(bytes, len, t);
    // UTF-8 is walked as bytes: the same characters in UTF-16, decoded before they are read,
    // must give the same answer.
    static std::string wide;
    static char again[5008];
    if (t.encoding == ProfileEncoding::kUtf8Bom) {
        wide = profile_encode(t.text, ProfileEncoding::kUtf16Le);
        std::memcpy(again, fill, sizeof again);
        if (profile_get_string(wide.data(), wide.size(), true, s, k, "'d' ", again, n) != got ||
            std::memcmp(again, out, sizeof out) != 0)
            std::abort();
    }
    int line = 0;
    ProfileCursor at;
    ProfileEntry e;
    while (profile_next_entry(t.text, at, e)) {
        if (e.line < line || e.begin >= e.end || e.end > t.text.size()) std::abort();
        line = e.line;
    }
    if (profile_utf16_well_formed(t.text)) {
        utf8.clear();
        profile_append_utf8(t.text, utf8);
        if (profile_from_utf8(utf8) != t.text) std::abort();
        if (t.encoding != ProfileEncoding::kAnsi && !t.odd_byte) {
            const std::string again = profile_encode(t.text, t.encoding);
            if (t.encoding != ProfileEncoding::kUtf8Bom && again != std::string_view(bytes, len)) std::abort();
        }
    }
    return 0;
}
