// Installation of the game-state integration file when the disk fills up, which a file size
// limit stands in for.
#include <filesystem>

#include <gtest/gtest.h>

#include "dota_steam.h"
#include "program_run.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

// A copy cut short (here: the disk fills up) must not stay behind, or the next start would
// take it for an installed file.
TEST(HeroglowIntegrationFile, FailedCopyLeavesNothingBehind) {
    TempFolder workingFolder("heroglow-cwd");
    writeFile(workingFolder.path() / "Applet_Files" / kFileName, std::string(256 * 1024, '/'));
    DotaSteam steam;
    ProgramRun run(heroglowSetup({.registerSdk = false,
                                  .extraRegistry = steam.registry(),
                                  .workingDirectory = workingFolder.path(),
                                  .fileSizeLimit = 64 * 1024}));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_TRUE(run.output().starts_with(kNotInstalled)) << run.output();
    EXPECT_FALSE(fs::exists(steam.target()));
    // Why, with the file, on standard error (the path as the program joins it).
    const std::string errors = run.errors();
    const std::size_t line = errors.find("heroglow: writing \"");
    ASSERT_NE(line, std::string::npos) << errors;
    const std::string ending = std::string(kFileName) + "\" failed: File too large\n";
    EXPECT_NE(errors.find(ending, line), std::string::npos) << errors;
}

}  // namespace
}  // namespace lumo::test
