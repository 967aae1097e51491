#include "games/games.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace lumo::games {
namespace {

// NAME='value' lines of the shell copy.
std::map<std::string, std::string> shellCopy() {
    std::ifstream in(LUMO_GAMES_SHELL);
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find("='");
        if (equals != std::string::npos && line.back() == '\'')
            values[line.substr(0, equals)] = line.substr(equals + 2, line.size() - equals - 3);
    }
    return values;
}

TEST(GamesTable, EveryCopyNamesTheSameGames) {
    const std::map<std::string, std::string> shell = shellCopy();
    std::string programs;
    for (const Game& game : all()) {
        SCOPED_TRACE(game.key);
        const std::string program(game.program);
        programs += " " + program;
        EXPECT_EQ(shell.at(program + "_appId"), game.appId);
        EXPECT_EQ(shell.at(program + "_port"), std::to_string(game.port));
        EXPECT_EQ(shell.at(program + "_readFolder"), readFolder(game.editions.front()));
        EXPECT_EQ(findByKey(game.key), &game);
        // The program ships its integration file from its applet's folder.
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(LUMO_SOURCE_DIR) / "applets" /
                                                     game.appletFolder / "Applet_Files" / game.integrationFile));
        ASSERT_FALSE(game.editions.empty());
        EXPECT_EQ(game.editions.back().marker, "") << "the last edition must match any install";
    }
    EXPECT_EQ(shell.at("game_programs"), programs);
    EXPECT_EQ(&kDota, findByKey("dota"));
    EXPECT_EQ(findByKey("chess"), nullptr);
}

TEST(GamesTable, RelativeFoldersSplitIntoComponents) {
    const struct {
        std::string_view text;
        std::vector<std::string> parts;
    } cases[] = {
        {"", {}},
        {"cfg", {"cfg"}},
        {"game/dota/cfg", {"game", "dota", "cfg"}},
        {"/game//csgo/", {"game", "csgo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(components(c.text), c.parts);
    }
    EXPECT_EQ(readFolder(kDota.editions.front()), "game/dota/cfg/gamestate_integration");
    EXPECT_EQ(readFolder(kCounterStrike.editions.back()), "csgo/cfg");
}

}  // namespace
}  // namespace lumo::games
