#include "steam/steam.h"

#include <string>
#include <string_view>
#include <system_error>

#include "filesystem/operations.h"
#include "text/ascii.h"
#include "steam/keyvalues.h"
#include "registry/registry.h"
#include "steam/steam_internal.h"
#include "steam/steam_locations.h"
#include "text/strings.h"

namespace lumo::util {

namespace fs = lumo::filesystem;

namespace {

constexpr const char* kSteamKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam";
constexpr const char* kSteamValue = "InstallPath";
constexpr const char* kSteamExe = "Steam.exe";

// The stored text when it names a folder, else the lowercased path of `exeName` in the
// folder of the stored file, else "".
std::string locationFromStoredText(const std::string& text, const std::string& exeName) {
    if (text.empty()) return {};
    if (fs::is_directory(fs::path(text))) return text;
    fs::path exe(text);
    if (exe.has_filename()) exe.remove_filename();
    exe += fs::path(exeName);
    if (fs::exists(exe)) return lowercaseAscii(exe.string());
    return {};
}

// Steam's own folders, for systems where the registry stand-in does not know Steam. A
// candidate that cannot be examined is passed over: it is only a guess.
std::string firstExistingFallbackFolder() {
    for (const std::string& candidate : steamFallbackLocations()) {
        try {
            if (fs::is_directory(fs::path(candidate))) return candidate;
        } catch (const fs::filesystem_error&) {
        }
    }
    return {};
}

// The candidate's text when it exists; an error other than not-found is reported through
// `ec` so the caller can decide whether to go on.
std::string existingFolderText(const fs::path& candidate, std::error_code& ec) {
    ec.clear();
    if (candidate.empty()) return {};
    if (fs::exists(candidate, ec)) return candidate.string();
    return {};
}

}  // namespace

std::string locateInstalledProgram(const std::string& keyPath, const std::string& valueName,
                                   const std::string& exeName) {
    std::string location = locationFromStoredText(readRegistryString(keyPath, valueName, 0), exeName);
    if (!location.empty()) return location;

    // The 32-bit view holds the value that older installers wrote, sometimes quoted.
    std::string text32 = readRegistryString(keyPath, valueName, kRegistryView32);
    std::erase(text32, '"');
    location = locationFromStoredText(text32, exeName);
    if (!location.empty()) return location;

    if (equalsIgnoringAsciiCase(keyPath, kSteamKey) && equalsIgnoringAsciiCase(valueName, kSteamValue)) {
        return firstExistingFallbackFolder();
    }
    return {};
}

fs::path findAppInSteamLibrary(const fs::path& library, const std::string& appId) {
    const fs::path steamapps = library / fs::path("steamapps");
    const fs::path manifest = steamapps / fs::path("appmanifest_" + appId + ".acf");
    std::error_code ec;
    if (!fs::exists(manifest, ec)) return {};

    KeyValues root;
    root.parseFile(manifest.string());
    if (!root.has("AppState")) return {};
    const std::string installDir = root.child("AppState").value("installdir");
    if (installDir.empty()) return {};

    // Only the manifest's part is normalised; the library text is kept as Steam gave it.
    return steamapps / fs::path("common") / fs::path(replaceAll(installDir, "/", "\\"));
}

std::string findSteamFolder() {
    fs::path steamRoot(locateInstalledProgram(kSteamKey, kSteamValue, kSteamExe));
    std::error_code ec;
    if (steamRoot.empty() || !fs::exists(steamRoot, ec)) return {};
    if (fs::is_regular_file(steamRoot, ec)) steamRoot = steamRoot.parent_path();
    return steamRoot.string();
}

std::string findSteamAppFolder(const std::string& appId) {
    if (!isNumber(appId)) return {};

    const std::string steamFolder = findSteamFolder();
    if (steamFolder.empty()) return {};
    const fs::path steamRoot(steamFolder);
    std::error_code ec;

    std::string found = existingFolderText(findAppInSteamLibrary(steamRoot, appId), ec);
    if (!found.empty()) return found;
    if (ec) return {};  // Steam's own folder could not be examined: do not guess elsewhere.

    const fs::path libraryList = steamRoot / fs::path("steamapps") / fs::path("libraryfolders.vdf");
    if (!fs::exists(libraryList, ec)) return {};
    KeyValues list;
    list.parseFile(libraryList.string());
    if (!list.has("LibraryFolders")) return {};
    const KeyValues libraries = list.child("LibraryFolders");

    // Entry 0 is Steam's own folder, searched above; the numbering ends at the first gap.
    for (int i = 1;; ++i) {
        const std::string key = std::to_string(i);
        if (!libraries.has(key)) break;
        std::string library = libraries.child(key).value("path");
        if (library.empty()) continue;
        // The file stores Windows paths with doubled backslashes; the reader keeps them.
        library = replaceAll(library, "\\\\", "\\");
        found = existingFolderText(findAppInSteamLibrary(fs::path(library), appId), ec);
        if (!found.empty()) return found;
    }
    return {};
}

}  // namespace lumo::util
