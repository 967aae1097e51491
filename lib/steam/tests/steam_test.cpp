#include "steam/steam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "steam/steam_internal.h"
#include "steam_locator.h"

namespace lumo::util {
namespace {

TEST_F(SteamLocator, SteamsOwnFolderIsSearchedBeforeTheLibraries) {
    registerSteam(at("steam"));
    makeDotaLibrary("steam");
    makeDotaLibrary("lib1");
    writeFile("steam/steamapps/libraryfolders.vdf", libraryFolders({{"0", at("steam")}, {"1", at("lib1")}}));

    EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(at("steam")));
}

TEST_F(SteamLocator, LibrariesAreSearchedInNumericOrder) {
    registerSteam(at("steam"));
    makeFolder("steam/steamapps");
    std::vector<std::pair<std::string, std::string>> libraries = {{"0", at("steam")}};
    for (int i = 1; i <= 11; ++i) {
        libraries.emplace_back(std::to_string(i), at("lib" + std::to_string(i)));
        makeFolder("lib" + std::to_string(i) + "/steamapps");
    }
    // "10" sorts before "2" as text; the search must still reach 2 first.
    makeDotaLibrary("lib10");
    makeDotaLibrary("lib2");
    writeFile("steam/steamapps/libraryfolders.vdf", libraryFolders(libraries));

    EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(at("lib2")));
}

TEST_F(SteamLocator, SearchGoesOnPastLibrariesThatDoNotYieldTheGame) {
    const struct {
        const char* name;
        std::function<void(SteamLocator&)> prepare;
        std::string expected;
    } cases[] = {
        {"manifest in Steam's folder names a missing game folder",
         [](SteamLocator& t) { t.writeFile("steam/steamapps/appmanifest_570.acf", dotaManifest()); },
         dotaFolderIn(at("lib2"))},
        {"manifest without installdir",
         [](SteamLocator& t) {
             t.writeFile("lib1/steamapps/appmanifest_570.acf", dotaManifest(std::nullopt));
         },
         dotaFolderIn(at("lib2"))},
        {"manifest whose AppState is a plain value",
         [](SteamLocator& t) { t.writeFile("lib1/steamapps/appmanifest_570.acf", "\"AppState\" \"570\"\n"); },
         dotaFolderIn(at("lib2"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        stdfs::remove_all(root_.path() / "steam");
        stdfs::remove_all(root_.path() / "lib1");
        stdfs::remove_all(root_.path() / "lib2");
        registerSteam(at("steam"));
        makeFolder("steam/steamapps");
        makeFolder("lib1/steamapps");
        makeDotaLibrary("lib2");
        writeFile("steam/steamapps/libraryfolders.vdf",
                  libraryFolders({{"0", at("steam")}, {"1", at("lib1")}, {"2", at("lib2")}}));
        c.prepare(*this);
        EXPECT_EQ(findSteamAppFolder("570"), c.expected);
    }
}

TEST_F(SteamLocator, NumberingStopsAtTheFirstGap) {
    registerSteam(at("steam"));
    makeFolder("steam/steamapps");
    makeFolder("lib1/steamapps");
    makeDotaLibrary("lib3");
    writeFile("steam/steamapps/libraryfolders.vdf",
              libraryFolders({{"0", at("steam")}, {"1", at("lib1")}, {"3", at("lib3")}}));

    EXPECT_EQ(findSteamAppFolder("570"), "");
}

TEST_F(SteamLocator, OldLayoutWithPlainValuesAddsNoLibraries) {
    registerSteam(at("steam"));
    makeFolder("steam/steamapps");
    makeDotaLibrary("lib1");
    writeFile("steam/steamapps/libraryfolders.vdf",
              "\"LibraryFolders\"\n{\n"
              "\t\"TimeNextStatsReport\"\t\t\"1698959621\"\n"
              "\t\"ContentStatsID\"\t\t\"-4537012345678901234\"\n"
              "\t\"1\"\t\t\"" +
                  vdfPath(at("lib1")) +
                  "\"\n"
                  "}\n");
    EXPECT_EQ(findSteamAppFolder("570"), "");

    makeDotaLibrary("steam");
    EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(at("steam")));
}

TEST_F(SteamLocator, LibraryPathsWithDoubledBackslashesAreCollapsed) {
    registerSteam(at("steam"));
    makeFolder("steam/steamapps");
    writeFile("lib/steamapps/appmanifest_730.acf",
              appManifest("730", "Counter-Strike: Global Offensive", "Counter-Strike Global Offensive"));
    makeFolder("lib/steamapps/common/Counter-Strike Global Offensive");
    // A Windows-style entry that names nothing here, then the same tree written with
    // backslashes, which the path handle turns into slashes when it asks the system.
    std::string backslashed = at("lib");
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    writeFile("steam/steamapps/libraryfolders.vdf",
              libraryFolders({{"0", at("steam")}, {"1", "D:\\SteamLibrary"}, {"2", backslashed}}));

    EXPECT_EQ(findSteamAppFolder("730"),
              backslashed + "\\steamapps\\common\\Counter-Strike Global Offensive");
}

TEST_F(SteamLocator, RejectsAppIdsThatAreNotNumbers) {
    registerSteam(at("steam"));
    // Manifests that would match if the id were taken as it is.
    for (const std::string id : {"570 ", " 570", "dota", ""}) {
        SCOPED_TRACE("\"" + id + "\"");
        writeFile("steam/steamapps/appmanifest_" + id + ".acf", dotaManifest());
        makeFolder("steam/steamapps/common/dota 2 beta");
        EXPECT_EQ(findSteamAppFolder(id), "");
    }
}

TEST_F(SteamLocator, NothingFoundWithoutSteam) {
    const struct {
        const char* name;
        std::function<void(SteamLocator&)> prepare;
    } cases[] = {
        {"Steam not registered", [](SteamLocator&) {}},
        {"registered folder missing", [](SteamLocator& t) { t.registerSteam(t.at("nowhere")); }},
        {"no library-folders file",
         [](SteamLocator& t) {
             t.registerSteam(t.at("steam"));
             t.makeFolder("steam/steamapps");
         }},
        {"library-folders file without its root block",
         [](SteamLocator& t) {
             t.registerSteam(t.at("steam"));
             t.writeFile("steam/steamapps/libraryfolders.vdf",
                         "\"Folders\"\n{\n\t\"1\" { \"path\" \"x\" }\n}\n");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        unregisterSteam();
        c.prepare(*this);
        EXPECT_EQ(findSteamAppFolder("570"), "");
    }
}

TEST_F(SteamLocator, AppFolderInOneLibraryFollowsTheManifest) {
    const struct {
        const char* name;
        std::optional<std::string> manifest;
        std::string expected;
    } cases[] = {
        {"plain name", dotaManifest(), "\\steamapps\\common\\dota 2 beta"},
        {"slashes become backslashes", dotaManifest("games/dota"), "\\steamapps\\common\\games\\dota"},
        {"doubled backslashes kept", dotaManifest("games\\\\dota"), "\\steamapps\\common\\games\\\\dota"},
        {"trailing separator kept", dotaManifest("dota\\"), "\\steamapps\\common\\dota\\"},
        {"empty installdir", dotaManifest(""), ""},
        {"no manifest", std::nullopt, ""},
        {"no AppState", std::string("\"AppStatus\" { \"installdir\" \"dota 2 beta\" }"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        stdfs::remove_all(root_.path() / "lib");
        makeFolder("lib/steamapps");
        if (c.manifest) writeFile("lib/steamapps/appmanifest_570.acf", *c.manifest);
        // The game folder itself is never created: this look-up does not test it.
        const std::string found = findAppInSteamLibrary(lumo::filesystem::path(at("lib")), "570").string();
        EXPECT_EQ(found, c.expected.empty() ? "" : at("lib") + c.expected);
    }
}

TEST_F(SteamLocator, RegisteredFolderIsReturnedAsStored) {
    makeFolder("Steam Folder");
    registerSteam(at("Steam Folder"));
    EXPECT_EQ(
        locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
        at("Steam Folder"));
}

TEST_F(SteamLocator, RegisteredExecutableGivesItsLowercasedPath) {
    const std::string rootText = root_.text();
    if (std::any_of(rootText.begin(), rootText.end(), [](unsigned char c) { return std::isupper(c); })) {
        GTEST_SKIP() << "temporary folder has capitals; lowercased paths would not exist here";
    }
    makeDotaLibrary("steam");
    writeFile("steam/Steam.exe", "MZ");
    // Windows names are case-insensitive: the lowercased name has to reach the same file.
    writeFile("steam/steam.exe", "MZ");

    const struct {
        const char* name;
        std::optional<std::string> value;
        std::optional<std::string> value32;
    } cases[] = {
        {"the executable itself", at("steam/Steam.exe"), std::nullopt},
        {"another file in its folder", at("steam/uninstall.exe"), std::nullopt},
        {"32-bit view, quoted", at("missing"), inQuotes(at("steam/Steam.exe"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registerSteam(c.value, c.value32);
        EXPECT_EQ(
            locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
            at("steam/steam.exe"));
        EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(at("steam")));
    }
}

TEST_F(SteamLocator, ThirtyTwoBitViewIsReadWithoutQuotes) {
    makeFolder("steam32");
    const struct {
        const char* name;
        std::optional<std::string> value;
    } cases[] = {
        {"no 64-bit value", std::nullopt},
        {"64-bit value names nothing", at("gone")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registerSteam(c.value, inQuotes(at("steam32")));
        EXPECT_EQ(
            locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
            at("steam32"));
    }
}

}  // namespace
}  // namespace lumo::util
