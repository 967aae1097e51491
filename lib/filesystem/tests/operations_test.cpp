#include "filesystem/operations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files.h"

namespace lumo::filesystem {
namespace {

// A folder holding "file.txt" and "folder", shared by the queries of both platforms.
class FileQueries : public testing::Test {
protected:
    FileQueries() : scratch_("lumo-fs") {
        std::ofstream(scratch_.path() / "file.txt") << "content";
        std::filesystem::create_directory(scratch_.path() / "folder");
    }
    // Joined under Windows rules, as the programs build their paths.
    path at(const char* name) const { return path(scratch_.text()) / path(name); }

    lumo::test::TempFolder scratch_;
};

TEST_F(FileQueries, AnswersForWhatIsThere) {
    struct Case {
        const char* name;
        bool exists;
        bool isDirectory;
        bool isRegularFile;
    };
    const Case cases[] = {
        {"file.txt", true, false, true},
        {"folder", true, true, false},
        {"folder\\", true, true, false},
        {"folder/../file.txt", true, false, true},
        {"folder\\..\\folder\\..\\file.txt", true, false, true},
        {"missing", false, false, false},
        {"folder\\missing\\deeper", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const path p = at(c.name);
        EXPECT_EQ(exists(p), c.exists);
        EXPECT_EQ(is_directory(p), c.isDirectory);

        std::error_code ec = std::make_error_code(std::errc::io_error);
        EXPECT_EQ(exists(p, ec), c.exists);
        EXPECT_FALSE(ec) << "not-found is an answer, not an error";
        ec = std::make_error_code(std::errc::io_error);
        EXPECT_EQ(is_directory(p, ec), c.isDirectory);
        EXPECT_FALSE(ec);

        EXPECT_EQ(is_regular_file(p, ec), c.isRegularFile);
        // The query's own error comes through, not-found included.
        EXPECT_EQ(static_cast<bool>(ec), !c.exists);
    }
    std::error_code ec;
    EXPECT_FALSE(is_regular_file(at("missing"), ec));
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(exists(path()));
}

TEST_F(FileQueries, OpensFilesButNotFolders) {
    std::FILE* file = fopen(at("folder\\..\\file.txt"), "rb");
    ASSERT_NE(file, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 7u);
    EXPECT_STREQ(buffer, "content");
    std::fclose(file);

    EXPECT_EQ(fopen(at("missing"), "rb"), nullptr);
    EXPECT_EQ(fopen(at("folder"), "rb"), nullptr);
    EXPECT_EQ(fopen(path(), "rb"), nullptr);
}

TEST_F(FileQueries, CreatesOneFolder) {
    std::error_code ec = std::make_error_code(std::errc::io_error);
    EXPECT_TRUE(create_directory(at("new"), ec));
    EXPECT_FALSE(ec);
    EXPECT_TRUE(is_directory(at("new")));

    ec = std::make_error_code(std::errc::io_error);
    EXPECT_FALSE(create_directory(at("new\\"), ec)) << "already there";
    EXPECT_FALSE(ec);

    EXPECT_FALSE(create_directory(at("file.txt"), ec));
    EXPECT_EQ(ec, std::errc::file_exists);

    EXPECT_FALSE(create_directory(at("absent\\child"), ec));
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
}

TEST_F(FileQueries, RemovesOneFile) {
    std::error_code ec = std::make_error_code(std::errc::io_error);
    EXPECT_TRUE(remove(at("file.txt"), ec));
    EXPECT_FALSE(ec);
    EXPECT_FALSE(exists(at("file.txt")));

    EXPECT_FALSE(remove(at("file.txt"), ec)) << "already gone";
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(remove(at("folder"), ec)) << "folders are not files";
    EXPECT_TRUE(ec);
    EXPECT_TRUE(is_directory(at("folder")));
}

TEST(ExecutablePath, NamesThisTestProgram) {
    const path self = executable_path();
    ASSERT_TRUE(self.has_filename());
    std::error_code ec;
    EXPECT_TRUE(is_regular_file(self, ec));
    path folder = self;
    folder.remove_filename();
    EXPECT_TRUE(is_directory(folder));
    EXPECT_EQ(self.string().substr(folder.string().size()).rfind("lumo_filesystem_tests", 0), 0u);
}

}  // namespace
}  // namespace lumo::filesystem
