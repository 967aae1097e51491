#include "lighting/lumo_binding.h"
#include "lighting/sdk_library.h"
#include "sdk_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>

#include "environment.h"
#include "files.h"
#include "text.h"

namespace lumo::lighting::sdk_test {
namespace {

using lumo::test::ScopedEnvironment;
using lumo::test::ScopedUnsetEnvironment;
using lumo::test::TempFolder;

std::string lastSdkCall() { return lumo::test::environmentValue("LUMO_TEST_SDK_LAST_CALL").value_or(""); }

class LoaderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(testSdkLoads(), 0) << "a stand-in SDK is already loaded; run each test in its own process";
    }

    // Makes the registry stand-in name `libraryPath`, exactly as given, as the SDK.
    void registerSdk(const std::string& libraryPath) {
        lumo::test::writeFile(folder.path() / "registry.reg",
                              lumo::test::registryFile(lumo::test::sdkRegistrySection(libraryPath)));
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

    TempFolder folder{"lumo-lighting"};
    ScopedUnsetEnvironment lastCall_{"LUMO_TEST_SDK_LAST_CALL"};
    ScopedUnsetEnvironment initResults_{"LUMO_TEST_SDK_INIT_RESULTS"};
    // No registry file unless a test writes one.
    ScopedEnvironment registry_{"LUMO_REGISTRY", folder.text("registry.reg")};
};

TEST_F(LoaderTest, SignedLibraryLoadsWithOnlyItsExports) {
    const std::string library = copySignedLibrary(kTestSdk, folder.text("sdk.so"));
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
    const std::string library = copySignedLibrary(kTestSdk, folder.text("sdk.so"));
    void* first = loadVerifiedLibrary(library);
    void* second = loadVerifiedLibrary(library);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    EXPECT_EQ(testSdkLoads(), 1);
}

// Libraries are known by their verified content, never by a reused descriptor number.
TEST_F(LoaderTest, ContentDecidesWhichLibraryIsLoaded) {
    void* first = loadVerifiedLibrary(copySignedLibrary(kTestSdk, folder.text("first.so")));
    void* sameContent = loadVerifiedLibrary(copySignedLibrary(kTestSdk, folder.text("second.so")));
    void* other = loadVerifiedLibrary(copySignedLibrary(kTestSdkWithoutInit, folder.text("other.so")));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(sameContent, first);
    EXPECT_NE(other, first);
    EXPECT_NE(findExport(first, "LumoLedInit"), nullptr);
    EXPECT_EQ(findExport(other, "LumoLedInit"), nullptr);
    EXPECT_EQ(testSdkLoads(), 2);
}

TEST_F(LoaderTest, FileChangedAfterLoadingDoesNotReachTheLoadedLibrary) {
    const std::string library = copySignedLibrary(kTestSdk, folder.text("sdk.so"));
    void* handle = loadVerifiedLibrary(library);
    ASSERT_NE(handle, nullptr);
    // Overwrite the file in place, keeping its inode, as an attacker with write access would.
    const std::string other = copySignedLibrary(kTestSdkWithoutInit, folder.text("other.so"));
    copyFile(other, library);
    EXPECT_NE(findExport(handle, "LumoLedInit"), nullptr);
    EXPECT_EQ(loadVerifiedLibrary(library), nullptr) << "old signature, new bytes";
    EXPECT_EQ(testSdkLoads(), 1);
}

// Each case leaves at `library` something that must not be loaded.
TEST_F(LoaderTest, RejectedFilesAreNeverLoaded) {
    struct Case {
        const char* name;
        std::function<std::string(const TempFolder&)> prepare;
    };
    const Case cases[] = {
        {"missing file", [](const TempFolder& f) { return f.text("absent.so"); }},
        {"no signature",
         [](const TempFolder& f) {
             copyFile(kTestSdk, f.text("unsigned.so"));
             return f.text("unsigned.so");
         }},
        {"one byte changed",
         [](const TempFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.text("tampered.so"));
             std::string bytes = lumo::test::readFile(library);
             bytes[bytes.size() / 2] ^= 0x01;
             lumo::test::writeFile(library, bytes);
             return library;
         }},
        {"signed with another key",
         [](const TempFolder& f) {
             const std::string library = f.text("foreign.so");
             copyFile(kTestSdk, library);
             signWithAnotherKey(library);
             return library;
         }},
        {"signature of another library",
         [](const TempFolder& f) {
             const std::string library = f.text("swapped.so");
             copyFile(kTestSdk, library);
             copyFile(kTestSdkWithoutInit + ".sig", library + ".sig");
             return library;
         }},
        {"signature cut short",
         [](const TempFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.text("short-sig.so"));
             std::string signature = lumo::test::readFile(library + ".sig");
             signature.pop_back();
             lumo::test::writeFile(library + ".sig", signature);
             return library;
         }},
        {"signature with a byte too many",
         [](const TempFolder& f) {
             const std::string library = copySignedLibrary(kTestSdk, f.text("long-sig.so"));
             std::string signature = lumo::test::readFile(library + ".sig");
             signature.push_back(0);
             lumo::test::writeFile(library + ".sig", signature);
             return library;
         }},
        {"relative path to a signed library",
         [](const TempFolder& f) {
             copySignedLibrary(kTestSdk, f.text("relative.so"));
             if (::chdir(f.path().c_str()) != 0) {
                 ADD_FAILURE() << "chdir failed";
             }
             return std::string("relative.so");
         }},
        {"folder", [](const TempFolder& f) { return f.text(); }},
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
    const std::string library = copySignedLibrary(kTestSdk, folder.text("sdk.so"));
    const std::string values[] = {
        folder.text("absent.so"),
        // Taken as written: neither the quotes nor the variable are interpreted.
        "\"" + library + "\"",
        "$LUMO_TEST_SDK_DIR/sdk.so",
        "sdk.so",
    };
    const ScopedEnvironment sdkFolder("LUMO_TEST_SDK_DIR", folder.text());
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        registerSdk(value);
        EXPECT_FALSE(LumoLedInit());
        expectNothingBound();
    }
    EXPECT_EQ(testSdkLoads(), 0);
}

TEST_F(LoaderTest, RegisteredSdkIsBoundAndForwardsCalls) {
    registerSdk(copySignedLibrary(kTestSdk, folder.text("sdk.so")));
    const ScopedEnvironment initResults("LUMO_TEST_SDK_INIT_RESULTS", "1");
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
    registerSdk(copySignedLibrary(kTestSdk, folder.text("sdk.so")));
    const ScopedEnvironment initResults("LUMO_TEST_SDK_INIT_RESULTS", "01");
    EXPECT_FALSE(LumoLedInit());
    // A false from the SDK still leaves its operations bound.
    EXPECT_TRUE(LumoLedSetLighting(1, 2, 3));
    EXPECT_TRUE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);
}

TEST_F(LoaderTest, SdkWithoutInitExportStillServesItsOtherOperations) {
    registerSdk(copySignedLibrary(kTestSdkWithoutInit, folder.text("sdk.so")));
    EXPECT_FALSE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);
    EXPECT_TRUE(LumoLedSetLighting(4, 5, 6));
    EXPECT_EQ(lastSdkCall(), "LumoLedSetLighting 4 5 6");
}

TEST_F(LoaderTest, FailedReloadKeepsTheBoundOperations) {
    registerSdk(copySignedLibrary(kTestSdk, folder.text("sdk.so")));
    const ScopedEnvironment initResults("LUMO_TEST_SDK_INIT_RESULTS", "11");
    ASSERT_TRUE(LumoLedInit());
    registerSdk(folder.text("absent.so"));
    // The loading fails silently; the SDK's LumoLedInit, still bound, answers.
    EXPECT_TRUE(LumoLedInit());
    EXPECT_TRUE(LumoLedSetLighting(7, 8, 9));
}

// The registry gives at most 259 characters and a terminator.
TEST_F(LoaderTest, PathOf259CharactersLoadsAndOf260DoesNot) {
    const std::string longest = copySignedLibrary(kTestSdk, pathOfLength(folder.text(), 259));
    const std::string tooLong = copySignedLibrary(kTestSdk, pathOfLength(folder.text(), 260));
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_EQ(tooLong.size(), 260u);

    const ScopedEnvironment initResults("LUMO_TEST_SDK_INIT_RESULTS", "11");
    registerSdk(tooLong);
    EXPECT_FALSE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 0);

    registerSdk(longest);
    EXPECT_TRUE(LumoLedInit());
    EXPECT_EQ(testSdkLoads(), 1);

    // Only the registry's limit kept the longer path out (same content: the same library).
    EXPECT_NE(loadVerifiedLibrary(tooLong), nullptr);
    EXPECT_EQ(testSdkLoads(), 1);
}

}  // namespace
}  // namespace lumo::lighting::sdk_test
