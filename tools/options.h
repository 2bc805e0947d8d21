// Command-line option helpers shared by the bench tool's subcommands: "--name VALUE" pairs and
// numbers checked against their allowed range.
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A subcommand's arguments as its option loop reads them: "--name=value" split into "--name"
// and "value", and what follows "--" kept apart as operands, whatever they begin with.
struct CommandArgs {
    std::vector<std::string> words;     // options and operands before "--"
    std::vector<std::string> operands;  // after "--"
    std::vector<char*> argv;            // into `words`
    int argc = 0;
};

inline void split_args(int argc, char** argv, CommandArgs& a) {
    int i = 0;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        if (argv[i][0] == '-' && argv[i][1] == '-' && eq) {
            a.words.emplace_back(argv[i], static_cast<size_t>(eq - argv[i]));
            a.words.emplace_back(eq + 1);
        } else {
            a.words.emplace_back(argv[i]);
        }
    }
    for (++i; i < argc; ++i) a.operands.emplace_back(argv[i]);
    for (std::string& w : a.words) a.argv.push_back(w.data());
    a.argv.push_back(nullptr);
    a.argc = static_cast<int>(a.words.size());
}

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
