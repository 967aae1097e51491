#pragma once

#include <string>

#include "filesystem/path.h"

namespace lumo::util {

// The install folder of Steam app `appId` ("570", "730") as UTF-8, in the form
// library\steamapps\common\installdir: a folder that existed during the call; "" when the
// id is not a number or the game is not found. Searches Steam's own folder, then the
// libraries of libraryfolders.vdf in numeric order up to the first gap. Lets
// BinaryStreamException, filesystem_error and std::system_error (invalid UTF-8 in a path)
// through.
std::string findSteamAppFolder(const std::string& appId);

// Steam's own folder as UTF-8 (where userdata and steamapps live), the way
// findSteamAppFolder finds it: the registry's InstallPath (or the folder of the Steam.exe it
// names), then on POSIX Steam's Linux folders. "" when none exists. Lets the same
// exceptions through.
std::string findSteamFolder();

// library\steamapps\common\installdir as the library's appmanifest_<appId>.acf names it, or
// an empty path. Does not test that the folder exists.
lumo::filesystem::path findAppInSteamLibrary(const lumo::filesystem::path& library, const std::string& appId);

// The location registered under `valueName` of `keyPath`: the folder text as stored, or the
// lowercased full path of `exeName` beside the stored file, or "". Tries the default
// registry view, then the 32-bit view without double quotes. On POSIX, when neither yields
// Steam's location, Steam's own Linux folders are tried.
std::string locateInstalledProgram(const std::string& keyPath, const std::string& valueName,
                                   const std::string& exeName);

// True when strtod consumes the whole text and it starts with neither white space nor a letter.
bool isNumber(const std::string& text);

// Every occurrence of `from` (never empty) replaced by `to`; inserted text is not searched again.
std::string replaceAll(std::string text, const char* from, const char* to);

}  // namespace lumo::util
