// Route check: one pass over the file's lines as the profile reader sees them, then every
// route value and setting read with the units' own conversions and looked at for what a pilot
// most often gets wrong. Pure text in, findings out.
#include "tools/route_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "display/route_value.h"
#include "frame/unit_profile.h"
#include "nav/geometry.h"
#include "nav/state.h"
#include "platform/profile_reader.h"

namespace {

constexpr double kPoleMarginDeg = 1;          // closer to a pole than this: a warning
constexpr double kAntipodeMarginKm = 111.2;   // a leg within about 1 degree of half the globe
constexpr double kTurnBackDeg = 150;          // a turn sharper than this is nearly a turn back
constexpr double kSameKm = 0.01;              // two waypoints closer than this are one place
constexpr double kLegZero = 0.0001;           // the units' zero substitute of leg courses

// A key's value as it stands after the '=': a view into the file's 8-bit text or into its
// decoded UTF-16, whichever the file is read as.
struct Entry {
    std::string_view narrow;
    std::u16string_view wide;
    bool is_wide = false;
    bool is_utf8 = false;     // `narrow` is UTF-8 (a file with its byte-order mark, walked as bytes)
    int line = 0;             // 0: the key is not in the file
    bool no_value = false;    // a line without '=': the units read the default
};

// A UTF-8 value decoded, as the reader gives it (the view lasts until the next call).
std::u16string_view decoded(std::string_view utf8) {
    thread_local std::u16string wide;
    wide.clear();
    profile_append_from_utf8(utf8, wide);
    return wide;
}

// The value as the units read it into a buffer of `size` characters, handed to `use` as the
// text it stands in (8-bit, or UTF-16 for a file the reader decodes).
template <class Use>
auto with_units_value(const Entry& e, uint32_t size, Use&& use) {
    if (e.is_utf8) return use(profile_value_read(decoded(e.narrow), size));
    if (e.is_wide) return use(profile_value_read(e.wide, size));
    return use(profile_value_read(e.narrow, size));
}

// That value in UTF-8 for the messages, and in code page 1252, the bytes the numbers are read
// from (which a value with letters outside ASCII makes shorter than its UTF-8).
const std::string& units_read(const Entry& e, uint32_t size, std::string& out) {
    out.clear();
    with_units_value(e, size, [&out](auto v) { profile_append_utf8(v, out); });
    return out;
}

const char* units_bytes(const Entry& e, uint32_t size, std::string& out) {
    out.clear();
    with_units_value(e, size, [&out](auto v) { profile_append_ansi(v, out); });
    return out.c_str();
}

// True when a buffer of `size` characters cuts the value short.
bool units_cut(const Entry& e, uint32_t size) {
    auto length = [](auto v) { return v.size(); };
    return with_units_value(e, size, length) != with_units_value(e, UINT32_MAX, length);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

std::string utf8(std::string_view ansi) {
    std::string s;
    profile_append_utf8(ansi, s);
    return s;
}
std::string utf8(std::u16string_view text) {
    std::string s;
    profile_append_utf8(text, s);
    return s;
}
// A name of a UTF-8 file as the reader decodes it, back in UTF-8 (a byte no character begins
// with is U+FFFD, as in the decoded text).
std::string utf8_of_utf8(std::string_view text) {
    return profile_ascii(text) ? std::string(text) : utf8(decoded(text));
}

// A place as a pilot reads it: 55°45.50'N 37°36.20'E.
std::string angle_text(double v, char pos, char neg) {
    char b[64];
    if (!std::isfinite(v) || std::fabs(v) > 1e6) {
        std::snprintf(b, sizeof b, "%g\xC2\xB0", v);
        return b;
    }
    long long n = std::llround(std::fabs(v) * 6000.0);  // hundredths of a minute
    std::snprintf(b, sizeof b, "%lld\xC2\xB0%05.2f'%c", n / 6000, static_cast<double>(n % 6000) / 100.0,
                  v < 0 ? neg : pos);
    return b;
}

std::string place_text(double lat, double lon) { return angle_text(lat, 'N', 'S') + " " + angle_text(lon, 'E', 'W'); }

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// Kilometres to a tenth, the number alone (the messages name the unit).
std::string km(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

// The four parts of "deg*min,deg*min" as written, and where a strict reading stops.
struct ValueScan {
    double part[4] = {};
    bool negative_zero[4] = {};
    int parts = 0;              // parts read before the first problem
    int nonfinite = -1;         // the part that is "nan", "inf" or beyond a double
    std::string rest;           // text after the fourth part (blanks trimmed)
    Message why;                // the first problem, kNone when none
};

const MessageId kPartName[4] = {MessageId::kPartLatDeg, MessageId::kPartLatMin, MessageId::kPartLonDeg, MessageId::kPartLonMin};
using M = MessageId;
MessageValue val(const char* name, std::string text) { return message_value(name, std::move(text)); }
MessageValue val(const char* name, const Message& part) { return message_value(name, part); }

ValueScan scan_value(const std::string& value) {
    ValueScan s;
    const char* p = value.c_str();
    const char seps[3] = {'*', ',', '*'};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            while (*p == ' ' || *p == '\t') ++p;
            if (*p != seps[i - 1]) {
                s.why = message(M::kScanNoSeparator, {val("sep", std::string(1, seps[i - 1])), val("part", message(kPartName[i - 1]))});
                return s;
            }
            ++p;
        }
        char* end = nullptr;
        double v = std::strtod(p, &end);
        if (end == p) {
            s.why = i == 0 ? message(M::kScanNoStart, {val("part", message(kPartName[i]))})
                           : message(M::kScanNoPart, {val("part", message(kPartName[i])), val("sep", std::string(1, seps[i - 1]))});
            return s;
        }
        if (!std::isfinite(v)) {
            s.nonfinite = i;
            s.why = message(M::kScanNoNumber, {val("text", std::string(p, static_cast<const char*>(end))), val("part", message(kPartName[i]))});
            return s;
        }
        s.part[i] = v;
        s.negative_zero[i] = v == 0 && std::signbit(v);
        s.parts = i + 1;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    s.rest = p;
    while (!s.rest.empty() && std::isspace(static_cast<unsigned char>(s.rest.back()))) s.rest.pop_back();
    return s;
}

// What a pilot most likely meant differs from what the units read: one degrees/minutes pair,
// each warning handed to `warn`.
template <class Warn>
void pair_warnings(const ValueScan& s, int first, char pos, char neg, Warn&& warn) {
    const double deg = s.part[first], min = s.part[first + 1];
    double read, none;
    route_value_degrees(deg, min, 0, 0, &read, &none);  // the pair alone
    // The values the warnings share, made only for a warning.
    auto what = [&] { return val("what", message(first == 0 ? M::kPartLatitude : M::kPartLongitude)); };
    auto read_as = [&] { return val("read", angle_text(read, pos, neg)); };
    if (s.negative_zero[first] && min > 0)
        warn(message(M::kMinusZero, {what(), val("min", num(min)), read_as(),
                                     val("towards", message(first == 0 ? M::kPartSouth : M::kPartWest))}));
    else if (deg != 0 && min < 0)
        warn(message(M::kSignedMinutes, {what(), val("deg", num(deg)), val("min", num(min)), read_as()}));
    if (std::fabs(min) >= 60) warn(message(M::kMinutes60, {what(), val("min", num(min)), read_as()}));
}

// What each value does, for the messages; in SettingsKey order.
struct SettingMeaning {
    SettingsKey key;
    MessageId meaning;
};

constexpr SettingMeaning kSettingMeanings[] = {
    {.key = kSetKp, .meaning = MessageId::kMeaningKp},
    {.key = kSetKd, .meaning = MessageId::kMeaningKd},
    {.key = kSetBankTime, .meaning = MessageId::kMeaningBankTime},
    {.key = kSetVibrKontrol, .meaning = MessageId::kMeaningVibrKontrol},
    {.key = kSetPercPogr, .meaning = MessageId::kMeaningPercPogr},
};
static_assert(settings_table_complete(kSettingMeanings), "a settings key without its meaning");

class Checker {
public:
    Checker(const std::string& text, const std::string& name, double speed_kmh, RouteFileCheck& out)
        : text_(text), name_(name), speed_kmh_(speed_kmh), c_(out) {}

    void run() {
        section_.clear();
        headers_.assign(1, {"", 0});
        // Until a key is found the units hold its default, whatever else the file lacks.
        for (int k = 0; k < kSettingsKeyCount; ++k)
            c_.settings[k] = settings_number(kSettingsKeys[k].default_text, kSettingsKeys[k].default_text);
        double lat0, lon0;  // where the units put a waypoint whose key is missing, read once
        parse_route_value(kRouteDefaultValue, &lat0, &lon0);
        for (int r = 0; r < 4; ++r)
            for (int w = 1; w <= 9; ++w) c_.lat[r][w] = lat0, c_.lon[r][w] = lon0;
        scan_lines();
        check_settings();  // first: the turn leads use the file's bank time
        check_routes();
    }

private:
    void add(CheckSeverity sev, CheckPart part, int route, const std::string& key, int line, Message&& m) {
        CheckFinding& f = c_.findings.emplace_back();
        f.file = name_;
        f.line = line;
        f.key = key;
        f.severity = sev;
        f.message = std::move(m);
        f.part = part;
        f.route = route;
    }

    // One pass over the lines as the profile reader sees them: the first value of every key of
    // the first [PPM] and [SYS] sections, and a finding for every line the units skip or never use.
    void scan_lines() {
        const ProfileEncoding encoding = profile_encoding(text_.data(), text_.size());
        if (encoding != ProfileEncoding::kAnsi)
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", 0,
                message(encoding == ProfileEncoding::kUtf8Bom   ? M::kFileUtf8Bom
                        : encoding == ProfileEncoding::kUtf16Le ? M::kFileUtf16Le
                                                                : M::kFileUtf16Be,
                        {val("encoding", profile_encoding_name(encoding))}));
        if (encoding == ProfileEncoding::kAnsi) {
            scan_entries(std::string_view(text_));
        } else if (encoding == ProfileEncoding::kUtf8Bom) {
            scan_entries(profile_utf8_text(text_.data(), text_.size()), true);
        } else {
            profile_decode(text_.data(), text_.size(), decoded_);
            if (decoded_.odd_byte)
                add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", 0,
                    message(M::kFileOddByte));
            scan_entries(std::u16string_view(decoded_.text));
        }
        if (!c_.has_ppm) {
            const size_t nul = text_.find('\0');
            add(CheckSeverity::kError, CheckPart::kFile, -1, "", 0,
                nul != std::string::npos ? message(M::kFileNotText, {val("byte", std::to_string(nul))})
                                         : message(M::kFileNoPpm));
        }
    }

    // `utf8_text`: 8-bit text in UTF-8 rather than in code page 1252.
    template <class C>
    void scan_entries(std::basic_string_view<C> text, bool utf8_text = false) {
        auto text_of = [&](std::basic_string_view<C> v) {
            if constexpr (sizeof(C) == 1)
                if (utf8_text) return utf8_of_utf8(v);
            return utf8(v);
        };
        bool first_of_name = true;
        int nul_lines = 0;
        ProfileCursor at;
        ProfileEntryOf<C> e;
        while (profile_next_entry(text, at, e)) {
            if (e.nul && nul_lines++ < 3)
                add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", e.line,
                    message(M::kLineNul));
            if (e.header) {
                header_line(text_of(e.name), text_of(e.after), e.line, first_of_name);
                continue;
            }
            if (!e.name.empty() && e.name[0] == C(';')) continue;  // a comment
            const std::string name = text_of(e.name);
            const int first_line = first_of_name ? 0 : first_header_line(section_);
            Entry raw;
            raw.line = e.line;
            raw.no_value = !e.has_value;
            if constexpr (sizeof(C) == 1) {
                raw.narrow = e.value;
                raw.is_utf8 = utf8_text;
            } else {
                raw.wide = e.value;
                raw.is_wide = true;
            }
            if (!e.has_value && !known_key(section_, lower(name))) {
                add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", e.line,
                    message(M::kLineSkipped));
                continue;
            }
            key_line(section_, name, raw, first_line);
        }
    }

    // The line of the first header of `lower_name` (0: the lines before any header; -1: none).
    int first_header_line(const std::string& lower_name) const {
        for (const auto& h : headers_)
            if (h.first == lower_name) return h.second;
        return -1;
    }

    static std::string section_title(const std::string& lower_name) {
        return lower_name == "ppm" || lower_name == "sys" ? std::string(lower_name == "ppm" ? "PPM" : "SYS") : lower_name;
    }

    static bool known_key(const std::string& section, const std::string& k) {
        if (section == "ppm") return k.size() >= 4 && k.compare(0, 4, "ppm_") == 0;
        return settings_index(k) >= 0;
    }

    // The settings key `k` (lower case) names, or -1.
    static int settings_index(const std::string& k) {
        static constexpr auto kNames = [] {
            std::array<std::string_view, kSettingsKeyCount> names{};
            for (int i = 0; i < kSettingsKeyCount; ++i) names[i] = kSettingsKeys[i].key;
            return names;
        }();
        for (int i = 0; i < kSettingsKeyCount; ++i)
            if (k == kNames[i]) return i;
        return -1;
    }

    // A [section] line: the name the units read, text they ignore, a name seen before.
    void header_line(const std::string& name, std::string after, int line, bool& first_of_name) {
        while (!after.empty() && std::isspace(static_cast<unsigned char>(after.front()))) after.erase(0, 1);
        if (name.find(']') != std::string::npos)
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", line,
                message(M::kHeaderSecondBracket, {val("name", name)}));
        else if (!after.empty())
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", line,
                message(M::kHeaderTextAfter, {val("name", name), val("after", after)}));
        section_ = lower(name);
        const int first = first_header_line(section_);
        first_of_name = first < 0;
        if (first_of_name) {
            headers_.emplace_back(section_, line);
            if (section_ == "ppm") c_.has_ppm = true;
        } else if (section_ == "ppm" || section_ == "sys") {
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, "", line,
                message(M::kSectionAgain, {val("name", name), val("first", std::to_string(first))}));
        }
    }

    // A key line of [section]; `first_line` is not 0 when the section is a repeated one the
    // units never read (its first header's line).
    void key_line(const std::string& section, const std::string& key, const Entry& raw, int first_line) {
        const int line = raw.line;
        const std::string k = lower(key);
        const bool looks_ppm = k.size() >= 4 && k.compare(0, 4, "ppm_") == 0;
        const bool known_sys = settings_index(k) >= 0;
        if (section != "ppm" && section != "sys") {
            if (looks_ppm || known_sys)
                add(CheckSeverity::kWarning, CheckPart::kFile, -1, key, line,
                    section.empty() ? message(M::kKeyBeforeSection, {val("section", looks_ppm ? "PPM" : "SYS")})
                                    : message(M::kKeyInOtherSection,
                                              {val("in", section), val("section", looks_ppm ? "PPM" : "SYS")}));
            return;
        }
        if (section == "ppm" && !valid_route_key(k, key, line)) return;
        if (section == "sys" && !known_sys) {
            add(CheckSeverity::kWarning, CheckPart::kSettings, -1, key, line,
                message(M::kSettingUnknown));
            return;
        }
        if (first_line) {
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, key, line,
                message(M::kKeyInSecondSection,
                        {val("section", section_title(section)), val("first", std::to_string(first_line))}));
            return;
        }
        Entry& slot = section == "ppm" ? ppm_[k[4] - '0'][k[5] - '0'] : sys_[settings_index(k)];
        if (slot.line) {
            add(CheckSeverity::kWarning, section == "ppm" ? CheckPart::kRoute : CheckPart::kSettings,
                section == "ppm" ? k[4] - '0' : -1, key, line,
                message(M::kKeyAgain, {val("first", std::to_string(slot.line))}));
            return;
        }
        slot = raw;
    }

    bool valid_route_key(const std::string& k, const std::string& key, int line) {
        if (k.size() == 6 && k.compare(0, 4, "ppm_") == 0 && std::isdigit(static_cast<unsigned char>(k[4])) &&
            std::isdigit(static_cast<unsigned char>(k[5]))) {
            if (k[4] <= '3' && k[5] != '0') return true;
            add(CheckSeverity::kWarning, CheckPart::kFile, -1, key, line,
                message(k[5] == '0' ? M::kKeyWaypointZero : M::kKeyRouteOver3));
            return false;
        }
        const bool route0 = k.size() == 5 && k.compare(0, 4, "ppm_") == 0 && std::isdigit(static_cast<unsigned char>(k[4]));
        add(CheckSeverity::kWarning, CheckPart::kFile, -1, key, line,
            route0 ? message(M::kKeyNotPpmRoute0, {val("waypoint", k.substr(4))}) : message(M::kKeyNotPpm));
        return false;
    }

    void check_routes() {
        if (!c_.has_ppm) return;
        for (int r = 0; r < 4; ++r) {
            bool any = false;
            for (int w = 1; w <= 9; ++w) any = any || ppm_[r][w].line;
            bool bad[10] = {};
            for (int w = 1; w <= 9; ++w) {
                const std::string key = route_key(r, w);
                const Entry& e = ppm_[r][w];
                const bool absent = !e.line || e.no_value;
                // A key missing or without a value keeps the default place run() gave every waypoint.
                if (!absent) parse_route_value(units_bytes(e, kRouteValueSize, bytes_), &c_.lat[r][w], &c_.lon[r][w]);
                c_.line[r][w] = e.line;
                if (absent) {
                    bad[w] = true;
                    if (e.line)
                        add(CheckSeverity::kError, CheckPart::kRoute, r, key, e.line,
                            message(M::kWaypointNoValue));
                    else if (any)
                        add(CheckSeverity::kError, CheckPart::kRoute, r, key, 0,
                            message(M::kWaypointMissing));
                    continue;
                }
                bad[w] = !check_value(r, w, key, e);
            }
            if (!any) {
                add(r == 0 ? CheckSeverity::kError : CheckSeverity::kWarning, CheckPart::kRoute, r,
                    "ppm_" + std::to_string(r) + "1..ppm_" + std::to_string(r) + "9", 0,
                    message(r == 0 ? M::kRoute0Missing : M::kRouteMissing, {val("route", std::to_string(r))}));
                continue;
            }
            check_route_shape(r, bad);
        }
    }

    // One waypoint value; false when it is an error (the geometry then leaves it alone).
    bool check_value(int r, int w, const std::string& key, const Entry& e) {
        auto error = [&](Message&& why) {
            add(CheckSeverity::kError, CheckPart::kRoute, r, key, e.line, std::move(why));
            return false;
        };
        auto warn = [&](Message&& why) { add(CheckSeverity::kWarning, CheckPart::kRoute, r, key, e.line, std::move(why)); };
        const std::string& seen = units_read(e, kRouteValueSize, seen_);
        if (units_cut(e, kRouteValueSize))
            warn(message(M::kValueTooLong, {val("max", std::to_string(kRouteValueSize - 1)), val("seen", seen)}));
        const double lat = c_.lat[r][w], lon = c_.lon[r][w];
        // Where the units put it, written only for the messages that say so.
        auto place = [&] { return val("place", place_text(lat, lon)); };
        ValueScan s = scan_value(seen);
        if (s.nonfinite >= 0) return error(message(M::kValueNoNumber, {val("why", s.why), place()}));
        if (s.parts < 4) return error(message(M::kValueNotDms, {val("seen", seen), val("why", s.why), place()}));
        if (!s.rest.empty()) warn(message(M::kValueTextAfter, {val("rest", s.rest)}));
        double lat_sum, lon_sum;
        route_value_degrees(s.part[0], s.part[1], s.part[2], s.part[3], &lat_sum, &lon_sum);
        if (!std::isfinite(lat_sum) || !std::isfinite(lon_sum))
            return error(message(M::kValueOverflow, {val("seen", seen), place()}));
        const bool lat_mark = lat == kEmptyLat, lon_mark = lon == kEmptyLon;
        if (lat_mark && lon_mark) return true;  // an empty waypoint
        if (lat_mark || lon_mark)
            return error(message(lat_mark ? M::kHalfEmptyLat : M::kHalfEmptyLon));
        pair_warnings(s, 0, 'N', 'S', warn);
        pair_warnings(s, 2, 'E', 'W', warn);
        if (std::fabs(lat) > 90) return error(message(M::kBeyondPole, {val("lat", angle_text(lat, 'N', 'S'))}));
        if (std::fabs(lon) > 180) return error(message(M::kBeyond180, {val("lon", angle_text(lon, 'E', 'W'))}));
        if (std::fabs(lat) > 90 - kPoleMarginDeg) warn(message(M::kNearPole, {place()}));
        return true;
    }

    // The route as a sequence: empty waypoints, coincident and antipodal legs, turns back,
    // legs too short for the turn lead.
    void check_route_shape(int r, const bool bad[10]) {
        const double* lat = c_.lat[r];
        const double* lon = c_.lon[r];
        int first_empty = 0;
        for (int w = 1; w <= 9; ++w) {
            if (bad[w]) continue;
            const bool empty = route_point_is_empty(lat[w], lon[w]);
            if (empty && !first_empty) first_empty = w;
            if (!empty && first_empty) {
                add(CheckSeverity::kError, CheckPart::kRoute, r, route_key(r, w), c_.line[r][w],
                    message(M::kAfterEmpty, {val("empty", route_key(r, first_empty))}));
                break;
            }
        }
        const int n = first_empty ? first_empty - 1 : 9;
        if (r == 0 && n < 2) {
            add(CheckSeverity::kError, CheckPart::kRoute, r, route_key(r, 1), c_.line[r][1],
                message(M::kRoute0Short, {val("count", std::to_string(n))}));
        }
        const double bank_time = c_.settings[kSetBankTime];
        for (int b = 2; b <= n; ++b) {
            const int a = b - 1;
            if (bad[a] || bad[b]) continue;
            const std::string key = route_key(r, b);
            const int line = c_.line[r][b];
            const double dist = gc_distance(lat[a], lat[b], lon[b] - lon[a], 0);
            if (dist < kSameKm) {
                add(CheckSeverity::kError, CheckPart::kRoute, r, key, line,
                    message(M::kLegSamePlace, {val("from", route_key(r, a))}));
                continue;
            }
            if (dist > 3.14159265358979323846 * R_earth - kAntipodeMarginKm)
                add(CheckSeverity::kWarning, CheckPart::kRoute, r, key, line,
                    message(M::kLegAntipodal, {val("from", route_key(r, a)), val("km", km(dist))}));
            // The turn at b as the units see it: the leg's final course against the course
            // onward to the entry after b (waypoint 1 after 9, the empty marks after the last).
            const double final_course = wrap360(gc_course(lat[b], lat[a], lon[a] - lon[b], kLegZero) + 180);
            const int next = b + 1 > 9 ? 1 : b + 1;
            const double onward = gc_course(lat[b], lat[next], lon[next] - lon[b], kLegZero);
            const double turn = std::fabs(wrap180(onward - final_course));
            if (b < n && !bad[next] && turn > kTurnBackDeg)
                add(CheckSeverity::kWarning, CheckPart::kRoute, r, key, line,
                    message(M::kTurnBack, {val("turn", num(std::round(turn)))}));
            const double lead = unit_turn_lead_km(turn, speed_kmh_, bank_time);
            if (dist < lead + 1)
                add(CheckSeverity::kWarning, CheckPart::kRoute, r, key, line,
                    message(M::kLegShort, {val("from", route_key(r, a)), val("km", km(dist)), val("lead", km(lead)),
                                           val("speed", num(speed_kmh_))}));
        }
    }

    void check_settings() {
        for (int k = 0; k < kSettingsKeyCount; ++k) {
            const SettingsKeyInfo& info = kSettingsKeys[k];
            const Entry& e = sys_[k];
            if (!e.line) {
                c_.settings[k] = settings_number(info.default_text, info.default_text);
                continue;
            }
            c_.settings_line[k] = e.line;
            const std::string& seen = e.no_value ? seen_.assign(info.default_text) : units_read(e, kSettingsValueSize, seen_);
            c_.settings[k] = e.no_value ? settings_number(info.default_text, info.default_text)
                                        : settings_number(units_bytes(e, kSettingsValueSize, bytes_), info.default_text);
            auto error = [&](Message&& why) { add(CheckSeverity::kError, CheckPart::kSettings, -1, info.key, e.line, std::move(why)); };
            auto warn = [&](Message&& why) { add(CheckSeverity::kWarning, CheckPart::kSettings, -1, info.key, e.line, std::move(why)); };
            auto meaning = [&] { return val("meaning", message(kSettingMeanings[k].meaning)); };
            if (e.no_value) {
                warn(message(M::kSettingNoValue, {val("default", info.default_text)}));
                continue;
            }
            if (units_cut(e, kSettingsValueSize))
                warn(message(M::kValueTooLong, {val("max", std::to_string(kSettingsValueSize - 1)), val("seen", seen)}));
            const double v = c_.settings[k];
            char* end = nullptr;
            const double written = std::strtod(seen.c_str(), &end);
            std::string rest = end;
            while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.pop_back();
            while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) rest.erase(0, 1);
            if (end == seen.c_str()) {
                error(message(M::kSettingNotNumber, {val("seen", seen), meaning()}));
                continue;
            }
            if (!std::isfinite(written)) {
                error(message(M::kSettingUnusable, {val("seen", seen), val("default", info.default_text)}));
                continue;
            }
            // A decimal comma is a number misread; other text after the number is read past.
            if (!rest.empty() && rest[0] == ',') {
                error(message(M::kSettingComma, {val("value", num(v)), val("rest", rest)}));
                continue;
            }
            if (!rest.empty())
                warn(message(M::kSettingTextAfter, {val("value", num(v)), val("rest", rest)}));
            if (k == kSetVibrKontrol) {
                const int32_t fault = settings_fault_value(v);
                if (static_cast<double>(fault) != v)
                    warn(message(M::kFaultTruncated, {val("value", num(v)), val("fault", std::to_string(fault))}));
                if (fault != 0 && fault != 1) warn(message(M::kFaultValue, {val("fault", std::to_string(fault)), meaning()}));
                continue;
            }
            const SettingsRange& range = kSettingsRanges[k];
            if (v < range.lo || v > range.hi)
                warn(message(M::kSettingRange,
                             {val("value", num(v)), val("lo", num(range.lo)), val("hi", num(range.hi)), meaning()}));
        }
    }

    const std::string& text_;
    const std::string& name_;
    double speed_kmh_;
    RouteFileCheck& c_;
    // Storage kept from one check to the next (a checker of many files allocates less).
    struct Kept {
        ProfileText decoded;  // a file with a byte-order mark, decoded
        std::string seen, bytes;  // a value as the units read it, in UTF-8 and in code page 1252
        std::string section;  // the section of the lines read (lower case; "" before the first header)
        std::vector<std::pair<std::string, int>> headers;  // each section's first header line
    };
    static Kept& kept() {
        thread_local Kept k;
        return k;
    }
    Kept& kept_ = kept();
    ProfileText& decoded_ = kept_.decoded;
    std::string &seen_ = kept_.seen, &bytes_ = kept_.bytes, &section_ = kept_.section;
    std::vector<std::pair<std::string, int>>& headers_ = kept_.headers;
    Entry ppm_[4][10], sys_[kSettingsKeyCount];  // the first line of each key the units read
};

}  // namespace

RouteFileCheck check_route_file(const std::string& text, const std::string& name, double speed_kmh) {
    RouteFileCheck c;
    check_route_file(text, name, speed_kmh, c);
    return c;
}

void check_route_file(const std::string& text, const std::string& name, double speed_kmh, RouteFileCheck& c) {
    c.findings.clear();
    std::vector<CheckFinding> findings = std::move(c.findings);
    c = RouteFileCheck();
    c.findings = std::move(findings);
    Checker(text, name, speed_kmh, c).run();
    // File order; findings without a line (missing keys, the file as a whole) first, the
    // findings of a line in the order made. The findings are moved once, by their order.
    if (!std::is_sorted(c.findings.begin(), c.findings.end(),
                        [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; })) {
        thread_local std::vector<std::pair<int, size_t>> order;
        thread_local std::vector<CheckFinding> sorted;
        order.clear();
        for (size_t i = 0; i < c.findings.size(); ++i) order.emplace_back(c.findings[i].line, i);
        std::sort(order.begin(), order.end());
        sorted.clear();
        for (const auto& o : order) sorted.push_back(std::move(c.findings[o.second]));
        c.findings.swap(sorted);
    }
    for (const CheckFinding& f : c.findings) (f.severity == CheckSeverity::kError ? c.errors : c.warnings)++;
}

bool check_route_has_errors(const RouteFileCheck& c, int route) {
    for (const CheckFinding& f : c.findings)
        if (f.severity == CheckSeverity::kError &&
            (f.part == CheckPart::kFile || (f.part == CheckPart::kRoute && f.route == route)))
            return true;
    return false;
}

std::string format_finding(const CheckFinding& f) {
    std::string s;
    format_finding(f, s);
    return s;
}

void format_finding(const CheckFinding& f, std::string& out) {
    out = f.file;
    if (f.line > 0) {
        char b[16];
        std::snprintf(b, sizeof b, ":%d", f.line);
        out += b;
    }
    out += f.severity == CheckSeverity::kError ? ": error: " : ": warning: ";
    if (!f.key.empty()) {
        out += f.key;
        out += ": ";
    }
    message_append_text(f.message, out);
}

std::string finding_reason(const CheckFinding& f) { return message_text(f.message); }

std::string settings_text(const RouteFileCheck& c) {
    std::string s;
    for (int k = 0; k < kSettingsKeyCount; ++k) {
        s += (k ? ", " : "") + std::string(kSettingsKeys[k].key) + "=" +
             (k == kSetVibrKontrol ? std::to_string(settings_fault_value(c.settings[k])) : num(c.settings[k]));
        s += c.settings_line[k] ? " (line " + std::to_string(c.settings_line[k]) + ")" : " (default)";
    }
    return s;
}

bool ini_lookup(const std::string& text, const std::string& section, const std::string& key, std::string& value,
                int* line) {
    auto ascii = [](const std::string& s) {  // and no NUL, which would end the name asked for
        return profile_ascii(s) && s.find('\0') == std::string::npos;
    };
    // 8-bit text and UTF-8 asked for ASCII names are walked as bytes (8-bit text: a byte is its
    // character; UTF-8: its names and values decoded as the text around them decodes them).
    const ProfileEncoding encoding = profile_encoding(text.data(), text.size());
    const bool utf8 = encoding == ProfileEncoding::kUtf8Bom;
    if ((encoding == ProfileEncoding::kAnsi || utf8) && ascii(section) && ascii(key)) {
        const std::string_view walk = utf8 ? profile_utf8_text(text.data(), text.size()) : std::string_view(text);
        ProfileEntry8 e;
        if (!profile_find_entry(walk, section.c_str(), key.c_str(), e) || !e.has_value) return false;
        Entry found;
        found.narrow = e.value;
        found.is_utf8 = utf8;
        units_read(found, UINT32_MAX, value);
        if (line) *line = e.line;
        return true;
    }
    const ProfileText decoded = profile_decode(text.data(), text.size());
    const std::vector<ProfileEntry> entries = profile_entries(decoded.text);
    const ProfileEntry* e = profile_find(entries, profile_from_utf8(section), profile_from_utf8(key));
    if (!e || !e->has_value) return false;
    value = profile_to_utf8(profile_value_read(e->value, UINT32_MAX));
    if (line) *line = e->line;
    return true;
}

std::string route_key(int route, int waypoint) {
    if (route >= 0 && route <= 9 && waypoint >= 0 && waypoint <= 9)  // one digit each, as the units' keys
        return {'p', 'p', 'm', '_', static_cast<char>('0' + route), static_cast<char>('0' + waypoint)};
    return "ppm_" + std::to_string(route) + std::to_string(waypoint);
}

bool route_value_strict(const std::string& value, double& lat, double& lon, std::string& why) {
    ValueScan s = scan_value(value);
    if (s.parts < 4) return why = message_text(s.why), false;
    if (!s.rest.empty()) return why = "unexpected '" + s.rest + "' after the longitude minutes", false;
    if (value.size() > kRouteValueSize - 1) return why = "longer than the units read", false;
    parse_route_value(value.c_str(), &lat, &lon);
    return true;
}

bool route_point_is_empty(double lat, double lon) { return lat == kEmptyLat && lon == kEmptyLon; }

double unit_turn_lead_km(double turn_deg, double speed_kmh, double bank_time_s) {
    return turn_lead_km(bank_time_s, std::fmin(std::fabs(turn_deg), 110.0), speed_kmh, kUnit.k_turn);
}
