#include "keybinds/user_files.h"

#include <charconv>
#include <exception>
#include <system_error>

#include "filesystem/operations.h"
#include "steam/steam.h"

namespace lumo::keybinds {

namespace fs = lumo::filesystem;

namespace {

constexpr std::uint64_t kSteamId64Base = 76561197960265728ULL;

}  // namespace

std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64) {
    std::uint64_t id = 0;
    const auto [end, error] = std::from_chars(steamId64.data(), steamId64.data() + steamId64.size(), id);
    if (error != std::errc() || end != steamId64.data() + steamId64.size() || steamId64.empty())
        return std::nullopt;
    if (id < kSteamId64Base || id - kSteamId64Base > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(id - kSteamId64Base);
}

fs::path steamFolderOrEmpty() {
    try {
        const std::string steam = util::findSteamFolder();
        return steam.empty() ? fs::path() : fs::path(steam);
    } catch (const std::exception&) {
        return {};
    }
}

fs::path findUserFile(const fs::path& steam, std::initializer_list<const char*> relative,
                      std::optional<std::uint32_t> preferred) {
    if (steam.empty()) return {};
    try {
        std::error_code ec;
        fs::path newest;
        fs::file_time newestTime = 0;
        const std::wstring preferredFolder = preferred ? std::to_wstring(*preferred) : L"";
        for (const fs::path& account : fs::directory_entries(fs::join(steam, {"userdata"}), ec)) {
            const fs::path candidate = fs::join(account, relative);
            const auto written = fs::last_write_time(candidate);
            if (!written) continue;
            // The account folder's name is the account id.
            const std::wstring_view text = account.native_text();
            if (preferred && text.substr(text.find_last_of(L"\\/") + 1) == preferredFolder) return candidate;
            if (newest.empty() || *written > newestTime) {
                newest = candidate;
                newestTime = *written;
            }
        }
        return newest;
    } catch (const std::exception&) {
        // A Steam folder the path rules refuse holds no file we could open.
        return {};
    }
}

fs::path userFilePath(const fs::path& steam, std::uint32_t account,
                      std::initializer_list<const char*> relative) {
    if (steam.empty()) return {};
    try {
        return fs::join(fs::join(steam, {"userdata"}) / fs::path(std::to_string(account)), relative);
    } catch (const std::exception&) {
        return {};
    }
}

bool WatchedFile::takeNewerTime() {
    if (path.empty()) return false;
    const auto written = fs::last_write_time(path);
    if (!written || !fs::is_newer(*written, time)) return false;
    time = *written;
    return true;
}

}  // namespace lumo::keybinds
