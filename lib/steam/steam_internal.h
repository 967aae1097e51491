#pragma once

// The Steam locator's steps, shared by the locator and its report, for their sources and
// tests only.

#include <string>
#include <vector>

#include "filesystem/path.h"
#include "steam/keyvalues.h"
#include "steam/steam_report.h"

namespace lumo::util {

inline constexpr const char* kSteamValue = "InstallPath";
inline constexpr const char* kSteamExe = "Steam.exe";

// library\steamapps\common\installdir as the library's appmanifest_<appId>.acf names it, or
// an empty path. Does not test that the folder exists.
lumo::filesystem::path findAppInSteamLibrary(const lumo::filesystem::path& library, const std::string& appId);
// The same, also giving the manifest's installdir text (left untouched when there is none).
lumo::filesystem::path findAppInSteamLibrary(const lumo::filesystem::path& library, const std::string& appId,
                                             std::string& installDir);

// The location registered under `valueName` of `keyPath`: the folder text as stored, or the
// lowercased full path of `exeName` beside the stored file, or "". Tries the default
// registry view, then the 32-bit view without double quotes. On POSIX, when neither yields
// Steam's location, Steam's own Linux folders are tried.
std::string locateInstalledProgram(const std::string& keyPath, const std::string& valueName,
                                   const std::string& exeName);

// The registry steps of locateInstalledProgram alone; `source` tells which view answered
// (untouched when none did). Throws as locateInstalledProgram does.
std::string locateRegistered(const std::string& keyPath, const std::string& valueName, const std::string& exeName,
                             SteamSource& source);

// The first of Steam's fallback folders that is a folder, or "". A candidate that cannot be
// examined is passed over, and why goes to `problems` when given. Never throws.
std::string firstExistingFallbackFolder(SteamSource& source, std::vector<std::string>* problems);

// The library texts that findSteamAppFolder searches after Steam's own folder, in its order:
// the "path" of the numbered blocks 1, 2, ... of the LibraryFolders block, up to the first
// number without an entry, with doubled backslashes collapsed.
std::vector<std::string> searchedLibraryTexts(const KeyValues& libraryFolders);

}  // namespace lumo::util
