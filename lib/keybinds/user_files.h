#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "filesystem/file_time.h"
#include "filesystem/path.h"

namespace lumo::keybinds {

// The files in which a Steam game keeps a player's key bindings, below
// <Steam>/userdata/<account id>/, and the watch that tells when the game saved one again.

// The 32-bit account id (the userdata folder's name) of a SteamID64 text
// ("76561198034276409" -> 74010681); nullopt for text that is not one.
std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64);

// Steam's own folder as the locator finds it; an empty path when it is not found or cannot be
// examined. Never throws.
filesystem::path steamFolderOrEmpty();

// `relative` below the userdata folder of account `preferred` when that account has the file,
// else of the account that wrote its copy last; an empty path when no account has one (or
// `steam` is empty). Never throws.
filesystem::path findUserFile(const filesystem::path& steam, std::initializer_list<const char*> relative,
                              std::optional<std::uint32_t> preferred);

// `relative` below the userdata folder of `account`, whether the file exists or not; an empty
// path when `steam` is empty. Never throws.
filesystem::path userFilePath(const filesystem::path& steam, std::uint32_t account,
                              std::initializer_list<const char*> relative);

// A file read whenever the game saves it: its path (empty for none) and its last-write time
// when last read (0 before the first read).
struct WatchedFile {
    filesystem::path path;
    filesystem::file_time time = 0;

    // True when the file's last-write time is strictly later than the stored one, which it
    // then replaces; false for no path, a missing file or an unreadable time.
    bool takeNewerTime();
};

}  // namespace lumo::keybinds
