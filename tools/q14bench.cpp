// q14bench: runs both navigation units in the host stand-in from the command line and prints
// what their panels show. One subcommand per job, listed in kCommands.
#include <cstdio>
#include <cstring>

#include "host/standin.h"
#include "q14_version.h"
#include "tools/commands.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(int argc, char** argv);  // arguments after the subcommand
    bool own_help = false;              // run prints its own text for --help
};

int cmd_help(int, char**);

const Command kCommands[] = {
    {"demo", kDemoUsage, kDemoSummary, cmd_demo, true},
    {"fly", kFlyUsage, kFlySummary, cmd_fly, true},
    {"panel", kPanelUsage, kPanelSummary, cmd_panel, true},
    {"check", kCheckUsage, kCheckSummary, cmd_check, true},
    {"import-pln", kImportPlnUsage, kImportPlnSummary, cmd_import_pln, true},
    {"help", "help", "this text", cmd_help},
};

int cmd_help(int, char**) {
    std::printf("usage: q14bench <command> [options]\n\ncommands:\n");
    for (const Command& c : kCommands) std::printf("  %s\n      %s\n", c.usage, c.summary);
    std::printf("\n'q14bench <command> --help' tells more about each command and lists its exit statuses;\n"
                "'q14bench --version' (anywhere on the line) prints the version and the commit it was built\n"
                "from. Every command takes an option's value after a blank or an '=' (--speed 450 or\n"
                "--speed=450), and after '--' takes every argument as a file, whatever it begins with.\n"
                "\nExit status: that of the command; 0 for help and --version, 2 for no or an unknown command.\n");
    std::printf("\nThe modules are loaded from %s and %s.\n", host_module_path(1).c_str(), host_module_path(2).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("q14bench %s (commit %s)\n", Q14_VERSION, Q14_COMMIT);
            return 0;
        }
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        cmd_help(0, nullptr);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        if (!c.own_help && argc > 2 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
            std::printf("usage: q14bench %s\n\n%s\n", c.usage, c.summary);
            return 0;
        }
        return c.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "q14bench: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
