// The release package as a pilot installs it: this program lies in the root of a simulator
// folder the package was unzipped into, loads both units from Gauges\ and reads their versions.
// Q14_EDITION, when set, is the edition the package must be (e.g. "Cyrillic captions").
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/standin.h"
#include "panels/panel_map.h"

namespace {

constexpr const char* kUvi = "Q14_UVI";
constexpr const char* kPur = "Q14_PUR";
// UVI mouse areas and chain elements, PUR selector.
using uvi::kModeDown, uvi::kModeUp, uvi::kWheelDown, uvi::kWheelUp, uvi::kRouteReload, uvi::kUpperLine,
    uvi::kLowerLine, pur::kSelectorUp;

// The folder this program lies in: the simulator's folder.
std::string sim_dir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

std::string installed_module(int unit) { return sim_dir() + "Gauges\\q14_n" + std::to_string(unit) + ".gau"; }

// One text of the module file's version resource ("" when absent).
std::string version_text(const std::string& block, const char* name) {
    UINT len = 0;
    char* text = nullptr;
    const std::string key = "\\StringFileInfo\\040904B0\\" + std::string(name);
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &len) || !text) return "";
    return std::string(text, len > 0 ? len - 1 : 0);
}

TEST(InstalledPackage, BothModulesCarryTheVersion) {
    for (int unit : {1, 2}) {
        SCOPED_TRACE("unit " + std::to_string(unit));
        const std::string file = installed_module(unit);
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
        ASSERT_GT(size, 0u) << file << " has no version resource (error " << GetLastError() << ")";
        std::string block(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
        ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                      fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
        EXPECT_EQ(std::string(numbers), std::string(Q14_VERSION) + ".0");
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

        EXPECT_EQ(version_text(block, "FileVersion"), Q14_VERSION);
        EXPECT_EQ(version_text(block, "ProductVersion"), Q14_VERSION);
        EXPECT_EQ(version_text(block, "OriginalFilename"), "q14_n" + std::to_string(unit) + ".gau");
        EXPECT_EQ(version_text(block, "InternalName"), "q14_n" + std::to_string(unit));
        EXPECT_EQ(version_text(block, "ProductName"), "q14 navigation units");
        EXPECT_EQ(version_text(block, "CompanyName"), "q14 project");
        EXPECT_EQ(version_text(block, "LegalCopyright"), "Copyright (c) 2026 the q14 authors, MIT licence");
        const std::string description = version_text(block, "FileDescription");
        EXPECT_NE(description.find("navigation unit " + std::to_string(unit)), std::string::npos) << description;
        if (const char* edition = std::getenv("Q14_EDITION")) {
            EXPECT_NE(description.find("(" + std::string(edition) + ")"), std::string::npos) << description;
        }
    }
}

// The bytes of bitmap resource `id` of a loaded module ("" when it has none).
std::string bitmap_resource(HMODULE module, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (!found) return "";
    HGLOBAL loaded = LoadResource(module, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(module, found)) : "";
}

// One edition throughout: both units carry the same panel bitmaps, the whole artwork.
TEST(InstalledPackage, BothModulesCarryTheSameBitmaps) {
    HMODULE units[2] = {LoadLibraryExA(installed_module(1).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE),
                        LoadLibraryExA(installed_module(2).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
    ASSERT_TRUE(units[0] && units[1]);
    int found = 0;
    for (int id = 4096; id <= 4805; ++id) {
        std::string one = bitmap_resource(units[0], id), two = bitmap_resource(units[1], id);
        EXPECT_EQ(one, two) << "bitmap " << id;
        found += !one.empty();
    }
    EXPECT_EQ(found, 47);
    for (HMODULE m : units) FreeLibrary(m);
}

// Both units from Gauges\, each on the PPM page in the alignment: the route reload corner
// brings waypoint 1 of route 0 from Gauges\q14_cfg\q14_ppm.cfg, the file the package ships.
TEST(InstalledPackage, UnitsReadTheShippedRouteFile) {
    host_reset();
    HostModule* units[2] = {host_open(installed_module(1)), host_open(installed_module(2))};
    ASSERT_TRUE(units[0] && units[1]) << host_last_error();
    host_frames(2);
    for (HostModule* m : units)
        for (int i = 0; i < 2; ++i) host_click(m, kPur, kSelectorUp);  // OBOGR, then VYST
    host_frames(185);                                                 // past the warm-up
    for (HostModule* m : units) {
        for (int i = 0; i < 9; ++i) host_click(m, kUvi, kModeDown);
        for (int i = 1; i < 4; ++i) host_click(m, kUvi, kModeUp);  // page 4, PPM
        for (int i = 0; i < 9; ++i) host_click(m, kUvi, kWheelDown);
        host_click(m, kUvi, kWheelUp);  // waypoint 1
    }
    host_frames(2);
    for (int u = 0; u < 2; ++u) {
        SCOPED_TRACE("unit " + std::to_string(u + 1));
        EXPECT_NE(host_element_text(units[u], kUvi, kUpperLine), "  55*58,4'") << "not before the reload";
        host_click(units[u], kUvi, kRouteReload);
    }
    host_frames(2);
    for (int u = 0; u < 2; ++u) {
        SCOPED_TRACE("unit " + std::to_string(u + 1));
        // ppm_01=55*58.4,37*24.9 in the sample file.
        EXPECT_EQ(host_element_text(units[u], kUvi, kUpperLine), "  55*58,4'");
        EXPECT_EQ(host_element_text(units[u], kUvi, kLowerLine), " 037*24,9'");
    }
    host_reset();
}

}  // namespace
