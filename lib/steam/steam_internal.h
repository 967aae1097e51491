#pragma once

// The Steam locator's steps, for its own source and its tests only.

#include <string>

#include "filesystem/path.h"

namespace lumo::util {

// library\steamapps\common\installdir as the library's appmanifest_<appId>.acf names it, or
// an empty path. Does not test that the folder exists.
lumo::filesystem::path findAppInSteamLibrary(const lumo::filesystem::path& library, const std::string& appId);

// The location registered under `valueName` of `keyPath`: the folder text as stored, or the
// lowercased full path of `exeName` beside the stored file, or "". Tries the default
// registry view, then the 32-bit view without double quotes. On POSIX, when neither yields
// Steam's location, Steam's own Linux folders are tried.
std::string locateInstalledProgram(const std::string& keyPath, const std::string& valueName,
                                   const std::string& exeName);

}  // namespace lumo::util
