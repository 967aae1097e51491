#include "filesystem/file_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "files.h"

namespace lumo::filesystem {
namespace {

using namespace std::chrono_literals;

TEST(FileTime, LaterSavesReadAsNewer) {
    const lumo::test::TempFolder scratch("lumo-time");
    const std::filesystem::path file = scratch.path() / "config.cfg";
    std::ofstream(file) << "bind w +forward\n";
    const path name = path(scratch.text()) / path("config.cfg");

    const auto saved = std::filesystem::file_time_type::clock::now() - 1h;
    std::filesystem::last_write_time(file, saved);
    const std::optional<file_time> first = last_write_time(name);
    ASSERT_TRUE(first);
    EXPECT_EQ(last_write_time(name), first) << "the same file reads the same";

    // Two seconds apart: the coarsest time any file system here keeps.
    std::filesystem::last_write_time(file, saved + 2s);
    const std::optional<file_time> second = last_write_time(name);
    ASSERT_TRUE(second);
    EXPECT_TRUE(is_newer(*second, *first));
    EXPECT_FALSE(is_newer(*first, *second));
    EXPECT_FALSE(is_newer(*second, *second));

    std::filesystem::last_write_time(file, saved - 24h);
    const std::optional<file_time> older = last_write_time(name);
    ASSERT_TRUE(older);
    EXPECT_TRUE(is_newer(*first, *older));
}

TEST(FileTime, ReadsWhileTheGameHoldsTheFileOpen) {
    const lumo::test::TempFolder scratch("lumo-time");
    std::ofstream writer(scratch.path() / "config.cfg");
    writer << "bind w +forward\n" << std::flush;
    EXPECT_TRUE(last_write_time(path(scratch.text()) / path("config.cfg")));
}

TEST(FileTime, NothingForWhatIsNoFile) {
    const lumo::test::TempFolder scratch("lumo-time");
    std::filesystem::create_directory(scratch.path() / "folder");
    const path root(scratch.text());
    EXPECT_EQ(last_write_time(root / path("missing.cfg")), std::nullopt);
    EXPECT_EQ(last_write_time(root / path("folder")), std::nullopt);
    EXPECT_EQ(last_write_time(root / path("missing\\config.cfg")), std::nullopt);
    EXPECT_EQ(last_write_time(path()), std::nullopt);
}

}  // namespace
}  // namespace lumo::filesystem
