#include "registry/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "registry/registry_file.h"

namespace lumo::util {
namespace {

TEST(RegistryRoot, FirstKnownRootNameWins) {
    struct Case {
        std::string keyPath;
        RegistryRoot root;
        std::string subKey;  // "unchanged" when the out-parameter must stay untouched
    };
    const Case cases[] = {
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", RegistryRoot::localMachine, "SOFTWARE\\Valve\\Steam"},
        {"HKEY_CURRENT_USER\\Software\\Valve\\Steam", RegistryRoot::currentUser, "Software\\Valve\\Steam"},
        {"HKEY_CLASSES_ROOT\\CLSID", RegistryRoot::classesRoot, "CLSID"},
        {"HKEY_USERS\\S-1-5-18\\x", RegistryRoot::users, "S-1-5-18\\x"},
        {"HKEY_LOCAL_MACHINE\\", RegistryRoot::localMachine, ""},
        // Both names present: the local machine is tested first, wherever it stands.
        {"HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\x", RegistryRoot::localMachine, "HKEY_LOCAL_MACHINE\\x"},
        // The sub-key always follows the first backslash of the whole path.
        {"Computer\\HKEY_USERS\\x", RegistryRoot::users, "HKEY_USERS\\x"},
        {"HKEY_LOCAL_MACHINE", RegistryRoot::none, "unchanged"},
        {"hkey_local_machine\\SOFTWARE", RegistryRoot::none, "unchanged"},
        {"HKLM\\SOFTWARE", RegistryRoot::none, "unchanged"},
        {"HKEY_LOCAL_MACHINE/SOFTWARE", RegistryRoot::none, "unchanged"},
        {"", RegistryRoot::none, "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyPath);
        std::string subKey = "unchanged";
        EXPECT_EQ(parseRegistryRoot(c.keyPath, &subKey), c.root);
        EXPECT_EQ(subKey, c.subKey);
        EXPECT_EQ(parseRegistryRoot(c.keyPath), c.root);
    }
}

TEST(RegistryFile, ReadsExportedKeysAndValues) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; exported by hand\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam]\r\n"
        "\"InstallPath\"=\"C:\\\\Program Files (x86)\\\\Steam\"\r\n"
        "@=\"default \\\"quoted\\\"\"\r\n"
        "\"Empty\"=\"\"\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03,04\r\n"
        "\"Multi\"=hex(7):41,00,00,00\r\n"
        "  \"Spaced\" = \"text\"  \r\n"
        "\r\n"
        "[hkey_local_machine\\software\\valve\\steam]\r\n"
        "\"installpath\"=\"D:\\\\Steam\"\r\n"
        "[HKEY_CURRENT_USER\\Gone]\r\n"
        "\"a\"=\"b\"\r\n"
        "[HKEY_CURRENT_USER\\Gone\\Child]\r\n"
        "[HKEY_CURRENT_USER\\GoneNot]\r\n"
        "\"Removed\"=\"x\"\r\n"
        "\"Removed\"=-\r\n"
        "\"Kept\"=\"\xC3\xBC\"\r\n"
        "[-HKEY_CURRENT_USER\\Gone]\r\n"
        "\"IgnoredUnderDeletion\"=\"x\"\r\n";
    const std::optional<RegistryKeys> keys = parseRegistryFile(text);
    ASSERT_TRUE(keys.has_value());

    ASSERT_EQ(keys->size(), 2u);
    const RegistryValues& steam = keys->at("HKEY_LOCAL_MACHINE\\SOFTWARE\\VALVE\\STEAM");
    struct Expected {
        const char* name;
        bool isString;
        const char* text;
    };
    const Expected expected[] = {
        {"InstallPath", true, "D:\\Steam"},  // a repeated key adds to the same values
        {"", true, "default \"quoted\""},
        {"Empty", true, ""},
        {"Count", false, ""},
        {"Blob", false, ""},
        {"Multi", false, ""},
        {"Spaced", true, "text"},
    };
    EXPECT_EQ(steam.size(), std::size(expected));
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        ASSERT_EQ(steam.count(e.name), 1u);
        EXPECT_EQ(steam.at(e.name).isString, e.isString);
        EXPECT_EQ(steam.at(e.name).text, e.text);
    }
    const RegistryValues& kept = keys->at("HKEY_CURRENT_USER\\GoneNot");
    EXPECT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.at("kept").text, "\xC3\xBC");
}

TEST(RegistryFile, ReadsUtf16ExportsWithTheirMark) {
    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\X]\r\n\"N\"=\"\u00FC\U0001F3AE\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const std::optional<RegistryKeys> keys = parseRegistryFile(bytes);
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(keys->at("HKEY_USERS\\X").at("N").text, "\xC3\xBC\xF0\x9F\x8E\xAE");

    bytes.pop_back();
    EXPECT_FALSE(parseRegistryFile(bytes).has_value()) << "odd byte count";
}

TEST(RegistryFile, MalformedTextYieldsNothing) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    const std::string section = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\n";
    const std::string cases[] = {
        "",
        "\n; only a comment\n",
        section + "\"a\"=\"b\"\n",  // no header
        "Windows Registry Editor Version 4.00\n" + section,
        header + "\"a\"=\"b\"\n" + section,  // value before any key
        header + section + "\"a\"=\"unterminated\n",
        header + section + "\"a\"=\"bad \\n escape\"\n",
        header + section + "\"a\"=\"ends in backslash\\\"\n",
        header + section + "\"a\"=\"b\" trailing\n",
        header + section + "\"unterminated=\"b\"\n",
        header + section + "\"a\"\n",
        header + section + "\"a\"=\n",
        header + section + "\"a\"=b\n",
        header + section + "\"a\"=dword:\n",
        header + section + "\"a\"=dword:123456789\n",
        header + section + "\"a\"=dword:xyz\n",
        header + section + "\"a\"=hex:1,02\n",
        header + section + "\"a\"=hex(z):01\n",
        header + section + "\"a\"=hex:01,\\\n",  // continuation past the end
        header + section + "junk\n",
        header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\n",
        header + "[]\n",
        header + "[-]\n",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseRegistryFile(text).has_value());
    }
}

TEST(RegistryLookup, FollowsTheWindowsReadRules) {
    const std::string a259(259, 'a');
    const std::string a258(258, 'a');
    const std::string a257(257, 'a');
    const std::string emoji = "\xF0\x9F\x8E\xAE";  // two UTF-16 units
    const std::optional<RegistryKeys> keys = parseRegistryFile(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam]\n"
        "\"InstallPath\"=\"C:\\\\Steam64\"\n"
        "@=\"default\"\n"
        "\"Number\"=dword:00000001\n"
        "\"Fits\"=\"" +
        a259 +
        "\"\n"
        "\"TooLong\"=\"" +
        a259 +
        "b\"\n"
        "\"FitsWide\"=\"" +
        a257 + emoji +
        "\"\n"
        "\"TooLongWide\"=\"" +
        a258 + emoji +
        "\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Valve\\Steam]\n"
        "\"InstallPath\"=\"C:\\\\Program Files (x86)\\\\Steam\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node]\n"
        "\"Top\"=\"32-bit top\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Valve\\Steam]\n"
        "\"SteamPath\"=\"c:/program files (x86)/steam\"\n");
    ASSERT_TRUE(keys.has_value());

    const std::string steam = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam";
    struct Case {
        std::string keyPath;
        std::string valueName;
        int flags;
        std::string expected;
    };
    const Case cases[] = {
        {steam, "InstallPath", 0, "C:\\Steam64"},
        {steam, "", 0, "default"},
        {steam, "InstallPath", kRegistryView32, "C:\\Program Files (x86)\\Steam"},
        {"HKEY_LOCAL_MACHINE\\software\\VALVE\\steam", "installpath", 0, "C:\\Steam64"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE", "Top", kRegistryView32, "32-bit top"},
        {"HKEY_CURRENT_USER\\Software\\Valve\\Steam", "SteamPath", 0, "c:/program files (x86)/steam"},
        // The 32-bit view redirects only the local machine's software branch.
        {"HKEY_CURRENT_USER\\Software\\Valve\\Steam", "SteamPath", kRegistryView32,
         "c:/program files (x86)/steam"},
        // 260 UTF-16 units with the terminator fit; one more does not.
        {steam, "Fits", 0, a259},
        {steam, "TooLong", 0, ""},
        {steam, "FitsWide", 0, a257 + emoji},
        {steam, "TooLongWide", 0, ""},
        {steam, "Number", 0, ""},
        {steam, "Missing", 0, ""},
        {steam, "Fits", kRegistryView32, ""},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve", "InstallPath", 0, ""},
        {steam + "\\Sub", "InstallPath", 0, ""},
        {"HKEY_USERS\\SOFTWARE\\Valve\\Steam", "InstallPath", 0, ""},
        {"SOFTWARE\\Valve\\Steam", "InstallPath", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keyPath << " / " << c.valueName << " flags " << c.flags);
        EXPECT_EQ(findRegistryString(*keys, c.keyPath, c.valueName, c.flags), c.expected);
    }
}

TEST(RegistryRead, AbsenceIsTheEmptyString) {
    EXPECT_EQ(readRegistryString("SOFTWARE\\Valve\\Steam", "InstallPath"), "");
    EXPECT_EQ(readRegistryString("HKEY_LOCAL_MACHINE\\SOFTWARE\\lumo-tests-no-such-key\\9f1c", "V"), "");
    EXPECT_EQ(readRegistryString("HKEY_CURRENT_USER\\lumo-tests-no-such-key\\9f1c", "", kRegistryView32), "");
}

}  // namespace
}  // namespace lumo::util
