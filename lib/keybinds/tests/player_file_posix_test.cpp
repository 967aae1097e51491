// What the follower of the player's files says when permissions keep it from a file.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "files.h"
#include "keybinds/player_file.h"
#include "keybinds/user_files.h"
#include "unprivileged_posix.h"

namespace lumo::keybinds {
namespace {

namespace fs = std::filesystem;

TEST(PlayerFilePosix, SaysOnceWhyAFileCannotBeUsed) {
    test::runUnprivileged([] {
        const test::TempFolder scratch("lumo-keys-locked");
        // One Steam folder whose accounts cannot be listed, one whose player's file cannot be read.
        fs::create_directories(scratch.path() / "locked" / "userdata");
        const fs::path file = scratch.path() / "open" / "userdata" / "11111" / "570" / "remote" / "cfg" /
                              "dotakeys_personal.lst";
        test::writeFile(file, "a");
        fs::permissions(scratch.path() / "locked" / "userdata", fs::perms::none);
        fs::permissions(file, fs::perms::none);

        testing::internal::CaptureStdout();
        PlayerFile unlisted(filesystem::path(scratch.text("locked")), dotaHotkeysPlace(), std::nullopt,
                            std::chrono::milliseconds(0));
        EXPECT_FALSE(unlisted.check()) << "looked at again";
        PlayerFile unreadable(filesystem::path(scratch.text("open")), dotaHotkeysPlace(), std::nullopt,
                              std::chrono::milliseconds(0));
        EXPECT_TRUE(unreadable.check());
        EXPECT_EQ(unreadable.read(), std::nullopt);
        EXPECT_EQ(unreadable.read(), std::nullopt);
        EXPECT_EQ(
            testing::internal::GetCapturedStdout(),
            "Could not list the Steam accounts in \"" + scratch.text("locked") +
                "\\userdata\": Permission denied\n"
                "Could not read the key bindings in \"" +
                scratch.text("open") +
                "\\userdata\\11111\\570\\remote\\cfg\\dotakeys_personal.lst\": " + "Permission denied\n");

        fs::permissions(scratch.path() / "locked" / "userdata", fs::perms::owner_all);
    });
}

}  // namespace
}  // namespace lumo::keybinds
