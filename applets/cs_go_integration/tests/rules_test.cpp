// The arithmetic and parsing rules of roundglow, in process.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cs_go_integration/cs2_bindings.h"
#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/health_bar.h"
#include "cs_go_integration/key_bindings.h"
#include "keybinds/user_files.h"
#include "steam/keyvalues.h"

namespace roundglow {

namespace {

using lumo::lighting::OptionColor;

TEST(BindLine, QuotesDecideKeyAndCommand) {
    const struct {
        const char* line;
        const char* key;
        const char* command;
    } cases[] = {
        {R"(bind "w" "+forward")", "w", "+forward"},
        {R"(bind "SPACE" "+jump")", "SPACE", "+jump"},
        {R"(bind "\" "toggleconsole")", "\\", "toggleconsole"},
        {R"(bind "6" "buy vesthelm; buy defuser")", "6", "buy vesthelm; buy defuser"},
        {R"(	bind "r" "+reload"	// trailing comment)", "r", "+reload"},
        // No closing quote: the command runs to the end of the line.
        {R"(bind "r" "+reload)", "r", "+reload"},
        // Two quotes: the searches wrap, the command is what stands before the first quote.
        {R"(unbind "r")", "r", "unbind "},
        {R"(bind "x" +reload)", "x", "bind "},
        // One quote: key and command are both what follows it.
        {R"(bind "x)", "x", "x"},
        // No quote: both are the whole line.
        {"bind x +reload", "bind x +reload", "bind x +reload"},
        // Not a bind line at all.
        {"unbindall", "", ""},
        {R"(cl_crosshairsize "2.5")", "", ""},
        {"", "", ""},
        {R"(bind "" "+forward")", "", "+forward"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseBindLine(c.line), (std::pair<std::string, std::string>{c.key, c.command}));
    }
}

TEST(KeyTables, CellsAndDefaultsAsTheGameWritesThem) {
    resetKeyBindings();
    buildKeyCellTable();
    buildDefaultBindings();
    EXPECT_EQ(keyCellTable.size(), 44u);
    EXPECT_EQ(bindingTable.size(), 22u);
    const std::pair<const char*, std::optional<int>> commands[] = {
        {"+forward", 44}, {"+reload", 46},     {"slot1", 22},  {"slot5", 26},
        {"+jump", 110},   {"+showscores", 42}, {"+speed", 85}, {"+duck", 105},
        {"buymenu", 90},  {"messagemode", 48}, {"+left", 64},  {"+attack", std::nullopt},
    };
    for (const auto& [command, cell] : commands) {
        SCOPED_TRACE(command);
        EXPECT_EQ(cellOfCommand(command), cell);
    }
    // Names are exact: the game writes letters in lower case.
    EXPECT_EQ(keyCellTable.count("W"), 0u);
    EXPECT_EQ(keyCellTable.at("`"), 21);
    EXPECT_EQ(keyCellTable.at("ALT"), 108);
    EXPECT_EQ(keyCellTable.at("."), 94);
}

TEST(Cs2Keys, NamesAndScancodesBecomeTheTablesNames) {
    resetKeyBindings();
    buildKeyCellTable();
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        // clang-format off
        {"space", "SPACE"}, {"SPACE", "SPACE"}, {"Tab", "TAB"}, {"w", "w"}, {"W", "w"},
        {"uparrow", std::nullopt}, {"mouse4", std::nullopt}, {"JOY1", std::nullopt}, {"POV_UP", std::nullopt},
        {"F5", std::nullopt}, {"KP_END", std::nullopt}, {"scancode26", "w"}, {"scancode4", "a"},
        {"scancode29", "z"}, {"scancode30", "1"}, {"scancode39", "0"}, {"scancode44", "SPACE"},
        {"scancode53", "`"}, {"scancode224", "CTRL"}, {"scancode225", "SHIFT"}, {"scancode226", "ALT"},
        {"scancode40", std::nullopt}, {"scancode", std::nullopt}, {"scancode2x", std::nullopt},
        // clang-format on
    };
    for (const auto& [key, name] : cases) {
        SCOPED_TRACE(key);
        EXPECT_EQ(roundglow::tableKeyName(key, keyCellTable), name);
    }
}

// Files shaped as the game writes them: tab-separated, quoted, "analogbindings" after
// "bindings". The defaults file binds gamepad buttons to the keyboard's commands as the game's
// own does.
constexpr const char* kGameDefaults = R"("config"
{
	"bindings"
	{
		"1"		"slot1"
		"2"		"slot2"
		"3"		"slot3"
		"4"		"slot4"
		"a"		"+left"
		"CTRL"		"+duck"
		"d"		"+right"
		"e"		"+use"
		"JOY1"		"+jump"
		"JOY2"		"+reload"
		"JOY9"		"+duck"
		"MOUSE1"		"+attack"
		"POV_DOWN"		"slot3"
		"POV_LEFT"		"slot4"
		"POV_RIGHT"		"slot2"
		"POV_UP"		"slot1"
		"r"		"+reload"
		"s"		"+back"
		"SHIFT"		"+sprint"
		"SPACE"		"+jump"
		"w"		"+forward"
	}
	"analogbindings"
	{
		"MOUSE_X"		"yaw"
		"MOUSE_Y"		"pitch"
	}
})";

std::string playerFile(const std::string& entries) {
    return "\"config\"\n{\n\t\"bindings\"\n\t{\n" + entries +
           "\t}\n\t\"analogbindings\"\n\t{\n\t\t\"MOUSE_X\"\t\t\"yaw\"\n\t}\n}\n";
}

TEST(Cs2Keys, EffectiveBindingsPutEachCommandOnAKeyWithACell) {
    const struct {
        const char* what;
        const char* defaults;
        std::string user;
        std::vector<std::pair<const char*, const char*>> expected;  // command, key name
    } cases[] = {
        {"gamepad buttons sorting after the keys never take the command", kGameDefaults, "",
         {{"slot1", "1"}, {"slot4", "4"}, {"+duck", "CTRL"}, {"+jump", "SPACE"}, {"+reload", "r"}}},
        {"+sprint is the walk command", kGameDefaults, "", {{"+speed", "SHIFT"}}},
        {"walking moved by the player", kGameDefaults, playerFile("\t\t\"SHIFT\"\t\t\"+duck\"\n\t\t\"c\"\t\t\"+sprint\"\n"),
         {{"+speed", "c"}, {"+duck", "SHIFT"}}},
        {"the player's key wins over the defaults file's", kGameDefaults,
         playerFile("\t\t\"x\"\t\t\"+reload\"\n"), {{"+reload", "x"}}},
        {"within one file the later line wins", kGameDefaults,
         playerFile("\t\t\"z\"\t\t\"+use\"\n\t\t\"c\"\t\t\"+use\"\n"), {{"+use", "c"}}},
        {"a command moved to an arrow lights nothing", kGameDefaults,
         playerFile("\t\t\"w\"\t\t\"<unbound>\"\n\t\t\"UPARROW\"\t\t\"+forward\"\n"),
         {{"+forward", "UPARROW"}}},
        {"a command moved to the mouse lights nothing", kGameDefaults,
         playerFile("\t\t\"MOUSE4\"\t\t\"+back\"\n\t\t\"s\"\t\t\"drop\"\n"),
         {{"+back", "MOUSE4"}, {"drop", "s"}}},
        {"an arrow beside a key leaves the key", kGameDefaults,
         playerFile("\t\t\"UPARROW\"\t\t\"+forward\"\n"), {{"+forward", "w"}}},
        {"unbound by the player, or bound by neither file", kGameDefaults, playerFile("\t\t\"e\"\t\t\"<unbound>\"\n"),
         {{"+use", ""}, {"buymenu", ""}}},
        {"the same key spelled another way", kGameDefaults,
         playerFile("\t\t\"scancode44\"\t\t\"+duck\"\n\t\t\"ctrl\"\t\t\"+jump\"\n"),
         {{"+duck", "SPACE"}, {"+jump", "CTRL"}}},
        {"the file's order, not the sorted one", "\"config\" { \"bindings\" { \"z\" \"drop\" \"g\" \"drop\" } }", "",
         {{"drop", "g"}}},
        {"without a defaults file the built-in keys stand in", "",
         playerFile("\t\t\"w\"\t\t\"+jump\"\n"), {{"+forward", ""}, {"+jump", "w"}, {"+reload", "r"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetKeyBindings();
        buildKeyCellTable();
        buildDefaultBindings();
        lumo::util::KeyValues defaults;
        lumo::util::KeyValues user;
        defaults.parse(c.defaults);
        user.parse(c.user);
        roundglow::applyCs2Bindings(defaults, user, keyCellTable, bindingTable);
        EXPECT_EQ(bindingTable.size(), 22u);
        for (const auto& [command, key] : c.expected) EXPECT_EQ(bindingTable.at(command), key) << command;
    }
    EXPECT_EQ(lumo::keybinds::accountIdFromSteamId("76561198034276409"), 74010681u);
    EXPECT_EQ(lumo::keybinds::accountIdFromSteamId("76561197960265728"), 0u);
    for (const char* bad :
         {"", "7656119796026572", "76561202255233024", "x76561198034276409", "76561198034276409 "}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(lumo::keybinds::accountIdFromSteamId(bad), std::nullopt);
    }
}

std::vector<OptionColor> run(int count, OptionColor on, OptionColor off, int filled) {
    std::vector<OptionColor> colors(count, off);
    std::fill_n(colors.begin(), filled, on);
    return colors;
}

TEST(HealthBar, SteppedAndSmoothOnBothLayouts) {
    constexpr OptionColor kGreen{0, 255, 0};
    constexpr OptionColor kRed{255, 0, 0};
    const struct {
        float health;
        int count;
        int green;
    } stepped[] = {
        {100, 16, 16}, {50, 16, 8}, {29.9f, 16, 4}, {0, 16, 0}, {-5, 16, 0},     {1e30f, 16, 16},
        {100, 12, 12}, {50, 12, 6}, {29.9f, 12, 3}, {0, 12, 0}, {99.9f, 12, 11},
    };
    for (const auto& c : stepped) {
        SCOPED_TRACE(testing::Message() << c.health << " on " << c.count);
        EXPECT_EQ(healthBarColors(c.health, c.count, false), run(c.count, kGreen, kRed, c.green));
    }

    // 29.9 of 16 keys reaches 4.784 keys: the fifth key is 78% green.
    auto smooth = healthBarColors(29.9f, 16, true);
    EXPECT_EQ(smooth[3], kGreen);
    EXPECT_EQ(smooth[4], (OptionColor{55, 199, 0}));
    EXPECT_EQ(smooth[5], kRed);
    // Full health has no boundary key; at 50 the boundary key starts empty.
    EXPECT_EQ(healthBarColors(100, 16, true), run(16, kGreen, kRed, 16));
    EXPECT_EQ(healthBarColors(50, 16, true), run(16, kGreen, kRed, 8));
    EXPECT_EQ(healthBarColors(0, 12, true), run(12, kGreen, kRed, 0));
}

// Red and dark of the bomb block's top-left cell (row 1, column 17) over planted posts.
TEST(BombBlock, ChangesEveryTwoPlantedPostsAndClearsOnce) {
    resetKeptGameState();
    options::restoreDefaults();
    constexpr int kBombCell = 1 * 21 + 17;
    const auto cell = [](int index) {
        return std::vector<int>(keyBitmap.begin() + 4 * index, keyBitmap.begin() + 4 * index + 4);
    };
    const std::vector<int> dark{0, 0, 0, 255};
    const std::vector<int> red{0, 0, 255, 255};
    std::string planted = R"({"round": {"phase": "live", "bomb": "planted"}})";
    std::vector<std::vector<int>> seen;
    for (int post = 0; post < 6; ++post) {
        handleGameState(planted.c_str());
        seen.push_back(cell(kBombCell));
    }
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{dark, dark, red, red, dark, dark}));
    EXPECT_TRUE(kept.bombShown);

    // Phase on for the next planted post; a post without "bomb" paints the block dark once.
    handleGameState(planted.c_str());
    EXPECT_EQ(cell(kBombCell), red);
    const std::string cleared = R"({"round": {"phase": "over"}})";
    handleGameState(cleared.c_str());
    EXPECT_EQ(cell(kBombCell), dark);
    EXPECT_FALSE(kept.bombShown);
    // 19 cells: rows 1 to 5 of columns 17 to 20, without row 5, column 17.
    int painted = 0;
    for (int index = 0; index < 126; ++index) painted += keyBitmap[4 * index + 3] == 255;
    EXPECT_EQ(painted, 19);
    EXPECT_EQ(keyBitmap[4 * (5 * 21 + 17) + 3], 0);
}

}  // namespace

}  // namespace roundglow
