#include "keybinds/user_files.h"

#include <charconv>
#include <exception>
#include <iostream>
#include <set>
#include <string_view>
#include <system_error>

#include "steam/integration_file.h"
#include "steam/steam.h"

namespace lumo::keybinds {

namespace fs = lumo::filesystem;

namespace {

constexpr std::uint64_t kSteamId64Base = 76561197960265728ULL;

// Text from Steam's files as a path; empty, and said once, when it is not UTF-8.
fs::path pathOfText(const std::string& text, const char* what) {
    std::error_code ec;
    fs::path result = fs::path_from_utf8(text, ec);
    if (ec) reportOnce(std::string("Could not use ") + what + ": its name is not UTF-8 text");
    return result;
}

}  // namespace

// The table lists Counter-Strike's files in the order they are searched: the game's files are
// Counter-Strike 2's defaults, then config.cfg in CS:GO's and in Counter-Strike 2's layout;
// the player's are Counter-Strike 2's keys, then the account's copy of config.cfg.
FilePlace csConfigPlace(const fs::path& game) {
    const games::Game& cs = games::kCounterStrike;
    FilePlace place{{}, fs::join({}, cs.playerFiles[1])};
    if (!game.empty()) {
        for (const std::string_view file : cs.gameFiles.subspan(1)) place.fixed.push_back(fs::join(game, file));
    }
    return place;
}

FilePlace cs2DefaultKeysPlace(const fs::path& game) {
    if (game.empty()) return {};
    return {{fs::join(game, games::kCounterStrike.gameFiles[0])}, {}};
}

FilePlace cs2UserKeysPlace() { return {{}, fs::join({}, games::kCounterStrike.playerFiles[0])}; }

FilePlace dotaHotkeysPlace() { return {{}, fs::join({}, games::kDota.playerFiles[0])}; }

std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64) {
    std::uint64_t id = 0;
    const auto [end, error] = std::from_chars(steamId64.data(), steamId64.data() + steamId64.size(), id);
    if (error != std::errc() || end != steamId64.data() + steamId64.size() || steamId64.empty())
        return std::nullopt;
    if (id < kSteamId64Base || id - kSteamId64Base > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(id - kSteamId64Base);
}

fs::path steamFolderOrEmpty() {
    std::string steam;
    try {
        steam = util::findSteamFolder();
    } catch (const std::exception& error) {
        reportOnce(std::string("Could not look for Steam's folder: ") + error.what());
        return {};
    }
    return pathOfText(steam, "Steam's folder");
}

fs::path gameFolderOrEmpty(const games::Game& game) {
    // Why Steam's files could not be read is said where the integration file is installed.
    return pathOfText(util::findSteamAppFolderOrEmpty(std::string(game.appId)), "the game's folder");
}

void reportOnce(const std::string& line) {
    static std::set<std::string> reported;
    if (reported.insert(line).second) std::cout << line << std::endl;
}

std::string quoted(const fs::path& p) {
    try {
        // Appended rather than "\"" + p.string(): GCC 12 warns falsely of overlap on the latter.
        std::string text = "\"";
        text += p.string();
        text += '"';
        return text;
    } catch (const std::exception&) {
        return "(a path without a UTF-8 form)";
    }
}

}  // namespace lumo::keybinds
