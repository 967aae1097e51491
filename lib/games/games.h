#pragma once

// The games the programs serve and what everyone who names one needs to know of it: its
// program, Steam app id, port, integration file and where each edition reads it, process
// names and the player's binding files. One table (lib/games/games.json, from which CMake
// generates the C++ and shell copies); nothing else writes these facts out again.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::games {

// One release of a game that keeps its files in its own layout (Counter-Strike 2 moved
// CS:GO's csgo/ below game/). Folders are below the game's install folder, '/'-separated.
struct Edition {
    std::string_view title;       // "Counter-Strike 2"
    std::string_view marker;      // a folder only this edition has; "" matches any install
    std::string_view cfgFolder;   // the game's cfg folder, there once the game is installed
    std::string_view subfolder;   // below it, where the integration file goes ("" for none)
    std::span<const std::string_view> wrongFolders;  // where players misplace the file
    std::string_view consoleLog;  // where -condebug writes
};

// Every text of the table is a string literal, so data() of each is NUL-terminated.
struct Game {
    std::string_view key;           // lumo-doctor's --game word: "dota", "cs"
    std::string_view title;         // "Dota 2", "Counter-Strike"
    std::string_view program;       // "heroglow", "roundglow"
    std::string_view appletFolder;  // below applets/, where its Applet_Files are
    std::string_view appId;         // Steam's: "570", "730"
    std::uint16_t port = 0;         // where the program listens for the game's posts
    std::string_view integrationFile;
    std::span<const std::string_view> processNames;  // the game's, without ".exe"
    std::span<const Edition> editions;               // newest first; the last matches any install
    // Below <Steam>/userdata/<account id>/: the files where the game keeps the player's keys,
    // in the order they are searched (lib/keybinds/user_files.cpp says what each is).
    std::span<const std::string_view> playerFiles;
    // Below the game's folder: the game's own binding files (defaults, CS:GO's config.cfg),
    // in the same way.
    std::span<const std::string_view> gameFiles;
    std::string_view launchOption;  // a launch option some systems need to post; "" for none
    std::string_view postsWhen;     // "posts only in a match or a demo"
    bool silentOutsideMatches = false;  // a program with no post yet is no surprise
    bool readsFileAtFirstMap = false;   // the console log names the file only after a map
    bool linuxPostingProblem = false;   // some Linux players' games post nothing
};

// The elements of a '/'-separated relative folder or file ("game/dota/cfg"), for joining
// one by one under whatever path rules the caller uses. Empty for "".
std::vector<std::string> components(std::string_view relative);

// The edition's folder of the integration file: cfgFolder, then subfolder when there is one.
std::string readFolder(const Edition& edition);

// The edition of an install: the first whose marker folder `hasFolder` finds below the game's
// folder (or that has no marker). The table's last edition has none, so one always matches.
const Edition& editionOf(const Game& game, const std::function<bool(std::string_view relative)>& hasFolder);

}  // namespace lumo::games

#include "games/games_table.h"

namespace lumo::games {

// Every game, in the table's order (Dota 2, Counter-Strike).
inline constexpr std::span<const Game> all() { return kGames; }

// The game of `key` ("dota", "cs"); null for none.
const Game* findByKey(std::string_view key);

}  // namespace lumo::games
