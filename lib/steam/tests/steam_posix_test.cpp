// The Steam locator's cases that need POSIX systems: a symbolic link, and the Linux folders
// that stand in for the registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "steam_locator.h"
#include "steam/steam.h"
#include "steam/steam_internal.h"
#include "steam/steam_locations.h"
#include "steam/steam_report.h"

namespace lumo::util {
namespace {

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

// A fallback folder that cannot be examined is passed over, as before, but the report says
// why: it may be the Steam the player uses.
TEST_F(SteamLocator, AFallbackFolderThatCannotBeExaminedIsNamedInTheReport) {
    const std::vector<std::string> candidates = steamFallbackLocations();
    stdfs::create_directories(stdfs::path(candidates[0]).parent_path());
    stdfs::create_symlink(candidates[0], candidates[0]);
    stdfs::create_directories(candidates[2]);
    makeDotaLibrary(stdfs::path(candidates[2]).lexically_relative(root_.path()).string());

    const SteamReport report = reportSteam();
    EXPECT_EQ(report.root.string(), candidates[2]);
    EXPECT_EQ(report.source, SteamSource::linuxFolders);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0], candidates[0] + " cannot be examined: " +
                                      std::make_error_code(std::errc::too_many_symbolic_link_levels).message());
    EXPECT_EQ(findSteamAppFolder("570"), dotaFolderIn(candidates[2]));

    // Snap's folder is reported, and no library of it is searched.
    stdfs::remove_all(candidates[2]);
    stdfs::create_directories(steamSnapLocation());
    SteamReport snap = reportSteam();
    EXPECT_EQ(snap.source, SteamSource::snap);
    ASSERT_EQ(snap.libraries.size(), 1u);
    EXPECT_FALSE(snap.libraries[0].searched);
    EXPECT_EQ(findSteamAppFolder("570"), "");
}

}  // namespace
}  // namespace lumo::util
