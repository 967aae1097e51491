#include "io/atomic_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "files.h"

namespace lumo::util {
namespace {

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    const lumo::test::TempFolder temp("io-atomic");
    const std::filesystem::path folder = temp.path();
    const std::filesystem::path target = folder / "deep" / "state.json";

    EXPECT_EQ(writeFileAtomically(target, "first, longer text"), "");
    EXPECT_EQ(writeFileAtomically(target, "second"), "");
    EXPECT_EQ(lumo::test::readFile(target), "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), {}), 1);

    // A folder that cannot exist: a plain file stands in its place.
    lumo::test::writeFile(folder / "plain", "x");
    EXPECT_NE(writeFileAtomically(folder / "plain" / "state.json", "y"), "");
    EXPECT_EQ(lumo::test::readFile(folder / "plain"), "x");
}

}  // namespace
}  // namespace lumo::util
