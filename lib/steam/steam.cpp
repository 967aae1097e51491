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
#include "steam/steam_report.h"
#include "text/strings.h"

namespace lumo::util {

namespace fs = lumo::filesystem;

namespace {

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

SteamSource fallbackSource(const std::string& folder) {
    return folder.find("/.var/app/com.valvesoftware.Steam/") != std::string::npos ? SteamSource::flatpak
                                                                                 : SteamSource::linuxFolders;
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

std::string locateRegistered(const std::string& keyPath, const std::string& valueName, const std::string& exeName,
                             SteamSource& source) {
    std::string location = locationFromStoredText(readRegistryString(keyPath, valueName, 0), exeName);
    if (!location.empty()) {
        source = SteamSource::registry;
        return location;
    }

    // The 32-bit view holds the value that older installers wrote, sometimes quoted.
    std::string text32 = readRegistryString(keyPath, valueName, kRegistryView32);
    std::erase(text32, '"');
    location = locationFromStoredText(text32, exeName);
    if (!location.empty()) source = SteamSource::registry32;
    return location;
}

std::string firstExistingFallbackFolder(SteamSource& source, std::vector<std::string>* problems) {
    // Only guesses: one that cannot be examined is passed over, but the player is told why,
    // since it may well be the Steam they use.
    for (const std::string& candidate : steamFallbackLocations()) {
        std::error_code ec;
        const fs::path folder = fs::path_from_utf8(candidate, ec);
        if (!ec && fs::is_directory(folder, ec)) {
            source = fallbackSource(candidate);
            return candidate;
        }
        if (ec && problems != nullptr) problems->push_back(candidate + " cannot be examined: " + ec.message());
    }
    return {};
}

std::string locateInstalledProgram(const std::string& keyPath, const std::string& valueName,
                                   const std::string& exeName) {
    SteamSource source = SteamSource::none;
    const std::string location = locateRegistered(keyPath, valueName, exeName, source);
    if (!location.empty()) return location;
    if (equalsIgnoringAsciiCase(keyPath, kSteamRegistryKey) && equalsIgnoringAsciiCase(valueName, kSteamValue)) {
        return firstExistingFallbackFolder(source, nullptr);
    }
    return {};
}

fs::path findAppInSteamLibrary(const fs::path& library, const std::string& appId, std::string& installDir) {
    const fs::path steamapps = library / fs::path("steamapps");
    const fs::path manifest = steamapps / fs::path("appmanifest_" + appId + ".acf");
    std::error_code ec;
    if (!fs::exists(manifest, ec)) return {};

    KeyValues root;
    root.parseFile(manifest.string());
    if (!root.has("AppState")) return {};
    const std::string named = root.child("AppState").value("installdir");
    if (named.empty()) return {};
    installDir = named;

    // Only the manifest's part is normalised; the library text is kept as Steam gave it.
    return steamapps / fs::path("common") / fs::path(replaceAll(named, "/", "\\"));
}

fs::path findAppInSteamLibrary(const fs::path& library, const std::string& appId) {
    std::string installDir;
    return findAppInSteamLibrary(library, appId, installDir);
}

std::vector<std::string> searchedLibraryTexts(const KeyValues& libraries) {
    std::vector<std::string> texts;
    // Entry 0 is Steam's own folder, searched first; the numbering ends at the first gap.
    for (int i = 1;; ++i) {
        const std::string key = std::to_string(i);
        if (!libraries.has(key)) break;
        const std::string library = libraries.child(key).value("path");
        // The file stores Windows paths with doubled backslashes; the reader keeps them.
        if (!library.empty()) texts.push_back(replaceAll(library, "\\\\", "\\"));
    }
    return texts;
}

std::string findSteamFolder() {
    fs::path steamRoot(locateInstalledProgram(kSteamRegistryKey, kSteamValue, kSteamExe));
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

    for (const std::string& library : searchedLibraryTexts(list.child("LibraryFolders"))) {
        found = existingFolderText(findAppInSteamLibrary(fs::path(library), appId), ec);
        if (!found.empty()) return found;
    }
    return {};
}

}  // namespace lumo::util
