// A throw-away simulator folder for tests and tools: a temporary directory holding
// gauges/q14_cfg/q14_ppm.cfg, which the loaded modules then take as the simulator's folder.
#pragma once

#include <string>

// Creates the folder (prefix names it in /tmp), writes `cfg_text` as the route and settings
// file unless it is empty, and points the modules at it. Returns "" on failure.
std::string host_make_sim_dir(const char* prefix, const std::string& cfg_text);
// The route and settings file inside such a folder.
std::string host_sim_cfg_path(const std::string& dir);
// Removes the folder and everything in it.
void host_remove_sim_dir(const std::string& dir);
