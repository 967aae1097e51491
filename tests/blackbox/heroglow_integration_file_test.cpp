// Installation of the game-state integration file into fake Steam trees.
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "dota_steam.h"
#include "program_run.h"
#include "text.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

std::string shippedFile() { return readTestData(appletFilesFolder(), kFileName); }

TEST(HeroglowIntegrationFile, ShippedFileTellsTheGameToPostHere) {
    const std::string text = shippedFile();
    for (const char* line : {"\"uri\"", "\"http://127.0.0.1:3002/\"", "\"provider\"", "\"map\"", "\"player\"",
                             "\"hero\"", "\"abilities\"", "\"items\""}) {
        SCOPED_TRACE(line);
        EXPECT_NE(text.find(line), std::string::npos);
    }
}

TEST(HeroglowIntegrationFile, InstalledWhenMissing) {
    struct Case {
        const char* name;
        std::string installDir;
    };
    const Case cases[] = {
        {"usual folder", "dota 2 beta"},
        {"folder name beyond ASCII", "Dötä 2 — ベータ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DotaSteam steam(c.installDir);
        ASSERT_FALSE(fs::exists(steam.cfg() / "gamestate_integration"));
        ProgramRun run(heroglowSetup({.extraRegistry = steam.registry()}));
        ASSERT_TRUE(run.waitUntilListening());

        EXPECT_EQ(run.output().find(kNotInstalled), std::string::npos) << run.output();
        ASSERT_TRUE(fs::is_regular_file(steam.target()));
        EXPECT_EQ(readFile(steam.target()), shippedFile());
    }
}

// The working folder's Applet_Files comes first; without one, the copy beside the program.
TEST(HeroglowIntegrationFile, SourceFollowsWorkingFolderThenProgramFolder) {
    TempFolder elsewhere("heroglow-cwd");
    {
        DotaSteam steam;
        ProgramRun run(
            heroglowSetup({.extraRegistry = steam.registry(), .workingDirectory = elsewhere.path()}));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_EQ(readFile(steam.target()), shippedFile());
    }
    {
        writeFile(elsewhere.path() / "Applet_Files" / kFileName, "\"local copy\"\n{\n}\n");
        DotaSteam steam;
        ProgramRun run(
            heroglowSetup({.extraRegistry = steam.registry(), .workingDirectory = elsewhere.path()}));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_EQ(readFile(steam.target()), "\"local copy\"\n{\n}\n");
    }
}

TEST(HeroglowIntegrationFile, PresentFileIsLeftAlone) {
    for (const std::string& content :
         {std::string(), std::string("\"mine\"\n{\n\t\"uri\" \"http://127.0.0.1:4000/\"\n}\n")}) {
        SCOPED_TRACE(content.empty() ? "empty file" : "other content");
        DotaSteam steam;
        writeFile(steam.target(), content);
        ProgramRun run(heroglowSetup({.extraRegistry = steam.registry()}));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_EQ(run.output().find(kNotInstalled), std::string::npos);
        EXPECT_EQ(readFile(steam.target()), content);
    }
}

TEST(HeroglowIntegrationFile, ReportedWhenItCannotBeInstalled) {
    DotaSteam withoutCfg("dota 2 beta", false);
    DotaSteam noDota;
    fs::remove(noDota.steam() / "steamapps" / "appmanifest_570.acf");
    DotaSteam brokenManifest;
    writeFile(brokenManifest.steam() / "steamapps" / "appmanifest_570.acf",
              "\"AppState\"\n{\n\t\"installdir\"\t\"\xff\xfe\"\n}\n");

    // `reason`: the start of the one line on standard error that says why; null when a game
    // that is simply not there needs no more words.
    struct Case {
        const char* name;
        std::string registry;
        const char* reason;
    };
    const Case cases[] = {
        {"no Steam", "", nullptr},
        {"Steam without Dota 2", noDota.registry(), nullptr},
        {"game without cfg folder", withoutCfg.registry(), "heroglow: the game's cfg folder \""},
        {"manifest naming a folder that is not UTF-8", brokenManifest.registry(),
         "heroglow: Steam's files could not be read looking for app 570: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run(heroglowSetup({.extraRegistry = c.registry}));
        ASSERT_TRUE(run.waitUntilListening()) << "start-up goes on";
        EXPECT_TRUE(run.output().starts_with(kNotInstalled)) << run.output();
        const std::string errors = run.errors();
        const std::size_t line = errors.find("heroglow: ");
        if (c.reason == nullptr) {
            EXPECT_EQ(line, std::string::npos) << errors;
        } else {
            ASSERT_NE(line, std::string::npos) << errors;
            EXPECT_EQ(errors.substr(line, std::string_view(c.reason).size()), c.reason) << errors;
            EXPECT_EQ(errors.find("heroglow: ", line + 1), std::string::npos) << "one line: " << errors;
        }
    }
    EXPECT_FALSE(fs::exists(withoutCfg.cfg())) << "no folder above gamestate_integration is made";
}

}  // namespace
}  // namespace lumo::test
