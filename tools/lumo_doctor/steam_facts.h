#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where Steam and a game are, found the way the programs find them but telling how.

namespace lumo::doctor {

// A path from UTF-8 text and back, alike on every system.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8(const std::filesystem::path& path);

// An existing folder; false for an empty path or one that cannot be examined.
bool isFolder(const std::filesystem::path& folder);

// The whole file, read shared with a game that may be saving it; "" when it cannot be read.
std::string readText(const std::filesystem::path& file);

inline constexpr const char* kSnapSource = "Snap's folder";

struct SteamRoot {
    std::filesystem::path folder;  // empty when Steam was not found
    std::string foundBy;           // "the registry (...)", "Steam's Linux folders", "Flatpak's folder", kSnapSource
};

// The registry's InstallPath as the programs read it (the 64-bit view, then the 32-bit one),
// then Steam's fallback folders, the Snap folder last (the programs do not look there, which
// the doctor then says).
SteamRoot locateSteam();

struct SteamLibrary {
    std::filesystem::path folder;
    bool present = false;
};

// Steam's own folder first, then each library libraryfolders.vdf names (the layouts before
// and after 2021; steamapps/ and config/), without repeats.
std::vector<SteamLibrary> steamLibraries(const std::filesystem::path& steam);

struct GameInstall {
    std::filesystem::path library;
    std::string installDir;         // as the app manifest names it
    std::filesystem::path folder;   // library/steamapps/common/installDir
    bool folderPresent = false;
};

// The first present library holding appmanifest_<appId>.acf with an installdir.
std::optional<GameInstall> findGame(const std::vector<SteamLibrary>& libraries, const std::string& appId);

}  // namespace lumo::doctor
