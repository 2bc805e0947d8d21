// Command-line option helpers shared by the bench tool's subcommands: "--name VALUE" pairs and
// numbers checked against their allowed range.
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

// True when argv[i] is `name`; its value (argv[i + 1]) goes to `out` and i moves past it.
// A missing value sets `error`.
inline bool take_option(int argc, char** argv, int& i, const char* name, std::string& out, std::string& error) {
    if (std::strcmp(argv[i], name) != 0) return false;
    if (i + 1 >= argc) {
        error = std::string(name) + " needs a value";
        return true;
    }
    out = argv[++i];
    return true;
}

// A finite number within [lo, hi] and nothing after it.
inline bool parse_number(const std::string& s, double lo, double hi, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    out = v;
    return true;
}

// True when argv[i] is "--speed": the true airspeed in km/h, 150 to 1500, goes to `kmh`; a
// value out of range or no number sets `error`.
inline bool take_speed_option(int argc, char** argv, int& i, double& kmh, std::string& error) {
    std::string v;
    if (!take_option(argc, argv, i, "--speed", v, error)) return false;
    if (error.empty() && !parse_number(v, 150, 1500, kmh))
        error = "--speed " + v + ": give the true airspeed in km/h, 150 to 1500";
    return true;
}

inline bool is_help(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }
