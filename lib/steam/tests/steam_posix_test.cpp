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

}  // namespace
}  // namespace lumo::util
