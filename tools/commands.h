// The bench tool's subcommands beyond the demo, each in its own file, with their help texts.
#pragma once

#include <string>

int cmd_fly(int argc, char** argv);         // tools/fly.cpp
int cmd_panel(int argc, char** argv);       // tools/panel_cmd.cpp
int cmd_import_pln(int argc, char** argv);  // tools/import_pln_cmd.cpp
int cmd_check(int argc, char** argv);       // tools/check_cmd.cpp
int cmd_demo(int argc, char** argv);        // tools/demo_cmd.cpp

extern const char* const kFlyUsage;
extern const char* const kFlySummary;
extern const char* const kFlyHelp;
extern const char* const kPanelUsage;
extern const char* const kPanelSummary;
extern const char* const kPanelHelp;
extern const char* const kImportPlnUsage;
extern const char* const kImportPlnSummary;
extern const char* const kImportPlnHelp;
extern const char* const kCheckUsage;
extern const char* const kCheckSummary;
extern const char* const kCheckHelp;
extern const char* const kDemoUsage;
extern const char* const kDemoSummary;

// Where the bundled sample simulator folder and the panel bitmaps are. The caption set of the
// build tree (option Q14_CAPTIONS) is the tools' default; bundled_bitmap_dir gives the folder of
// any set, false for a set that does not exist.
const char* bundled_sim_dir();
const char* build_captions();
bool bundled_bitmap_dir(const char* captions, std::string& dir);
