// Which keys roundglow lights when a candidate binding file cannot be examined, which a
// symbolic link to itself makes happen, and what it says about it.
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

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
    // Said once, with the system's reason, however many posts come.
    litKeys(run);
    const std::string said = std::string("csgo\\cfg\\config.cfg\" for key bindings: ") +
                             std::generic_category().message(ELOOP) + "\n";
    const std::string output = run.output();
    const std::size_t first = output.find(said);
    EXPECT_NE(first, std::string::npos) << output;
    const std::size_t line = output.rfind('\n', first) + 1;
    EXPECT_EQ(output.substr(line, 19), "Could not examine \"") << output;
    EXPECT_EQ(output.find(said, first + 1), std::string::npos) << output;
}

}  // namespace
}  // namespace lumo::test
