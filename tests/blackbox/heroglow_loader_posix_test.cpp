// heroglow's SDK loader against copies of the simulated keyboard signed with the build's own
// key (a .sig file beside the library); Windows checks Authenticode signatures instead, which
// the loader's own tests cover.
#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoSdkMessage = "Could not initialize the LED SDK \n";

// Library copies that the loader must refuse, with signed copies beside them that prove
// the checks, not some other accident, keep them out.
TEST(HeroglowStartup, LoadsOnlyLibrariesSignedWithTheMakersKey) {
    TempFolder libraries("heroglow-sdk");
    const fs::path simulator = simulatorLibrary();
    const auto copyLibrary = [&](const std::string& name, bool withSignature) {
        const fs::path copy = libraries.path() / name / simulator.filename();
        fs::create_directories(copy.parent_path());
        fs::copy_file(simulator, copy);
        if (withSignature) fs::copy_file(simulator.string() + ".sig", copy.string() + ".sig");
        return copy;
    };
    const auto flipLastByte = [](const fs::path& file) {
        std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
        stream.seekg(-1, std::ios::end);
        const char last = static_cast<char>(stream.get());
        stream.seekp(-1, std::ios::end);
        stream.put(static_cast<char>(last ^ 0x5A));
    };
    const auto sign = [&](const fs::path& file) {
        return runProgram(lumoSignBinary(), {sdkSigningKey(), file.string()}, libraries.path()).exitCode == 0;
    };

    struct Case {
        const char* name;
        std::function<fs::path()> prepare;
        bool loaded;
    };
    const Case cases[] = {
        {"signed copy", [&] { return copyLibrary("signed", true); }, true},
        {"unsigned copy", [&] { return copyLibrary("unsigned", false); }, false},
        {"tampered after signing",
         [&] {
             const fs::path copy = copyLibrary("tampered", true);
             flipLastByte(copy);
             return copy;
         },
         false},
        {"tampered and signed again",
         [&] {
             const fs::path copy = copyLibrary("resigned", false);
             flipLastByte(copy);
             EXPECT_TRUE(sign(copy));
             return copy;
         },
         true},
        {"missing file", [&] { return libraries.path() / "missing" / simulator.filename(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run(heroglowSetup({.sdkPathOverride = c.prepare().string()}));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_EQ(run.output().find(kNoSdkMessage) == std::string::npos, c.loaded);
        EXPECT_EQ(countOps(run.journal(), "LumoLedInit"), c.loaded ? 1 : 0);
        EXPECT_EQ(run.keyboard().is_null(), !c.loaded);
    }
}

}  // namespace
}  // namespace lumo::test
