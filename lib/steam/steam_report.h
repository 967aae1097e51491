#pragma once

// The Steam locator telling its steps: where Steam is and how it was found, every library
// Steam records with whether the programs search it, and where a game sits. A tool that
// explains the programs' answer asks here rather than searching on its own, so the two
// cannot disagree.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "filesystem/path.h"

namespace lumo::util {

// The registry key whose "InstallPath" names Steam's folder.
inline constexpr const char* kSteamRegistryKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam";

// How Steam's folder was found: the registry's 64-bit or 32-bit view, Steam's Linux folders,
// Flatpak's folder (both searched by the programs), or Snap's folder (not searched).
enum class SteamSource { none, registry, registry32, linuxFolders, flatpak, snap };

struct SteamLibrary {
    filesystem::path folder;  // as Steam records it, doubled backslashes collapsed
    bool present = false;     // a folder at the time of the report
    bool searched = false;    // findSteamAppFolder looks for games here
    // Why it is not searched, for the player ("" when it is): "recorded only in
    // config/libraryfolders.vdf", "written in the layout before 2021", "after a gap in the
    // numbering of steamapps/libraryfolders.vdf", "Steam was found only in Snap's folder".
    std::string notSearchedBecause;
};

struct SteamReport {
    filesystem::path root;  // Steam's own folder; empty when not found
    SteamSource source = SteamSource::none;
    // Steam's own folder first, then the libraries of steamapps/libraryfolders.vdf in the
    // order of their numbers, then those only config/libraryfolders.vdf records; each once.
    std::vector<SteamLibrary> libraries;
    // What could not be examined or read on the way, one line each naming the path.
    std::vector<std::string> problems;
};

// Steam as findSteamAppFolder finds it (Snap's folder last, which it does not search), with
// the libraries of both of Steam's library files in both layouts. Never throws.
SteamReport reportSteam();

// The libraries of the Steam folder `root`, found by `source` (reportSteam's second half).
// Never throws.
SteamReport reportSteamAt(const filesystem::path& root, SteamSource source);

struct SteamGame {
    std::size_t library = 0;  // index into SteamReport::libraries
    std::string installDir;   // as the app manifest names it
    filesystem::path folder;  // library\steamapps\common\installdir
    bool present = false;     // the folder exists
    bool foundByPrograms = false;  // findSteamAppFolder answers this folder
};

// Where Steam app `appId` sits among `steam`'s libraries: the folder findSteamAppFolder
// finds when it finds one; else the first library (searched ones first) whose manifest names
// an existing folder; else the first whose manifest names a missing one; nullopt when no
// manifest names it. Problems met are added to `steam.problems`. Never throws.
std::optional<SteamGame> reportGame(SteamReport& steam, const std::string& appId);

}  // namespace lumo::util
