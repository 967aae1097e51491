#include "util/steam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "environment.h"
#include "files.h"
#include "text.h"
#include "util/steam_locations.h"

namespace lumo::util {
namespace {

namespace stdfs = std::filesystem;

TEST(IsNumber, AcceptsWhatStrtodConsumesWhole) {
    const struct {
        std::string text;
        bool expected;
    } cases[] = {
        {"570", true},
        {"730", true},
        {"-5", true},
        {"1.5", true},
        {"1e3", true},
        {"", false},
        {" 570", false},
        {"570 ", false},
        {"\t570", false},
        {"abc", false},
        {"570abc", false},
        {"nan", false},
        {"inf", false},
        {"-", false},
        {".", false},
        {std::string("57\0"
                     "0",
                     4),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(isNumber(c.text), c.expected);
    }
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutRescanning) {
    const struct {
        std::string text;
        const char* from;
        const char* to;
        std::string expected;
    } cases[] = {
        {R"(D:\\SteamLibrary\\steamapps)", R"(\\)", R"(\)", R"(D:\SteamLibrary\steamapps)"},
        {R"(a\\\b)", R"(\\)", R"(\)", R"(a\\b)"},
        {R"(\\\\)", R"(\\)", R"(\)", R"(\\)"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"sub/dir/x", "/", "\\", R"(sub\dir\x)"},
        {"abcabc", "abc", "", ""},
        {"", "x", "y", ""},
        {"nothing here", "zz", "y", "nothing here"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.expected);
    }
}

// Steam's files as they look in the wild.
std::string appManifest(const std::string& appId, const std::string& name,
                        const std::optional<std::string>& installDir) {
    std::string text = "\"AppState\"\n{\n";
    text += "\t\"appid\"\t\t\"" + appId + "\"\n";
    text += "\t\"Universe\"\t\t\"1\"\n";
    text += "\t\"name\"\t\t\"" + name + "\"\n";
    text += "\t\"StateFlags\"\t\t\"4\"\n";
    if (installDir) text += "\t\"installdir\"\t\t\"" + *installDir + "\"\n";
    text +=
        "\t\"LastUpdated\"\t\t\"1698873221\"\n"
        "\t\"SizeOnDisk\"\t\t\"37018362531\"\n"
        "\t\"StagingSize\"\t\t\"0\"\n"
        "\t\"buildid\"\t\t\"12735442\"\n"
        "\t\"LastOwner\"\t\t\"76561198012345678\"\n"
        "\t\"UpdateResult\"\t\t\"0\"\n"
        "\t\"BytesToDownload\"\t\t\"0\"\n"
        "\t\"BytesDownloaded\"\t\t\"0\"\n"
        "\t\"AutoUpdateBehavior\"\t\t\"0\"\n"
        "\t\"AllowOtherDownloadsWhileRunning\"\t\t\"0\"\n"
        "\t\"ScheduledAutoUpdate\"\t\t\"0\"\n"
        "\t\"InstalledDepots\"\n\t{\n"
        "\t\t\"373301\"\n\t\t{"
        "\n\t\t\t\"manifest\"\t\t\"2957389207315404925\"\n\t\t\t\"size\"\t\t\"32064\"\n\t\t}\n"
        "\t\t\"381451\"\n\t\t{"
        "\n\t\t\t\"manifest\"\t\t\"6148212785134960116\"\n\t\t\t\"size\"\t\t\"1480549830\"\n\t\t}\n"
        "\t}\n"
        "\t\"SharedDepots\"\n\t{\n\t\t\"228988\"\t\t\"228980\"\n\t}\n"
        "\t\"UserConfig\"\n\t{\n\t\t\"language\"\t\t\"english\"\n\t}\n"
        "\t\"MountedConfig\"\n\t{\n\t\t\"language\"\t\t\"english\"\n\t}\n"
        "}\n";
    return text;
}

std::string dotaManifest(const std::optional<std::string>& installDir = "dota 2 beta") {
    return appManifest("570", "Dota 2", installDir);
}

// Paths in Steam's files are written with doubled backslashes.
std::string vdfPath(const std::string& path) {
    std::string out;
    for (char c : path) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

// The current layout: numbered blocks with "path", "label", "contentid", "totalsize", "apps".
std::string libraryFolders(const std::vector<std::pair<std::string, std::string>>& numberedPaths) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (const auto& [number, path] : numberedPaths) {
        text += "\t\"" + number + "\"\n\t{\n";
        text += "\t\t\"path\"\t\t\"" + vdfPath(path) + "\"\n";
        text +=
            "\t\t\"label\"\t\t\"\"\n"
            "\t\t\"contentid\"\t\t\"6127128931824123475\"\n"
            "\t\t\"totalsize\"\t\t\"0\"\n"
            "\t\t\"update_clean_bytes_tally\"\t\t\"44738926\"\n"
            "\t\t\"time_last_update_corruption\"\t\t\"0\"\n"
            "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"185391541\"\n\t\t\t\"570\"\t\t\"37018362531\"\n\t\t}"
            "\n";
        text += "\t}\n";
    }
    return text + "}\n";
}

class SteamLocator : public ::testing::Test {
public:
    void SetUp() override { stdfs::create_directories(root_.path() / "home"); }

    std::string at(const std::string& relative) const { return root_.text(relative); }

    void writeFile(const std::string& relative, const std::string& content) const {
        lumo::test::writeFile(root_.path() / relative, content);
    }

    void makeFolder(const std::string& relative) const { stdfs::create_directories(root_.path() / relative); }

    // A Steam library under `relative` that holds Dota 2 with its game folder.
    void makeDotaLibrary(const std::string& relative) const {
        writeFile(relative + "/steamapps/appmanifest_570.acf", dotaManifest());
        makeFolder(relative + "/steamapps/common/dota 2 beta");
    }

    static std::string dotaFolderIn(const std::string& library) {
        return library + "\\steamapps\\common\\dota 2 beta";
    }

    // Registers Steam under the 64-bit view and, when given, the 32-bit view.
    void registerSteam(const std::optional<std::string>& installPath,
                       const std::optional<std::string>& installPath32 = std::nullopt) const {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
        if (installPath) {
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam]\r\n";
            text += "\"InstallPath\"=\"" + lumo::test::regQuoted(*installPath) + "\"\r\n\r\n";
        }
        if (installPath32) {
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Valve\\Steam]\r\n";
            text += "\"InstallPath\"=\"" + lumo::test::regQuoted(*installPath32) + "\"\r\n";
        }
        writeFile("registry.reg", text);
    }

    // Lowercase only: an executable path found through the registry comes back lowercased.
    lumo::test::TempFolder root_{"lumo-steam"};

private:
    lumo::test::ScopedEnvironment home_{"HOME", root_.text("home")};
    lumo::test::ScopedEnvironment registry_{"LUMO_REGISTRY", root_.text("registry.reg")};
};

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

TEST_F(SteamLocator, FailingExistenceTestInSteamsFolderEndsTheSearch) {
    registerSteam(at("steam"));
    writeFile("steam/steamapps/appmanifest_570.acf", dotaManifest());
    makeFolder("steam/steamapps/common");
    // A link to itself cannot be examined (ELOOP), which is not the same as missing.
    stdfs::create_symlink("dota 2 beta", root_.path() / "steam/steamapps/common/dota 2 beta");
    makeDotaLibrary("lib1");
    writeFile("steam/steamapps/libraryfolders.vdf", libraryFolders({{"0", at("steam")}, {"1", at("lib1")}}));

    EXPECT_EQ(findSteamAppFolder("570"), "");
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
        {"no registry file", [](SteamLocator&) {}},
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
        stdfs::remove(root_.path() / "registry.reg");
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
        {"32-bit view, quoted", at("missing"), "\"" + at("steam/Steam.exe") + "\""},
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
        registerSteam(c.value, "\"" + at("steam32") + "\"");
        EXPECT_EQ(
            locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
            at("steam32"));
    }
}

TEST_F(SteamLocator, LinuxFoldersStandInWhenTheRegistryKnowsNoSteam) {
    const std::vector<std::string> candidates = steamFallbackLocations();
    ASSERT_EQ(candidates.size(), 4u);
    const std::string home = at("home");
    EXPECT_EQ(candidates[0], home + "/.steam/root");
    EXPECT_EQ(candidates[1], home + "/.steam/steam");
    EXPECT_EQ(candidates[2], home + "/.local/share/Steam");
    EXPECT_EQ(candidates[3], home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam");

    // Each candidate alone is found; with several, the earliest wins.
    for (std::size_t i = candidates.size(); i-- > 0;) {
        SCOPED_TRACE(candidates[i]);
        stdfs::create_directories(candidates[i]);
        makeDotaLibrary(stdfs::path(candidates[i]).lexically_relative(root_.path()).string());
        EXPECT_EQ(
            locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
            candidates[i]);
        EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(candidates[i]));
    }

    // A registered Steam wins over them, and other programs get no Steam folder.
    makeFolder("steam");
    registerSteam(at("steam"));
    EXPECT_EQ(
        locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", "Steam.exe"),
        at("steam"));
    EXPECT_EQ(locateInstalledProgram("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other", "InstallPath", "Other.exe"), "");
}

}  // namespace
}  // namespace lumo::util
