#include "lumo_doctor/steam_facts.h"

#include <algorithm>

#include "filesystem/path.h"
#include "io/whole_file.h"
#include "lumo_doctor/vdf.h"
#include "registry/registry.h"
#include "filesystem/user_files.h"
#include "text/strings.h"
#include "steam/steam_locations.h"

namespace lumo::doctor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSteamKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam";

// What a fallback folder is, for the player: Flatpak and Snap installs are told apart.
std::string describeFallback(const std::string& folder) {
    if (folder.find("/.var/app/com.valvesoftware.Steam/") != std::string::npos) return "Flatpak's folder";
    if (folder.find("/snap/steam/") != std::string::npos) return kSnapSource;
    return "Steam's Linux folders";
}

std::string homeFolder() { return utf8(filesystem::environment_path("HOME")); }

}  // namespace

fs::path pathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool isFolder(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec);
}

std::string readText(const fs::path& file) {
    std::error_code ec;
    const filesystem::path shared = filesystem::path_from_utf8(utf8(file), ec);
    if (ec) return {};
    return util::readSharedFile(shared).value_or(std::string());
}

SteamRoot locateSteam() {
    for (const int view : {0, util::kRegistryView32}) {
        std::string text = util::readRegistryString(kSteamKey, "InstallPath", view);
        std::erase(text, '"');
        if (text.empty()) continue;
        fs::path folder = pathFromUtf8(text);
        if (!isFolder(folder)) folder = folder.parent_path();  // it may name Steam.exe
        if (isFolder(folder)) {
            return {folder, std::string("the registry (") + kSteamKey + "\\InstallPath" +
                                (view == 0 ? "" : ", 32-bit view") + ")"};
        }
    }
    std::vector<std::string> candidates = util::steamFallbackLocations();
    if (!candidates.empty()) {
        const std::string home = homeFolder();
        if (!home.empty()) candidates.push_back(home + "/snap/steam/common/.local/share/Steam");
    }
    for (const std::string& candidate : candidates) {
        if (isFolder(pathFromUtf8(candidate))) return {pathFromUtf8(candidate), describeFallback(candidate)};
    }
    return {};
}

std::vector<SteamLibrary> steamLibraries(const fs::path& steam) {
    std::vector<SteamLibrary> libraries{{steam, isFolder(steam)}};
    for (const fs::path& list : {steam / "steamapps" / "libraryfolders.vdf", steam / "config" / "libraryfolders.vdf"}) {
        const VdfResult parsed = parseVdf(readText(list));
        const VdfNode* folders = parsed.root.child("libraryfolders");
        if (folders == nullptr) continue;
        std::vector<std::string> paths;
        // Before 2021 a number named the folder; since, a block holds it under "path".
        for (const auto& [key, value] : folders->values) {
            if (util::isNumber(key)) paths.push_back(value);
        }
        for (const auto& [key, block] : folders->children) {
            if (const std::string* path = block.value("path"); util::isNumber(key) && path != nullptr) paths.push_back(*path);
        }
        for (const std::string& text : paths) {
            const fs::path folder = pathFromUtf8(text);
            const bool known = std::any_of(libraries.begin(), libraries.end(), [&](const SteamLibrary& library) {
                std::error_code ec;
                return library.folder == folder || fs::equivalent(library.folder, folder, ec);
            });
            if (!known) libraries.push_back({folder, isFolder(folder)});
        }
    }
    return libraries;
}

std::optional<GameInstall> findGame(const std::vector<SteamLibrary>& libraries, const std::string& appId) {
    for (const SteamLibrary& library : libraries) {
        if (!library.present) continue;
        const fs::path manifest = library.folder / "steamapps" / ("appmanifest_" + appId + ".acf");
        std::error_code ec;
        if (!fs::is_regular_file(manifest, ec)) continue;
        const VdfResult parsed = parseVdf(readText(manifest));
        const VdfNode* state = parsed.root.child("AppState");
        const std::string* installDir = state == nullptr ? nullptr : state->value("installdir");
        if (installDir == nullptr || installDir->empty()) continue;
        GameInstall game{library.folder, *installDir, library.folder / "steamapps" / "common" / pathFromUtf8(*installDir)};
        game.folderPresent = isFolder(game.folder);
        return game;
    }
    return std::nullopt;
}

}  // namespace lumo::doctor
