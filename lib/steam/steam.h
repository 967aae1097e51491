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

}  // namespace lumo::util
