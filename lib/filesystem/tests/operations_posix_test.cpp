#include "filesystem/operations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files.h"
#include "unprivileged_posix.h"

namespace lumo::filesystem {
namespace {

// Links and failures that only POSIX systems produce without special rights.
class PosixFileQueries : public testing::Test {
protected:
    PosixFileQueries() : scratch_("lumo-fs-posix") {
        const std::filesystem::path& root = scratch_.path();
        std::ofstream(root / "file.txt") << "content";
        std::filesystem::create_symlink(root / "file.txt", root / "link");
        std::filesystem::create_symlink(root / "nowhere", root / "dangling");
        std::filesystem::create_symlink(root / "loop", root / "loop");
    }
    path at(const char* name) const { return path(scratch_.text()) / path(name); }

    lumo::test::TempFolder scratch_;
};

TEST_F(PosixFileQueries, LinksAreFollowedAndFilesAreNotFolders) {
    std::error_code ec;
    EXPECT_TRUE(exists(at("link")));
    EXPECT_TRUE(is_regular_file(at("link"), ec));
    EXPECT_FALSE(exists(at("dangling")));
    EXPECT_FALSE(exists(at("dangling"), ec));
    EXPECT_FALSE(ec);
    EXPECT_FALSE(is_regular_file(at("dangling"), ec));
    EXPECT_EQ(ec, std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(exists(at("file.txt\\below")));
    EXPECT_FALSE(exists(at("file.txt\\below"), ec));
    EXPECT_FALSE(ec);
    EXPECT_FALSE(is_regular_file(at("file.txt\\below"), ec));
    EXPECT_EQ(ec, std::make_error_code(std::errc::not_a_directory));
}

TEST_F(PosixFileQueries, OtherFailuresAreErrors) {
    const path loop = at("loop");
    const std::string shown = loop.string();
    const std::error_code eloop = std::make_error_code(std::errc::too_many_symbolic_link_levels);

    try {
        (void)exists(loop);
        ADD_FAILURE() << "exists did not throw";
    } catch (const filesystem_error& e) {
        EXPECT_EQ(std::string(e.what()), "exists: " + eloop.message() + ": \"" + shown + "\"");
        EXPECT_EQ(e.code(), eloop);
        EXPECT_EQ(e.path1().wstring(), loop.wstring());
        EXPECT_TRUE(e.path2().empty());
    }
    try {
        (void)is_directory(loop);
        ADD_FAILURE() << "is_directory did not throw";
    } catch (const filesystem_error& e) {
        EXPECT_EQ(std::string(e.what()), "status: " + eloop.message() + ": \"" + shown + "\"");
        EXPECT_EQ(e.code(), eloop);
    }

    std::error_code ec;
    EXPECT_FALSE(exists(loop, ec));
    EXPECT_EQ(ec, eloop);
    ec.clear();
    EXPECT_FALSE(is_directory(loop, ec));
    EXPECT_EQ(ec, eloop);
    ec.clear();
    EXPECT_FALSE(is_regular_file(loop, ec));
    EXPECT_EQ(ec, eloop);
}

TEST_F(PosixFileQueries, UnencodableTextIsInvalidArgument) {
    // A surrogate code point is valid wchar_t data here but has no UTF-8 form.
    std::wstring text = L"x";
    text += static_cast<wchar_t>(0xDC00);
    const path p = at("") / path(text);
    std::error_code ec;
    EXPECT_FALSE(exists(p, ec));
    EXPECT_EQ(ec, std::make_error_code(std::errc::invalid_argument));
    EXPECT_THROW((void)exists(p), filesystem_error);
    EXPECT_THROW((void)is_directory(p), filesystem_error);
    EXPECT_EQ(fopen(p, "rb"), nullptr);
    EXPECT_FALSE(create_directory(p, ec));
    EXPECT_EQ(ec, std::make_error_code(std::errc::invalid_argument));
}

TEST(PosixFilePermissions, PermissionDeniedIsAnError) {
    lumo::test::runUnprivileged([] {
        const lumo::test::TempFolder scratch("lumo-fs-locked");
        const std::filesystem::path locked = scratch.path() / "locked";
        std::filesystem::create_directory(locked);
        std::ofstream(locked / "inside") << "x";
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        const path inside = path(scratch.text()) / path("locked\\inside");
        std::error_code ec;
        EXPECT_FALSE(exists(inside, ec));
        EXPECT_EQ(ec, std::make_error_code(std::errc::permission_denied));
        EXPECT_THROW((void)exists(inside), filesystem_error);
        EXPECT_THROW((void)is_directory(inside), filesystem_error);
        std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    });
}

}  // namespace
}  // namespace lumo::filesystem
