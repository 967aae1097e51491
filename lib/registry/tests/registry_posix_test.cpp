#include "registry/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "environment.h"
#include "files.h"
#include "text.h"

namespace lumo::util {
namespace {

// Points LUMO_REGISTRY at a file of the test's making and restores it afterwards.
class RegistryFileRead : public testing::Test {
protected:
    void writeRegistry(const std::string& text) {
        lumo::test::writeFile(scratch_.path() / "registry.reg", text);
    }

    lumo::test::TempFolder scratch_{"lumo-reg"};
    std::string fileName_ = scratch_.text("registry.reg");
    lumo::test::ScopedEnvironment registry_{"LUMO_REGISTRY", fileName_};
};

TEST_F(RegistryFileRead, ReadsTheNamedFile) {
    const std::string sdkKey = lumo::test::kSdkRegistryKey;
    writeRegistry(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "[" +
        sdkKey +
        "]\r\n"
        "@=\"/opt/lumo/liblumo_sdk.so\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Valve\\Steam]\r\n"
        "\"InstallPath\"=\"C:\\\\Program Files (x86)\\\\Steam\"\r\n");
    EXPECT_EQ(readRegistryString(sdkKey, ""), "/opt/lumo/liblumo_sdk.so");
    EXPECT_EQ(
        readRegistryString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath", kRegistryView32),
        "C:\\Program Files (x86)\\Steam");
    EXPECT_EQ(readRegistryString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath"), "");
}

TEST_F(RegistryFileRead, BrokenOrAbsentFileIsEmpty) {
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\X";
    const std::string good = "Windows Registry Editor Version 5.00\n[" + key + "]\n\"V\"=\"value\"\n";
    writeRegistry(good);
    ASSERT_EQ(readRegistryString(key, "V"), "value");

    writeRegistry(good + "\"W\"=\"unterminated\n");
    EXPECT_EQ(readRegistryString(key, "V"), "") << "a malformed file is no registry at all";

    std::filesystem::remove(fileName_);
    EXPECT_EQ(readRegistryString(key, "V"), "");

    std::filesystem::create_directory(fileName_);
    EXPECT_EQ(readRegistryString(key, "V"), "");
}

}  // namespace
}  // namespace lumo::util
