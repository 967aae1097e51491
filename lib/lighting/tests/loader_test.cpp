#include "lighting/lumo_binding.h"
#include "lighting/sdk_library.h"
#include "sdk_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace lumo::lighting::sdk_test {
namespace {

std::string lastSdkCall() {
    const char* call = std::getenv("LUMO_TEST_SDK_LAST_CALL");
    return call == nullptr ? "" : call;
}

class LoaderTest : public testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("LUMO_TEST_SDK_LAST_CALL");
        ::unsetenv("LUMO_TEST_SDK_INIT_RESULTS");
        // No registry file unless a test writes one.
        ::setenv("LUMO_REGISTRY", folder.file("absent.reg").c_str(), 1);
        ASSERT_EQ(testSdkLoads(), 0) << "a stand-in SDK is already loaded; run each test in its own process";
    }

    // Every operation the applets use, unbound: false, no effect on the caller's variables.
    void expectNothingBound() {
        int red = 200, green = 100, blue = 50;
        EXPECT_FALSE(LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue));
        EXPECT_EQ(red, 200);
        EXPECT_EQ(green, 100);
        EXPECT_EQ(blue, 50);
        EXPECT_FALSE(LumoLedSetLighting(1, 2, 3));
        EXPECT_FALSE(LumoLedStopEffects());
        EXPECT_EQ(lastSdkCall(), "");
    }

    TemporaryFolder folder;
};

TEST_F(LoaderTest, SignedLibraryLoadsWithOnlyItsExports) {
    const std::string library = copySignedLibrary(kTestSdk, folder.file("sdk.so"));
    void* handle = loadVerifiedLibrary(library);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(testSdkLoads(), 1);
    EXPECT_NE(findExport(handle, "LumoLedInit"), nullptr);
    EXPECT_NE(findExport(handle, "LumoLedSetLighting"), nullptr);
    EXPECT_EQ(findExport(handle, "LumoLedSetTargetDevice"), nullptr);
    // Hidden helpers of the library are not exports.
    EXPECT_EQ(findExport(handle, "report"), nullptr);
}

TEST_F(LoaderTest, LoadingTheSameFileAgainReusesTheLoadedLibrary) {
    const std::string library = copySignedLibrary(kTestSdk, folder.file("sdk.so"));
    void* first = loadVerifiedLibrary(library);
    void* second = loadVerifiedLibrary(library);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    EXPECT_EQ(testSdkLoads(), 1);
}

// Libraries are known by their verified content, never by a reused descriptor number.
TEST_F(LoaderTest, ContentDecidesWhichLibraryIsLoaded) {
    void* first = loadVerifiedLibrary(copySignedLibrary(kTestSdk, folder.file("first.so")));
    void* sameContent = loadVerifiedLibrary(copySignedLibrary(kTestSdk, folder.file("second.so")));
    void* other = loadVerifiedLibrary(copySignedLibrary(kTestSdkWithoutInit, folder.file("other.so")));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(sameContent, first);
    EXPECT_NE(other, first);
    EXPECT_NE(findExport(first, "LumoLedInit"), nullptr);
    EXPECT_EQ(findExport(other, "LumoLedInit"), nullptr);
    EXPECT_EQ(testSdkLoads(), 2);
}

TEST_F(LoaderTest, FileChangedAfterLoadingDoesNotReachTheLoadedLibrary) {
    const std::string library = copySignedLibrary(kTestSdk, folder.file("sdk.so"));
    void* handle = loadVerifiedLibrary(library);
    ASSERT_NE(handle, nullptr);
    // Overwrite the file in place, keeping its inode, as an attacker with write access would.
    const std::string other = copySignedLibrary(kTestSdkWithoutInit, folder.file("other.so"));
    copyFile(other, library);
    EXPECT_NE(findExport(handle, "LumoLedInit"), nullptr);
    EXPECT_EQ(loadVerifiedLibrary(library), nullptr) << "old signature, new bytes";
    EXPECT_EQ(testSdkLoads(), 1);
}

// Each case leaves at `library` something that must not be loaded.
TEST_F(LoaderTest, RejectedFilesAreNeverLoaded) {
    struct Case {
        const char* name;
        std::function<std::string(const TemporaryFolder&)> prepare;
    };
    const Case cases[] = {
        {"missing file", [](const TemporaryFolder& f) { return f.file("absent.so"); }},
        {"no signature",
         [](const TemporaryFolder& f) {
             copyFile(kTestSdk, f.file("unsigned.so"));
             return f.file("unsigned.so");
         }},
        {"one byte changed",
         [](const TemporaryFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.file("tampered.so"));
             std::vector<unsigned char> bytes = readFile(library);
             bytes[bytes.size() / 2] ^= 0x01;
             writeFile(library, bytes);
             return library;
         }},
        {"signed with another key",
         [](const TemporaryFolder& f) {
             const std::string library = f.file("foreign.so");
             copyFile(kTestSdk, library);
             signWithAnotherKey(library);
             return library;
         }},
        {"signature of another library",
         [](const TemporaryFolder& f) {
             const std::string library = f.file("swapped.so");
             copyFile(kTestSdk, library);
             copyFile(kTestSdkWithoutInit + ".sig", library + ".sig");
             return library;
         }},
        {"signature cut short",
         [](const TemporaryFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.file("short-sig.so"));
             std::vector<unsigned char> signature = readFile(library + ".sig");
             signature.pop_back();
             writeFile(library + ".sig", signature);
             return library;
         }},
        {"signature with a byte too many",
         [](const TemporaryFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.file("long-sig.so"));
             std::vector<unsigned char> signature = readFile(library + ".sig");
             signature.push_back(0);
             writeFile(library + ".sig", signature);
             return library;
         }},
        {"relative path to a signed library",
         [](const TemporaryFolder& f) {
             copySignedLibrary(kTestSdk, f.file("relative.so"));
             if (::chdir(f.path().c_str()) != 0) {
                 ADD_FAILURE() << "chdir failed";
             }
             return std::string("relative.so");
         }},
        {"folder", [](const TemporaryFolder& f) { return f.path(); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string library = test.prepare(folder);
        EXPECT_EQ(loadVerifiedLibrary(library), nullptr);
        EXPECT_EQ(testSdkLoads(), 0);
    }
}

TEST_F(LoaderTest, WithoutRegistryKeyNothingIsBound) {
    EXPECT_FALSE(LumoLedInit());
    expectNothingBound();
    EXPECT_EQ(testSdkLoads(), 0);
}

TEST_F(LoaderTest, RegistryValuesThatNameNoCheckedFileBindNothing) {
    const std::string library = copySignedLibrary(kTestSdk, folder.file("sdk.so"));
    const std::string values[] = {
        folder.file("absent.so"),
        // Taken as written: neither the quotes nor the variable are interpreted.
        "\"" + library + "\"",
        "$LUMO_TEST_SDK_DIR/sdk.so",
        "sdk.so",
    };
    ::setenv("LUMO_TEST_SDK_DIR", folder.path().c_str(), 1);
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        registerSdk(folder, value);
        EXPECT_FALSE(LumoLedInit());
        expectNothingBound();
    }
    EXPECT_EQ(testSdkLoads(), 0);
}

TEST_F(LoaderTest, RegisteredSdkIsBoundAndForwardsCalls) {
    registerSdk(folder, copySignedLibrary(kTestSdk, folder.file("sdk.so")));
    ::setenv("LUMO_TEST_SDK_INIT_RESULTS", "1", 1);
    ASSERT_TRUE(LumoLedInit());

    int red = 200, green = 100, blue = 50;
    EXPECT_TRUE(LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue));
    EXPECT_EQ(lastSdkCall(), "LumoGetConfigOptionColor colors/dire 200 100 50 1");
    EXPECT_EQ(red, 11);
    EXPECT_EQ(green, 22);
    EXPECT_EQ(blue, 33);

    EXPECT_TRUE(LumoLedSetLighting(10, 20, 30));
    EXPECT_EQ(lastSdkCall(), "LumoLedSetLighting 10 20 30");

    // The SDK's own false comes back unchanged.
    EXPECT_FALSE(LumoLedStopEffects());
    EXPECT_EQ(lastSdkCall(), "LumoLedStopEffects");

    // Names the library does not export stay unavailable.
    double number = 1.5;
    EXPECT_FALSE(LumoGetConfigOptionNumber(L"misc/threshold", &number));
    EXPECT_EQ(number, 1.5);
    EXPECT_FALSE(LumoLedSetTargetDevice(7));
    EXPECT_EQ(lastSdkCall(), "LumoLedStopEffects");
}

TEST_F(LoaderTest, SecondInitBindsAgainAndReturnsTheSdksSecondResult) {
    registerSdk(folder, copySignedLibrary(kTestSdk, folder.file("sdk.so")));
    ::setenv("LUMO_TEST_SDK_INIT_RESULTS", "01", 1);
    EXPECT_FALSE(LumoLedInit());
    // A false from the SDK still leaves its operations bound.
    EXPECT_TRUE(LumoLedSetLighting(1, 2, 3));
    EXPECT_TRUE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);
}

TEST_F(LoaderTest, SdkWithoutInitExportStillServesItsOtherOperations) {
    registerSdk(folder, copySignedLibrary(kTestSdkWithoutInit, folder.file("sdk.so")));
    EXPECT_FALSE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);
    EXPECT_TRUE(LumoLedSetLighting(4, 5, 6));
    EXPECT_EQ(lastSdkCall(), "LumoLedSetLighting 4 5 6");
}

TEST_F(LoaderTest, FailedReloadKeepsTheBoundOperations) {
    registerSdk(folder, copySignedLibrary(kTestSdk, folder.file("sdk.so")));
    ::setenv("LUMO_TEST_SDK_INIT_RESULTS", "11", 1);
    ASSERT_TRUE(LumoLedInit());
    registerSdk(folder, folder.file("absent.so"));
    // The loading fails silently; the SDK's LumoLedInit, still bound, answers.
    EXPECT_TRUE(LumoLedInit());
    EXPECT_TRUE(LumoLedSetLighting(7, 8, 9));
}

// The registry gives at most 259 characters and a terminator.
TEST_F(LoaderTest, PathOf259CharactersLoadsAndOf260DoesNot) {
    const std::string longest = copySignedLibrary(kTestSdk, pathOfLength(folder.path(), 259));
    const std::string tooLong = copySignedLibrary(kTestSdk, pathOfLength(folder.path(), 260));
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_EQ(tooLong.size(), 260u);

    ::setenv("LUMO_TEST_SDK_INIT_RESULTS", "11", 1);
    registerSdk(folder, tooLong);
    EXPECT_FALSE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 0);

    registerSdk(folder, longest);
    EXPECT_TRUE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);

    // Only the registry's limit kept the longer path out (same content: the same library).
    EXPECT_NE(loadVerifiedLibrary(tooLong), nullptr);
    EXPECT_EQ(testSdkLoads(), 1);
}

}  // namespace
}  // namespace lumo::lighting::sdk_test
