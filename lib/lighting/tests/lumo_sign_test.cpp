#include "lighting/sdk_library.h"
#include "sdk_files.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lumo::lighting::sdk_test {
namespace {

constexpr const char* kUsageStart = "usage: lumo-sign KEYFILE LIBRARY\n";

std::string text(const std::vector<unsigned char>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(LumoSignTest, WrongArgumentsPrintUsageAndFail) {
    TemporaryFolder folder;
    const std::vector<std::vector<std::string>> argumentLists = {
        {},
        {kSigningKey},
        {kSigningKey, folder.file("a.so"), "extra"},
        {"--generate", folder.file("k")},
        {"--generate", folder.file("k"), folder.file("p"), "extra"},
        {"--bogus", folder.file("a.so")},
    };
    for (const std::vector<std::string>& arguments : argumentLists) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const ToolRun run = runSignTool(folder, arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind(kUsageStart, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("k")));
}

TEST(LumoSignTest, UnusableInputsFailWithoutWritingASignature) {
    TemporaryFolder folder;
    const std::string library = folder.file("sdk.so");
    copyFile(kTestSdk, library);
    const std::string shortKey = folder.file("short.key");
    writeFile(shortKey, std::vector<unsigned char>(63, 'a'));
    const std::string notHex = folder.file("nothex.key");
    writeFile(notHex, std::vector<unsigned char>(64, 'g'));
    const std::string longKey = folder.file("long.key");
    writeFile(longKey, std::vector<unsigned char>(66, 'a'));

    struct Case {
        const char* name;
        std::string key;
        std::string library;
    };
    const Case cases[] = {
        {"missing key file", folder.file("absent.key"), library},
        {"key too short", shortKey, library},
        {"key not hex", notHex, library},
        {"key too long", longKey, library},
        {"missing library", kSigningKey, folder.file("absent.so")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const ToolRun run = runSignTool(folder, {test.key, test.library});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.rfind("lumo-sign: ", 0), 0u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(test.library + ".sig"));
    }
}

TEST(LumoSignTest, SignedLibraryIsAcceptedByTheLoader) {
    TemporaryFolder folder;
    // Changed first, so only a fresh signature can make it acceptable.
    const std::string library = copySignedLibrary(kTestSdk, folder.file("sdk.so"));
    std::vector<unsigned char> bytes = readFile(library);
    bytes.push_back(0);
    writeFile(library, bytes);

    const ToolRun run = runSignTool(folder, {kSigningKey, library});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(library + ".sig").size(), 64u);
    EXPECT_NE(loadVerifiedLibrary(library), nullptr);
    EXPECT_EQ(testSdkLoads(), 1);
}

TEST(LumoSignTest, GeneratedKeyPairSignsButIsNotTheBuildsKey) {
    TemporaryFolder folder;
    const std::string key = folder.file("new.key");
    const std::string publicKey = folder.file("new.pub");
    const ToolRun generated = runSignTool(folder, {"--generate", key, publicKey});
    ASSERT_EQ(generated.exitCode, 0) << generated.err;

    struct stat status {};
    ASSERT_EQ(::stat(key.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::string publicHex = text(readFile(publicKey));
    EXPECT_EQ(generated.out, publicHex);
    ASSERT_EQ(publicHex.size(), 65u);

    const std::string library = folder.file("sdk.so");
    copyFile(kTestSdk, library);
    ASSERT_EQ(runSignTool(folder, {key, library}).exitCode, 0);

    ASSERT_GE(::sodium_init(), 0);
    unsigned char publicBytes[crypto_sign_PUBLICKEYBYTES];
    ASSERT_EQ(
        ::sodium_hex2bin(publicBytes, sizeof(publicBytes), publicHex.c_str(), 64, nullptr, nullptr, nullptr),
        0);
    const std::vector<unsigned char> bytes = readFile(library);
    const std::vector<unsigned char> signature = readFile(library + ".sig");
    ASSERT_EQ(signature.size(), 64u);
    EXPECT_EQ(::crypto_sign_verify_detached(signature.data(), bytes.data(), bytes.size(), publicBytes), 0);

    EXPECT_EQ(loadVerifiedLibrary(library), nullptr);
    EXPECT_EQ(testSdkLoads(), 0);
}

TEST(LumoSignTest, GenerateKeepsAnExistingKey) {
    TemporaryFolder folder;
    const std::string key = folder.file("kept.key");
    ASSERT_EQ(runSignTool(folder, {"--generate", key, folder.file("first.pub")}).exitCode, 0);
    const std::vector<unsigned char> keyBytes = readFile(key);
    ASSERT_EQ(runSignTool(folder, {"--generate", key, folder.file("second.pub")}).exitCode, 0);
    EXPECT_EQ(readFile(key), keyBytes);
    EXPECT_EQ(readFile(folder.file("second.pub")), readFile(folder.file("first.pub")));
}

}  // namespace
}  // namespace lumo::lighting::sdk_test
