#include "util/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "filesystem/tests/scratch_folder.h"

namespace lumo::util {
namespace {

// Points LUMO_REGISTRY at a file of the test's making and restores it afterwards.
class RegistryFileRead : public testing::Test {
protected:
    RegistryFileRead() : scratch_("lumo-reg"), fileName_(scratch_.text("registry.reg")) {
        if (const char* previous = std::getenv("LUMO_REGISTRY")) previous_ = previous;
        ::setenv("LUMO_REGISTRY", fileName_.c_str(), 1);
    }
    ~RegistryFileRead() override {
        if (previous_) {
            ::setenv("LUMO_REGISTRY", previous_->c_str(), 1);
        } else {
            ::unsetenv("LUMO_REGISTRY");
        }
    }
    void writeRegistry(const std::string& text) { std::ofstream(fileName_, std::ios::binary) << text; }

    testing_support::ScratchFolder scratch_;
    std::string fileName_;
    std::optional<std::string> previous_;
};

TEST_F(RegistryFileRead, ReadsTheNamedFile) {
    const std::string sdkKey =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary";
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
