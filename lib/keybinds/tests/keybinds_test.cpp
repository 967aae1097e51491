// Key names as the games write them, and the choice of the player's userdata file.
#include <chrono>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "files.h"
#include "io/whole_file.h"
#include "keybinds/key_names.h"
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

TEST(UserFiles, ThePreferredAccountElseTheLastSaved) {
    test::TempFolder steam("lumo-userdata");
    const auto file = [&](const char* account) {
        return steam.path() / "userdata" / account / "570" / "remote" / "cfg" / "dotakeys_personal.lst";
    };
    test::writeFile(file("11111"), "a");
    test::writeFile(file("22222"), "b");
    std::filesystem::last_write_time(file("22222"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    std::filesystem::create_directories(steam.path() / "userdata" / "33333");
    const filesystem::path root(steam.path().string());
    // Which file was chosen, by its content.
    const auto found = [&](std::optional<std::uint32_t> preferred) {
        return lumo::util::readSharedFile(
            findUserFile(root, {"570", "remote", "cfg", "dotakeys_personal.lst"}, preferred));
    };
    EXPECT_EQ(found(std::nullopt), "a");
    EXPECT_EQ(found(22222), "b");
    EXPECT_EQ(found(33333), "a") << "an account without the file";
    EXPECT_TRUE(findUserFile({}, {"570"}, std::nullopt).empty());

    WatchedFile watched{filesystem::path(file("22222").string())};
    EXPECT_TRUE(watched.takeNewerTime());
    EXPECT_FALSE(watched.takeNewerTime());
    test::writeFileDatedLater(file("22222"), "c");
    EXPECT_TRUE(watched.takeNewerTime());
    EXPECT_EQ(lumo::util::readSharedFile(watched.path), "c");
    EXPECT_FALSE(WatchedFile{}.takeNewerTime());
    EXPECT_EQ(lumo::util::readSharedFile(filesystem::path(file("44444").string())), std::nullopt);
}

}  // namespace
}  // namespace lumo::keybinds
