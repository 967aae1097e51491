#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "games/games.h"

// The programs' only command line: --version and --help. Without arguments a program runs
// as it always has; these two answer and end, so a player (or a packaging check) can ask an
// installed program what it is without starting it.

namespace lumo::command_line {

// What --help tells about one program.
struct ProgramFacts {
    std::string_view name;             // "heroglow"
    std::string_view game;             // "Dota 2"
    std::uint16_t port = 0;            // its game-state port
    std::string_view integrationFile;  // the game's integration file it installs
    std::string integrationFolder;     // where it puts it: "game/csgo/cfg/"
    std::string_view doctorGame;       // the game word lumo-doctor's --game takes
    std::string_view moreEnvironment;  // further "  NAME  meaning\n" lines, or ""
};

// The facts of `game`'s program as the games table has them (the newest edition's folder).
ProgramFacts programFacts(const games::Game& game, std::string_view moreEnvironment);

// "heroglow 0.1"
std::string versionLine(std::string_view program);

// One screen: what the program does, its port and files (this user's actual locations),
// the environment variables it reads and where to look when nothing lights.
std::string helpText(const ProgramFacts& program);

// The arguments after the program's name, as main() has them. None: nothing is written and
// the result is empty, the program runs. "--version" or "--help" alone: the answer on `out`,
// result 0. Anything else: what was wrong and the usage on `err`, result 2.
std::optional<int> answerArguments(int argc, const char* const* argv, const ProgramFacts& program,
                                   std::ostream& out, std::ostream& err);

}  // namespace lumo::command_line
