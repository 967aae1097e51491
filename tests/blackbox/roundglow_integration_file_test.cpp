// roundglow installs its integration file where the installed game reads it: Counter-Strike 2
// under game/csgo/cfg, CS:GO under csgo/cfg.
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "fake_steam.h"
#include "program_run.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFileName = "gamestate_integration_kelvaron.cfg";
constexpr const char* kNotInstalled = "Could not install the integration config file \n";
const fs::path kShipped = fs::path(ROUNDGLOW_SOURCE_DIR) / "Applet_Files";

// Standard output once start-up has ended; standard error into `errors` when given.
std::string startAndOutput(const FakeSteam& steam, std::string* errors = nullptr) {
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    EXPECT_TRUE(run.waitUntilListening());
    EXPECT_TRUE(run.waitForOutput("Server connected\n\n"));
    run.post(R"({"player": {"activity": "menu"}})");  // start-up has ended by the first post
    if (errors != nullptr) *errors = run.errors();
    return run.output();
}

TEST(RoundglowIntegrationFile, ShippedFileKeepsTheGamePostingHere) {
    const std::string text = readTestData(kShipped, kFileName);
    for (const char* line :
         {"\"uri\"\t\t\"http://127.0.0.1:5000/\"", "\"heartbeat\"\t\"1.0\"", "\"provider\"", "\"map\"",
          "\"round\"", "\"player_id\"", "\"player_state\"", "\"player_weapons\""}) {
        SCOPED_TRACE(line);
        EXPECT_NE(text.find(line), std::string::npos);
    }
}

TEST(RoundglowIntegrationFile, InstalledIntoTheFolderTheGameReads) {
    for (const bool cs2 : {true, false}) {
        SCOPED_TRACE(cs2 ? "Counter-Strike 2" : "CS:GO");
        FakeSteam steam("730", "Counter-Strike Global Offensive");
        const fs::path cs2Cfg = steam.game() / "game" / "csgo" / "cfg";
        const fs::path csgoCfg = steam.game() / "csgo" / "cfg";
        fs::create_directories(csgoCfg);  // CS2 installs keep the old folder too
        if (cs2) fs::create_directories(cs2Cfg);

        const std::string output = startAndOutput(steam);
        EXPECT_EQ(output.find(kNotInstalled), std::string::npos) << output;
        EXPECT_EQ(readFile((cs2 ? cs2Cfg : csgoCfg) / kFileName), readTestData(kShipped, kFileName));
        if (cs2) {
            EXPECT_FALSE(fs::exists(csgoCfg / kFileName));
        }
    }
}

TEST(RoundglowIntegrationFile, PresentFileStaysAndFailuresAreReported) {
    FakeSteam steam("730", "Counter-Strike Global Offensive");
    const fs::path cfg = steam.game() / "game" / "csgo" / "cfg";
    writeFile(cfg / kFileName, "\"the player's own\"\n{\n}\n");
    EXPECT_EQ(startAndOutput(steam).find(kNotInstalled), std::string::npos);
    EXPECT_EQ(readFile(cfg / kFileName), "\"the player's own\"\n{\n}\n");

    // No cfg folder (the game never ran), and a folder where the file should go.
    FakeSteam neverRan("730", "Counter-Strike Global Offensive");
    fs::create_directories(neverRan.game() / "game" / "csgo");
    FakeSteam blocked("730", "Counter-Strike Global Offensive");
    fs::create_directories(blocked.game() / "csgo" / "cfg" / kFileName);
    // Why goes to standard error, one line with the path concerned.
    const std::pair<const FakeSteam*, const char*> failures[] = {
        {&neverRan, "roundglow: the game's cfg folder \""},
        {&blocked, "roundglow: cannot write \""},
    };
    for (const auto& [failing, reason] : failures) {
        SCOPED_TRACE(reason);
        std::string errors;
        const std::string output = startAndOutput(*failing, &errors);
        EXPECT_NE(output.find(kNotInstalled), std::string::npos) << output;
        EXPECT_NE(errors.find(reason), std::string::npos) << errors;
    }
    EXPECT_FALSE(fs::exists(neverRan.game() / "game" / "csgo" / "cfg")) << "the game's folders are its own";

    // Without the game nothing is installed and nothing said about it.
    FakeSteam noGame("570", "dota 2 beta");
    std::string errors;
    EXPECT_EQ(startAndOutput(noGame, &errors).find(kNotInstalled), std::string::npos);
    EXPECT_EQ(errors.find("roundglow: "), std::string::npos) << errors;
}

}  // namespace
}  // namespace lumo::test
