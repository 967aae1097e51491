#include "lighting/sdk_library.h"
#include "sdk_files.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files.h"
#include "run_program.h"

namespace lumo::lighting::sdk_test {
namespace {

using lumo::test::readFile;
using lumo::test::TempFolder;
using lumo::test::writeFile;

constexpr const char* kUsageStart = "usage: lumo-sign KEYFILE LIBRARY\n";

// Runs lumo-sign with `arguments`, its output captured in files under `folder`.
lumo::test::ProgramOutcome runSignTool(const TempFolder& folder, const std::vector<std::string>& arguments) {
    return lumo::test::runProgram(kSignTool, arguments, folder.path());
}

TEST(LumoSignTest, WrongArgumentsPrintUsageAndFail) {
    TempFolder folder("lumo-sign");
    const std::vector<std::vector<std::string>> argumentLists = {
        {},
        {kSigningKey},
        {kSigningKey, folder.text("a.so"), "extra"},
        {"--generate", folder.text("k")},
        {"--generate", folder.text("k"), folder.text("p"), "extra"},
        {"--bogus", folder.text("a.so")},
    };
    for (const std::vector<std::string>& arguments : argumentLists) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const lumo::test::ProgramOutcome run = runSignTool(folder, arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.errors.rfind(kUsageStart, 0), 0u) << run.errors;
        EXPECT_EQ(run.output, "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.text("k")));
}

TEST(LumoSignTest, UnusableInputsFailWithoutWritingASignature) {
    TempFolder folder("lumo-sign");
    const std::string library = folder.text("sdk.so");
    copyFile(kTestSdk, library);
    const std::string shortKey = folder.text("short.key");
    writeFile(shortKey, std::string(63, 'a'));
    const std::string notHex = folder.text("nothex.key");
    writeFile(notHex, std::string(64, 'g'));
    const std::string longKey = folder.text("long.key");
    writeFile(longKey, std::string(66, 'a'));

    struct Case {
        const char* name;
        std::string key;
        std::string library;
    };
    const Case cases[] = {
        {"missing key file", folder.text("absent.key"), library},
        {"key too short", shortKey, library},
        {"key not hex", notHex, library},
        {"key too long", longKey, library},
        {"missing library", kSigningKey, folder.text("absent.so")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const lumo::test::ProgramOutcome run = runSignTool(folder, {test.key, test.library});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors.rfind("lumo-sign: ", 0), 0u) << run.errors;
        EXPECT_FALSE(std::filesystem::exists(test.library + ".sig"));
    }
}

TEST(LumoSignTest, SignedLibraryIsAcceptedByTheLoader) {
    TempFolder folder("lumo-sign");
    // Changed first, so only a fresh signature can make it acceptable.
    const std::string library = copySignedLibrary(kTestSdk, folder.text("sdk.so"));
    std::string bytes = readFile(library);
    bytes.push_back(0);
    writeFile(library, bytes);

    const lumo::test::ProgramOutcome run = runSignTool(folder, {kSigningKey, library});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(readFile(library + ".sig").size(), 64u);
    EXPECT_NE(loadVerifiedLibrary(library), nullptr);
    EXPECT_EQ(testSdkLoads(), 1);
}

TEST(LumoSignTest, GeneratedKeyPairSignsButIsNotTheBuildsKey) {
    TempFolder folder("lumo-sign");
    const std::string key = folder.text("new.key");
    const std::string publicKey = folder.text("new.pub");
    const lumo::test::ProgramOutcome generated = runSignTool(folder, {"--generate", key, publicKey});
    ASSERT_EQ(generated.exitCode, 0) << generated.errors;

    struct stat status {};
    ASSERT_EQ(::stat(key.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::string publicHex = readFile(publicKey);
    EXPECT_EQ(generated.output, publicHex);
    ASSERT_EQ(publicHex.size(), 65u);

    const std::string library = folder.text("sdk.so");
    copyFile(kTestSdk, library);
    ASSERT_EQ(runSignTool(folder, {key, library}).exitCode, 0);

    ASSERT_GE(::sodium_init(), 0);
    unsigned char publicBytes[crypto_sign_PUBLICKEYBYTES];
    ASSERT_EQ(
        ::sodium_hex2bin(publicBytes, sizeof(publicBytes), publicHex.c_str(), 64, nullptr, nullptr, nullptr),
        0);
    const std::string bytes = readFile(library);
    const std::string signature = readFile(library + ".sig");
    ASSERT_EQ(signature.size(), 64u);
    EXPECT_EQ(::crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                            reinterpret_cast<const unsigned char*>(bytes.data()),
                                            bytes.size(), publicBytes),
              0);

    EXPECT_EQ(loadVerifiedLibrary(library), nullptr);
    EXPECT_EQ(testSdkLoads(), 0);
}

TEST(LumoSignTest, GenerateKeepsAnExistingKey) {
    TempFolder folder("lumo-sign");
    const std::string key = folder.text("kept.key");
    ASSERT_EQ(runSignTool(folder, {"--generate", key, folder.text("first.pub")}).exitCode, 0);
    const std::string keyBytes = readFile(key);
    ASSERT_EQ(runSignTool(folder, {"--generate", key, folder.text("second.pub")}).exitCode, 0);
    EXPECT_EQ(readFile(key), keyBytes);
    EXPECT_EQ(readFile(folder.text("second.pub")), readFile(folder.text("first.pub")));
}

}  // namespace
}  // namespace lumo::lighting::sdk_test
