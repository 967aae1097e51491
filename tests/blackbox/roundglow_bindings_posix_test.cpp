// Which keys roundglow lights when a candidate binding file cannot be examined, which a
// symbolic link to itself makes happen.
#include <filesystem>

#include <gtest/gtest.h>

#include "roundglow_bindings.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

TEST(RoundglowBindings, CandidateThatCannotBeExaminedIsPassedOver) {
    FakeSteam steam("730", kInstallDir);
    // A link to itself: asking whether csgo/cfg/config.cfg exists fails with a loop error.
    fs::create_symlink("csgo", steam.game() / "csgo");
    writeFile(steam.game() / "game" / "csgo" / "cfg" / "config.cfg", "bind \"x\" \"+reload\"\n");
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_TRUE(lit(litKeys(run), kX));
    EXPECT_FALSE(run.waitForExit(0ms));
}

}  // namespace
}  // namespace lumo::test
