#include <algorithm>
#include <cwchar>
#include <string>

#include "simulator_fixture.h"

namespace lumo::simulator::test {
namespace {

using OptionsTest = SimulatorTest;

TEST_F(OptionsTest, FirstReadDeclaresEachTypeWithTheCallersValue) {
    int red = 255, green = 25, blue = 25;
    bool show = true;
    double percent = 30.0;
    wchar_t key[8] = L"Q";

    EXPECT_TRUE(sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionNumber(L"misc/flash_health_percent", &percent, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionKeyInput(L"keybinds/ability0", key, sizeof(key), 1));

    EXPECT_EQ(red, 255);
    EXPECT_EQ(green, 25);
    EXPECT_EQ(blue, 25);
    EXPECT_TRUE(show);
    EXPECT_EQ(percent, 30.0);
    EXPECT_STREQ(key, L"Q");

    const Json expected = Json::parse(R"({
        "colors/dire": {"type": "color", "default": [255, 25, 25], "value": [255, 25, 25]},
        "misc/show_health": {"type": "bool", "default": true, "value": true},
        "misc/flash_health_percent": {"type": "number", "default": 30.0, "value": 30.0},
        "keybinds/ability0": {"type": "key", "default": "Q", "value": "Q"}
    })");
    EXPECT_EQ(options().at(program()), expected);
}

TEST_F(OptionsTest, LaterReadsHandBackTheStoredValues) {
    writeOptions(Json{
        {program(),
         {
             {"colors/dire", {{"type", "color"}, {"default", {255, 25, 25}}, {"value", {10, 20, 30}}}},
             {"misc/show_health", {{"type", "bool"}, {"default", true}, {"value", false}}},
             {"misc/flash_health_percent", {{"type", "number"}, {"default", 30.0}, {"value", 12}}},
             {"keybinds/ability0", {{"type", "key"}, {"default", "Q"}, {"value", "J"}}},
         }}}.dump());

    int red = 255, green = 25, blue = 25;
    bool show = true;
    double percent = 30.0;
    wchar_t key[8] = L"Q";
    EXPECT_TRUE(sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionNumber(L"misc/flash_health_percent", &percent, 1));
    EXPECT_TRUE(sdk.LumoGetConfigOptionKeyInput(L"keybinds/ability0", key, sizeof(key), 1));

    EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{10, 20, 30}));
    EXPECT_FALSE(show);
    EXPECT_EQ(percent, 12.0);
    EXPECT_STREQ(key, L"J");
}

TEST_F(OptionsTest, EntrySeededWithOnlyAValueIsCompletedAndItsValueKept) {
    writeOptions(Json{{program(), {{"colors/chat", {{"value", {1, 2, 3}}}}}}}.dump());

    int red = 255, green = 255, blue = 255;
    EXPECT_TRUE(sdk.LumoGetConfigOptionColor(L"colors/chat", &red, &green, &blue, 1));

    EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(options().at(program()).at("colors/chat"),
              Json::parse(R"({"value": [1, 2, 3], "type": "color", "default": [255, 255, 255]})"));
}

TEST_F(OptionsTest, ValueEditedInTheFileIsSeenAtTheNextRead) {
    bool smooth = false;
    ASSERT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/smooth_health", &smooth, 1));
    ASSERT_FALSE(smooth);

    // Same length as before, so only the modification time tells the versions apart.
    std::string text = lumo::test::readFile(optionsPath);
    const std::string before = R"("value": false)";
    ASSERT_NE(text.find(before), std::string::npos) << text;
    text.replace(text.find(before), before.size(), R"("value": true )");
    writeOptions(text);

    // The caller passes its current value, as a program polling for changes does.
    EXPECT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/smooth_health", &smooth, 1));
    EXPECT_TRUE(smooth);
    EXPECT_EQ(options().at(program()).at("misc/smooth_health").at("default"), false);
}

TEST_F(OptionsTest, LabelsNameGroupsAndOptionsWithoutTouchingValues) {
    double percent = 30.0;
    ASSERT_TRUE(sdk.LumoGetConfigOptionNumber(L"misc/flash_health_percent", &percent, 1));
    EXPECT_TRUE(sdk.LumoSetConfigOptionLabel(L"misc", L"Miscellaneous", 1));
    EXPECT_TRUE(sdk.LumoSetConfigOptionLabel(L"misc/flash_health_percent", L"Flash health %", 1));
    EXPECT_TRUE(sdk.LumoSetConfigOptionLabel(L"colors", L"Colors \u00e9", 1));

    const Json section = options().at(program());
    EXPECT_EQ(section.at("misc"), Json::parse(R"({"label": "Miscellaneous"})"));
    EXPECT_EQ(section.at("colors"), Json::parse(R"({"label": "Colors \u00e9"})"));
    EXPECT_EQ(
        section.at("misc/flash_health_percent"),
        Json::parse(R"({"type": "number", "default": 30.0, "value": 30.0, "label": "Flash health %"})"));

    // A label set before the first read stays when the option is declared.
    ASSERT_TRUE(sdk.LumoSetConfigOptionLabel(L"misc/show_mana", L"Show mana", 1));
    bool show = true;
    ASSERT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_mana", &show, 1));
    EXPECT_EQ(options().at(program()).at("misc/show_mana"),
              Json::parse(R"({"label": "Show mana", "type": "bool", "default": true, "value": true})"));
}

TEST_F(OptionsTest, KeyNameIsCutToTheBufferSizeInBytes) {
    writeOptions(
        Json{{program(), {{"keybinds/slot0", {{"type", "key"}, {"default", "Z"}, {"value", "SPACE"}}}}}}
            .dump());
    constexpr int kWide = sizeof(wchar_t);
    struct Case {
        int bufferSize;
        bool returns;
        std::wstring written;  // then the terminator
    };
    const Case cases[] = {
        {64, true, L"SPACE"},       {6 * kWide, true, L"SPACE"},
        {5 * kWide, true, L"SPAC"}, {3 * kWide + 1, true, L"SP"},  // a partial wide character does not count
        {2 * kWide, true, L"S"},    {1 * kWide, true, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bufferSize);
        wchar_t buffer[32];
        std::wmemset(buffer, L'#', 32);
        buffer[0] = L'Z';
        buffer[1] = L'\0';
        EXPECT_EQ(sdk.LumoGetConfigOptionKeyInput(L"keybinds/slot0", buffer, c.bufferSize, 1), c.returns);
        EXPECT_EQ(std::wstring(buffer), c.written);
        // Nothing beyond the given size was touched.
        for (int i = std::max(c.bufferSize / kWide, 2); i < 32; ++i) EXPECT_EQ(buffer[i], L'#') << i;
    }

    for (int tooSmall : {0, kWide - 1, -4}) {
        SCOPED_TRACE(tooSmall);
        wchar_t buffer[2] = {L'Z', L'\0'};
        EXPECT_FALSE(sdk.LumoGetConfigOptionKeyInput(L"keybinds/slot0", buffer, tooSmall, 1));
        EXPECT_EQ(buffer[0], L'Z');
        EXPECT_EQ(buffer[1], L'\0');
    }
}

TEST_F(OptionsTest, MalformedFileKeepsDefaultsIsReportedOnceAndIsNotOverwritten) {
    const std::string broken = "{ \"" + program() + "\": { \"colors/dire\": ";
    writeOptions(broken);

    StderrCapture capture;
    int red = 255, green = 25, blue = 25;
    bool show = true;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1));
        EXPECT_FALSE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
        EXPECT_FALSE(sdk.LumoSetConfigOptionLabel(L"colors", L"Colors", 1));
    }
    const std::string reported = capture.finish();

    EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{255, 25, 25}));
    EXPECT_TRUE(show);
    EXPECT_EQ(lumo::test::readFile(optionsPath), broken);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
    EXPECT_NE(reported.find(optionsPath.string()), std::string::npos) << reported;

    // Once repaired, the file is used again.
    writeOptions(Json{{program(), {{"misc/show_health", {{"value", false}}}}}}.dump());
    EXPECT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
    EXPECT_FALSE(show);
}

// The JSON reader rejects such a number with another exception than a syntax error.
TEST_F(OptionsTest, NumberTooLargeForADoubleMakesTheFileUnusableLikeASyntaxError) {
    const std::string huge = "{\"" + program() + "\": {\"misc/flash_health_percent\": {\"value\": 1e400}}}";
    writeOptions(huge);

    StderrCapture capture;
    double percent = 30.0;
    EXPECT_FALSE(sdk.LumoGetConfigOptionNumber(L"misc/flash_health_percent", &percent, 1));
    const std::string reported = capture.finish();

    EXPECT_EQ(percent, 30.0);
    EXPECT_EQ(lumo::test::readFile(optionsPath), huge);
    EXPECT_NE(reported.find("is not valid JSON"), std::string::npos) << reported;
}

TEST_F(OptionsTest, FileThatIsNotAnObjectIsLeftAlone) {
    for (const std::string& text :
         std::vector<std::string>{"[1, 2, 3]", "42", "{\"" + program() + "\": [1]}"}) {
        SCOPED_TRACE(text);
        writeOptions(text);
        StderrCapture capture;
        bool show = true;
        EXPECT_FALSE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
        EXPECT_TRUE(show);
        EXPECT_EQ(lumo::test::readFile(optionsPath), text);
        EXPECT_FALSE(capture.finish().empty());
    }
}

TEST_F(OptionsTest, WrongTypedValueIsIgnoredAndReportedOnce) {
    struct Case {
        const char* path;
        const char* value;
    };
    const Case cases[] = {
        {"colors/dire", R"("red")"},
        {"colors/radiant", "[1, 2]"},
        {"colors/cooldown", "[0, 0, 256]"},
        {"colors/menu", "[0, -1, 0]"},
        {"colors/chat", "[0.5, 0, 0]"},
        {"misc/show_health", "1"},
        {"misc/flash_health_percent", R"("30")"},
        {"keybinds/ability0", "5"},
    };
    Json seeded = Json::object();
    for (const Case& c : cases) seeded[c.path] = Json{{"value", Json::parse(c.value)}};
    writeOptions(Json{{program(), seeded}}.dump());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = c.path;
        const std::wstring widePath(path.begin(), path.end());
        StderrCapture capture;
        for (int round = 0; round < 2; ++round) {
            if (path.rfind("colors/", 0) == 0) {
                int red = 7, green = 8, blue = 9;
                EXPECT_FALSE(sdk.LumoGetConfigOptionColor(widePath.c_str(), &red, &green, &blue, 1));
                EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{7, 8, 9}));
            } else if (path == "misc/show_health") {
                bool show = true;
                EXPECT_FALSE(sdk.LumoGetConfigOptionBool(widePath.c_str(), &show, 1));
                EXPECT_TRUE(show);
            } else if (path == "misc/flash_health_percent") {
                double percent = 30.0;
                EXPECT_FALSE(sdk.LumoGetConfigOptionNumber(widePath.c_str(), &percent, 1));
                EXPECT_EQ(percent, 30.0);
            } else {
                wchar_t key[4] = L"Q";
                EXPECT_FALSE(sdk.LumoGetConfigOptionKeyInput(widePath.c_str(), key, sizeof(key), 1));
                EXPECT_STREQ(key, L"Q");
            }
        }
        const std::string reported = capture.finish();
        EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
        EXPECT_NE(reported.find(path), std::string::npos) << reported;
        // The person's value stays in the file for them to correct.
        EXPECT_EQ(options().at(program()).at(path).at("value"), Json::parse(c.value));
    }
}

TEST_F(OptionsTest, OtherProgramsAndUnknownMembersSurviveADeclaration) {
    writeOptions(
        R"({"roundglow": {"colors/menu": {"type": "color", "default": [1, 1, 1], "value": [2, 2, 2]}},
                     ")" +
        program() + R"(": {"misc/show_mana": {"value": true, "note": "mine"}}})");
    bool show = false;
    ASSERT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_mana", &show, 1));
    ASSERT_TRUE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));

    const Json saved = options();
    EXPECT_EQ(saved.at("roundglow").at("colors/menu").at("value"), Json::parse("[2, 2, 2]"));
    EXPECT_EQ(saved.at(program()).at("misc/show_mana").at("note"), "mine");
    EXPECT_TRUE(saved.at(program()).contains("misc/show_health"));
}

TEST_F(OptionsTest, DefaultLocationFollowsTheUsersConfigurationFolder) {
    const std::filesystem::path config = folder / "xdg";
    const lumo::test::ScopedUnsetEnvironment noOptionsFile("LUMO_OPTIONS");
    // The user's configuration folder: XDG_CONFIG_HOME on POSIX, APPDATA on Windows.
    const lumo::test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.string());
    const lumo::test::ScopedEnvironment appData("APPDATA", config.string());
    double percent = 20.0;
    EXPECT_TRUE(sdk.LumoGetConfigOptionNumber(L"misc/flash_ammo_percent", &percent, 1));
    const Json saved = Json::parse(lumo::test::readFile(config / "lumo" / "options.json"));
    EXPECT_EQ(saved.at(program()).at("misc/flash_ammo_percent").at("value"), 20.0);
}

}  // namespace
}  // namespace lumo::simulator::test
