#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filesystem/path.h"
#include "games/games.h"
#include "keybinds/player_file.h"

namespace lumo::keybinds {

// Where the games keep the player's key bindings (the games table names the files), and what
// both programs need to find them below Steam's folder.

// config.cfg: <game>\csgo\cfg, else <game>\game\csgo\cfg, else the account's 730\local\cfg.
// An empty `game` leaves only the account's copy.
FilePlace csConfigPlace(const filesystem::path& game);
// <game>\game\csgo\cfg\user_keys_default.vcfg; nowhere for an empty `game`.
FilePlace cs2DefaultKeysPlace(const filesystem::path& game);
// The account's 730\local\cfg\cs2_user_keys_0_slot0.vcfg.
FilePlace cs2UserKeysPlace();
// The account's 570\remote\cfg\dotakeys_personal.lst.
FilePlace dotaHotkeysPlace();

// The 32-bit account id (the userdata folder's name) of a SteamID64 text
// ("76561198034276409" -> 74010681); nullopt for text that is not one.
std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64);

// Steam's own folder as the locator finds it; an empty path when it is not found, and also
// when it cannot be examined, which is said once on standard output. Never throws.
filesystem::path steamFolderOrEmpty();

// A game's install folder as the locator finds it; an empty path when it is not
// found, and also when Steam's files cannot be read, which is said once. Never throws.
filesystem::path gameFolderOrEmpty(const games::Game& game);

// Says `line` on standard output the first time it comes, so that a lasting cause is named
// once and not at every post.
void reportOnce(const std::string& line);

// The path as the messages show it, in double quotes.
std::string quoted(const filesystem::path& p);

}  // namespace lumo::keybinds
