#include <gtest/gtest.h>

#include <string>

#include "registry_writer.h"
#include "registry/registry.h"

namespace lumo::util {
namespace {

// The same reads against the registry of each system: the real one on Windows, the export
// file on POSIX. The writer's values are the only ones below its keys.
TEST(RegistryContract, ReadsStringsUnderTheWindowsRules) {
    lumo::test::RegistryWriter registry;
    const std::string steam = registry.machineKey() + "\\Valve\\Steam";
    const std::string user = registry.userKey() + "\\Valve\\Steam";
    const std::string a259(259, 'a');
    const std::string emoji = "\xF0\x9F\x8E\xAE";  // two UTF-16 units
    registry.setString(steam, "InstallPath", "C:\\Steam64");
    registry.setString(steam, "InstallPath", "C:\\Program Files (x86)\\Steam", true);
    registry.setString(steam, "", "default");
    registry.setString(steam, "Empty", "");
    registry.setString(steam, "Fits", a259);
    registry.setString(steam, "TooLong", a259 + "b");
    registry.setString(steam, "FitsWide", std::string(257, 'a') + emoji);
    registry.setString(steam, "TooLongWide", std::string(258, 'a') + emoji);
    registry.setString(steam, "Text", "D:\\Spiele \xC3\xBC\\\"x\"");
    registry.setNumber(steam, "Number", 42);
    registry.setString(user, "SteamPath", "c:/program files (x86)/steam");

    struct Case {
        std::string keyPath;
        std::string valueName;
        int flags;
        std::string expected;
    };
    const Case cases[] = {
        {steam, "InstallPath", 0, "C:\\Steam64"},
        {steam, "InstallPath", kRegistryView32, "C:\\Program Files (x86)\\Steam"},
        {steam, "", 0, "default"},
        {steam, "Empty", 0, ""},
        {steam, "Text", 0, "D:\\Spiele \xC3\xBC\\\"x\""},
        // Key and value names are not case-sensitive.
        {registry.machineKey() + "\\VALVE\\steam", "installpath", 0, "C:\\Steam64"},
        // 260 UTF-16 units with the terminator fit; one more does not.
        {steam, "Fits", 0, a259},
        {steam, "TooLong", 0, ""},
        {steam, "FitsWide", 0, std::string(257, 'a') + emoji},
        {steam, "TooLongWide", 0, ""},
        {steam, "Number", 0, ""},
        {steam, "Missing", 0, ""},
        {steam, "Fits", kRegistryView32, ""},
        {steam + "\\Sub", "InstallPath", 0, ""},
        {registry.machineKey() + "\\Valve", "InstallPath", 0, ""},
        {user, "SteamPath", 0, "c:/program files (x86)/steam"},
        // The 32-bit view redirects only the local machine's software branch.
        {user, "SteamPath", kRegistryView32, "c:/program files (x86)/steam"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keyPath << " / " << c.valueName << " flags " << c.flags);
        EXPECT_EQ(readRegistryString(c.keyPath, c.valueName, c.flags), c.expected);
    }
}

TEST(RegistryContract, WrittenKeysGoWithTheWriter) {
    std::string key;
    {
        lumo::test::RegistryWriter registry;
        key = registry.machineKey() + "\\Valve";
        registry.setString(key, "V", "value");
        registry.setString(key, "V", "value32", true);
        ASSERT_EQ(readRegistryString(key, "V"), "value");
    }
    EXPECT_EQ(readRegistryString(key, "V"), "");
    EXPECT_EQ(readRegistryString(key, "V", kRegistryView32), "");
}

}  // namespace
}  // namespace lumo::util
