#include "io/binary_stream.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>

#include "files.h"

namespace lumo::util {
namespace {

void expectStreamError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    } catch (const BinaryStreamException& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// Bytes that text-mode reading or string handling would damage.
std::string awkwardBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 13) % 256);
    if (size >= 6) bytes.replace(0, 6, "\xEF\xBB\xBF\r\n\0", 6);
    return bytes;
}

class BinaryInputStreamTest : public testing::Test {
protected:
    BinaryInputStreamTest() : scratch_("lumo-stream"), folder_(scratch_.text()) {}

    std::string write(const std::string& name, const std::string& bytes) {
        lumo::test::writeFile(scratch_.path() / name, bytes);
        return scratch_.text(name);
    }

    lumo::test::TempFolder scratch_;
    std::string folder_;
};

TEST_F(BinaryInputStreamTest, WholeFileReadKeepsEveryByte) {
    for (std::size_t size : {0u, 1u, 6u, 1023u, 1024u, 1025u, 2048u, 5000u}) {
        SCOPED_TRACE(size);
        const std::string bytes = awkwardBytes(size);
        BinaryInputStream stream(write("file.bin", bytes));
        stream.open();
        std::string content = "left over";
        EXPECT_EQ(stream.read(content), size > 0);
        EXPECT_EQ(content, bytes);
        EXPECT_TRUE(stream.eof());
        EXPECT_FALSE(stream.read(content)) << "nothing remains";
        EXPECT_EQ(content, "");
    }
}

TEST_F(BinaryInputStreamTest, ChunksOfAFullKilobyte) {
    const std::string bytes = awkwardBytes(1024);
    BinaryInputStream stream(write("k.bin", bytes));
    stream.open();
    EXPECT_EQ(stream.read(1024), bytes);
    EXPECT_FALSE(stream.eof()) << "end of file shows only after a read past it";
    EXPECT_EQ(stream.read(1024), "");
    EXPECT_TRUE(stream.eof());
}

TEST_F(BinaryInputStreamTest, ReadAllAfterAPartialRead) {
    BinaryInputStream stream(write("part.txt", "0123456789"));
    stream.open();
    EXPECT_EQ(stream.read(4), "0123");
    EXPECT_EQ(stream.readAll(), "456789");
}

TEST_F(BinaryInputStreamTest, NameJoinedWithBackslashOpens) {
    BinaryInputStream stream(folder_ + "\\named.txt");
    write("named.txt", "ok");
    stream.open();
    EXPECT_EQ(stream.readAll(), "ok");
}

TEST_F(BinaryInputStreamTest, MisuseMessages) {
    const std::string fileName = write("x.txt", "x");
    BinaryInputStream closed(fileName);
    std::string content;
    expectStreamError([&] { closed.read(content); }, "File must be open for read() to work!");
    expectStreamError([&] { closed.read(10); }, "File must be open for read() to work!");
    expectStreamError([&] { closed.readAll(); }, "File must be open for read() to work!");
    expectStreamError([&] { (void)closed.eof(); }, "File must be open for eof() to work!");

    closed.open();
    expectStreamError([&] { closed.open(); }, "File already open!");
    EXPECT_EQ(closed.readAll(), "x") << "a second open leaves the first handle working";
}

TEST_F(BinaryInputStreamTest, UnopenableFiles) {
    const std::string names[] = {folder_ + "/missing", folder_, "", folder_ + "/\xC3(bad"};
    for (const std::string& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        BinaryInputStream stream(name);
        expectStreamError([&] { stream.open(); }, "Failed to open file!");
        expectStreamError([&] { (void)stream.eof(); }, "File must be open for eof() to work!");
    }
}

TEST_F(BinaryInputStreamTest, ReadErrorEndsTheRead) {
    // Offset 0 of a process's memory is never mapped, so reading it fails with EIO and never
    // reaches end of file.
    BinaryInputStream stream("/proc/self/mem");
    try {
        stream.open();
    } catch (const BinaryStreamException&) {
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    }
    std::string content = "kept";
    expectStreamError([&] { stream.read(content); }, "Failed to read file!");
    EXPECT_EQ(content, "kept");
}

}  // namespace
}  // namespace lumo::util
