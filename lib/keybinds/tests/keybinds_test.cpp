// Key names as the games write them, and the follower of the player's binding files.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "files.h"
#include "keybinds/key_names.h"
#include "keybinds/player_file.h"
#include "keybinds/user_files.h"

namespace lumo::keybinds {
namespace {

TEST(KeyNames, BothGamesSpellingsReachTheSameCells) {
    const struct {
        const char* name;
        std::optional<int> cell;
    } cases[] = {
        // clang-format off
        {"q", 43}, {"Q", 43}, {"SPACE", 110}, {"space", 110}, {"`", 21}, {"SECTION_SIGN", 21}, {"0", 31},
        {"\\", 55}, {"SEMICOLON", 73}, {"F1", 1}, {"f12", 12}, {"ESCAPE", 0}, {"CTRL", 105}, {"RCTRL", 117},
        {"LWIN", 106}, {"UPARROW", 99}, {"KP_END", 101}, {"KP_1", 101}, {"KP_INS", 123}, {"KP_0", 123},
        {"KP_HOME", 59}, {"kp_7", 59}, {"KP_5", 81}, {"KP_SLASH", 39}, {"KP_DIVIDE", 39}, {"KP_ENTER", 104},
        {"KP_DEL", 124}, {"scancode26", 44}, {"SCANCODE225", 85}, {"scancode40", 76},
        {"scancode", std::nullopt}, {"scancode2x", std::nullopt}, {"scancode-4", std::nullopt},
        {"F13", std::nullopt}, {"F0", std::nullopt}, {"F01", std::nullopt}, {"MOUSE1", std::nullopt},
        {"MWHEELUP", std::nullopt}, {"JOY1", std::nullopt}, {"POV_UP", std::nullopt}, {"", std::nullopt},
        {"<unbound>", std::nullopt},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cellOfKeyName(c.name), c.cell);
    }
}

// One follower over a Steam folder, step by step as the programs use it: what each check
// says and which file's text then counts.
TEST(PlayerFile, FollowsTheAccountAtTheKeyboard) {
    test::TempFolder steam("lumo-userdata");
    const auto file = [&](const char* account) {
        return steam.path() / "userdata" / account / "570" / "remote" / "cfg" / "dotakeys_personal.lst";
    };
    const auto dateBack = [&](const char* account) {
        std::filesystem::last_write_time(
            file(account), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    };
    test::writeFile(file("11111"), "a");
    test::writeFile(file("22222"), "b");
    dateBack("22222");
    std::filesystem::create_directories(steam.path() / "userdata" / "33333");
    const filesystem::path root(steam.path().string());
    PlayerFile followed(root, dotaHotkeysPlace(), std::nullopt, std::chrono::milliseconds(0));

    const struct {
        const char* what;
        std::function<void()> change;
        bool changed;
        std::optional<std::string> text;  // of current(); nullopt for none
    } steps[] = {
        {"the account that saved last", [] {}, true, "a"},
        {"nothing saved since", [] {}, false, "a"},
        {"a post names the other account", [&] { followed.followAccount(22222); }, true, "b"},
        {"the same account again", [&] { followed.followAccount(22222); }, false, "b"},
        {"saved again", [&] { test::writeFileDatedLater(file("22222"), "c"); }, true, "c"},
        {"dated back: no save",
         [&] {
             test::writeFile(file("22222"), "d");
             dateBack("22222");
         },
         false, "d"},
        {"an account without a file has none", [&] { followed.followAccount(33333); }, true, std::nullopt},
        {"and stays without", [] {}, false, std::nullopt},
        {"its first save", [&] { test::writeFile(file("33333"), "e"); }, true, "e"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(followed.check(), step.changed);
        EXPECT_EQ(followed.current().empty(), !step.text);
        EXPECT_EQ(followed.read(), step.text);
    }

    // The game folder's copy comes first; without Steam only it counts.
    const std::filesystem::path gameCopy = steam.path() / "game" / "keys.cfg";
    test::writeFile(gameCopy, "g");
    const FilePlace place{{filesystem::path(gameCopy.string())}, dotaHotkeysPlace().belowAccount};
    PlayerFile fixedFirst(root, place, 22222);
    EXPECT_TRUE(fixedFirst.check());
    EXPECT_EQ(fixedFirst.read(), "g");
    EXPECT_FALSE(PlayerFile({}, dotaHotkeysPlace()).check());
    EXPECT_FALSE(PlayerFile().check());
}

TEST(PlayerFile, FileThatAppearsLaterIsLookedForAtMostOncePerInterval) {
    test::TempFolder steam("lumo-userdata");
    const filesystem::path root(steam.path().string());
    PlayerFile often(root, cs2UserKeysPlace(), std::nullopt, std::chrono::milliseconds(0));
    PlayerFile seldom(root, cs2UserKeysPlace(), std::nullopt, std::chrono::hours(1));
    EXPECT_FALSE(often.check());
    EXPECT_FALSE(seldom.check());
    test::writeFile(
        steam.path() / "userdata" / "11111" / "730" / "local" / "cfg" / "cs2_user_keys_0_slot0.vcfg", "k");
    EXPECT_TRUE(often.check());
    EXPECT_EQ(often.read(), "k");
    EXPECT_FALSE(seldom.check()) << "not looked for again within the hour";
    seldom.followAccount(11111);
    EXPECT_TRUE(seldom.check()) << "a named account's own copy is looked at every check";
}

}  // namespace
}  // namespace lumo::keybinds
