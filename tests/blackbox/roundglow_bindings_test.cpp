// Which keys roundglow lights for the game commands, from the binding files of fake Steam trees
// laid out as players' machines have them (CS:GO's config.cfg, Counter-Strike 2's vcfg files),
// and how it follows the game's saves.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "roundglow_bindings.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kData = ROUNDGLOW_TEST_DATA;

void setWriteTime(const fs::path& file, std::chrono::seconds fromNow) {
    fs::last_write_time(file, fs::file_time_type::clock::now() + fromNow);
}

TEST(RoundglowBindings, GameWrittenConfigDecidesTheLitKeys) {
    FakeSteam steam("730", kInstallDir);
    writeFile(steam.game() / "csgo" / "cfg" / "config.cfg", readTestData(kData, "config.cfg"));
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    const json keyboard = litKeys(run);

    EXPECT_TRUE(lit(keyboard, kW)) << "UPARROW never takes +forward from w";
    EXPECT_TRUE(lit(keyboard, kX)) << "+reload is on x";
    EXPECT_FALSE(lit(keyboard, kR)) << "r carries nothing";
    EXPECT_FALSE(lit(keyboard, kSpace)) << "+jump's last bind is the mouse wheel, which has no key";
    EXPECT_FALSE(lit(keyboard, kC));
    EXPECT_FALSE(lit(keyboard, kThree)) << "slot3 is on MOUSE4";
    EXPECT_TRUE(lit(keyboard, kG));
    EXPECT_EQ(keyColor(keyboard, 0), kDark);
}

TEST(RoundglowBindings, SavesAreFollowedAndOnlyNewerTimesCount) {
    FakeSteam steam("730", kInstallDir);
    const fs::path config = steam.game() / "game" / "csgo" / "cfg" / "config.cfg";
    writeFile(config, "unbindall\nbind \"x\" \"+reload\"\nbind \"W\" \"+forward\"\n");
    setWriteTime(config, -60s);
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    json keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kX));
    EXPECT_FALSE(lit(keyboard, kW)) << "key names are exact: W has no cell";

    // A save without the +forward bind gives it back its default key; the rest is re-read.
    writeFile(config, "unbindall\nbind \"r\" \"+reload\"\nbind \"a\" \"drop\"\n");
    setWriteTime(config, -30s);
    keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kR));
    EXPECT_FALSE(lit(keyboard, kX));
    EXPECT_TRUE(lit(keyboard, kW));
    EXPECT_FALSE(lit(keyboard, kG)) << "drop moved to a";

    // A file dated back is not a save: the old bindings stay.
    writeFile(config, "unbindall\nbind \"x\" \"+reload\"\n");
    setWriteTime(config, -45s);
    keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kR));
    EXPECT_FALSE(lit(keyboard, kX));

    // Touched without a change (a newer time): read again, which brings in the last text.
    setWriteTime(config, 0s);
    keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kX));
    EXPECT_FALSE(lit(keyboard, kR));
}

TEST(RoundglowBindings, ReadOnlyConfigIsRead) {
    FakeSteam steam("730", kInstallDir);
    const fs::path config = steam.game() / "csgo" / "cfg" / "config.cfg";
    writeFile(config, "bind \"x\" \"+reload\"\n");
    fs::permissions(config, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_TRUE(lit(litKeys(run), kX));
}

TEST(RoundglowBindings, UserdataConfigOfTheAccountThatSavedLast) {
    FakeSteam steam("730", kInstallDir);
    fs::create_directories(steam.game() / "csgo" / "cfg");  // the game folder holds none
    writeFile(steam.userdataCfg("11111") / "config.cfg", "bind \"c\" \"+reload\"\n");
    writeFile(steam.userdataCfg("22222") / "config.cfg", "bind \"x\" \"+reload\"\n");
    setWriteTime(steam.userdataCfg("11111") / "config.cfg", -10s);
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    const json keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kX));
    EXPECT_FALSE(lit(keyboard, kC));
}

// Counter-Strike 2: the defaults file, then the player's differences.
constexpr const char* kDefaultsVcfg = R"("config"
{
	"bindings"
	{
		"w"		"+forward"
		"a"		"+left"
		"r"		"+reload"
		"SPACE"		"+jump"
		"MOUSE1"		"+attack"
		"1"		"slot1"
	}
})";
constexpr const char* kUserVcfg = R"("config"
{
	"bindings"
	{
		"r"		"<unbound>"
		"x"		"+reload"
		"MOUSE4"		"<unbound>"
		"scancode12"		"+jump"
		"space"		"+duck"
		"UPARROW"		"+forward"
		"MOUSE5"		"slot1"
	}
})";

TEST(RoundglowBindings, CounterStrike2FilesWinOverConfigCfg) {
    FakeSteam steam("730", kInstallDir);
    const fs::path gameCfg = steam.game() / "game" / "csgo" / "cfg";
    writeFile(gameCfg / "user_keys_default.vcfg", kDefaultsVcfg);
    writeFile(gameCfg / "config.cfg", "bind \"c\" \"+duck\"\n");  // left over from CS:GO
    const fs::path user = steam.userdataCfg("11111") / "cs2_user_keys_0_slot0.vcfg";
    writeFile(user, kUserVcfg);
    setWriteTime(user, -60s);
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    json keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kX)) << "+reload moved to x";
    EXPECT_FALSE(lit(keyboard, kR));
    EXPECT_TRUE(lit(keyboard, kI)) << "scancode12 is i, now +jump";
    EXPECT_TRUE(lit(keyboard, kSpace)) << "\"space\" is SPACE, now +duck";
    EXPECT_FALSE(lit(keyboard, kCtrl)) << "+duck left CTRL";
    EXPECT_TRUE(lit(keyboard, kW)) << "UPARROW never takes +forward";
    EXPECT_FALSE(lit(keyboard, kC)) << "config.cfg is not read where CS2's files exist";
    EXPECT_TRUE(lit(keyboard, 22)) << "slot1 keeps 1 beside MOUSE5: a key on the keyboard wins";

    // The player saves a change in the game: re-read, repainted.
    writeFile(user, R"("config" { "bindings" { "c" "+reload" } })");
    keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kC)) << "the player's binding wins over the defaults file's r";
    EXPECT_FALSE(lit(keyboard, kX));
    EXPECT_FALSE(lit(keyboard, kR));
    EXPECT_TRUE(lit(keyboard, kSpace)) << "+jump is back on SPACE";
    EXPECT_FALSE(lit(keyboard, kI));
}

TEST(RoundglowBindings, PostsOfAnotherAccountSwitchToItsBindings) {
    FakeSteam steam("730", kInstallDir);
    writeFile(steam.game() / "game" / "csgo" / "cfg" / "user_keys_default.vcfg", kDefaultsVcfg);
    const fs::path mine = steam.userdataCfg("11111") / "cs2_user_keys_0_slot0.vcfg";
    const fs::path theirs = steam.userdataCfg("22222") / "cs2_user_keys_0_slot0.vcfg";
    writeFile(mine, R"("config" { "bindings" { "x" "+reload" } })");
    writeFile(theirs, R"("config" { "bindings" { "c" "+reload" } })");
    setWriteTime(theirs, -60s);
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_TRUE(lit(litKeys(run), kX)) << "the account that saved last";

    // 76561197960265728 + 22222: the player at the keyboard is the other account.
    run.post(R"({"provider": {"name": "Counter-Strike: Global Offensive", "appid": 730,
                 "steamid": "76561197960287950"}, "player": {"team": "T", "activity": "playing"}})");
    const json keyboard = litKeys(run);
    EXPECT_TRUE(lit(keyboard, kC));
    EXPECT_FALSE(lit(keyboard, kX));
    EXPECT_TRUE(lit(keyboard, kA));
}

// The player's own file of each game, below <Steam>/userdata/<account>/730/local/cfg, putting
// +reload on `key`.
const struct PlayerFileCase {
    const char* game;
    const char* name;
    std::string (*reloadOn)(const std::string& key);
} kPlayerFiles[] = {
    {"Counter-Strike 2", "cs2_user_keys_0_slot0.vcfg",
     [](const std::string& key) { return R"("config" { "bindings" { ")" + key + R"(" "+reload" } })"; }},
    {"CS:GO", "config.cfg", [](const std::string& key) { return "bind \"" + key + "\" \"+reload\"\n"; }},
};

// A post of the player with the SteamID64 of `account`.
std::string postOf(std::uint32_t account) {
    return R"({"provider": {"name": "Counter-Strike: Global Offensive", "appid": 730, "steamid": ")" +
           std::to_string(76561197960265728ULL + account) + R"("}, "player": {"team": "T", "activity": "playing"}})";
}

TEST(RoundglowBindings, AccountNamedWithoutAFileGetsNoOtherAccountsFile) {
    for (const PlayerFileCase& c : kPlayerFiles) {
        SCOPED_TRACE(c.game);
        FakeSteam steam("730", kInstallDir);
        writeFile(steam.userdataCfg("11111") / c.name, c.reloadOn("x"));
        ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
        ASSERT_TRUE(run.waitUntilListening());
        EXPECT_TRUE(lit(litKeys(run), kX)) << "the only account's file, before a post names the player";

        run.post(postOf(33333));
        json keyboard = litKeys(run);
        EXPECT_TRUE(lit(keyboard, kR)) << "the default key: another player's keys are the wrong keys";
        EXPECT_FALSE(lit(keyboard, kX));

        writeFile(steam.userdataCfg("33333") / c.name, c.reloadOn("c"));
        keyboard = litKeys(run);
        EXPECT_TRUE(lit(keyboard, kC)) << "the player's first save";
        EXPECT_FALSE(lit(keyboard, kR));
    }
}

TEST(RoundglowBindings, FileFirstSavedAfterStartUpIsRead) {
    for (const PlayerFileCase& c : kPlayerFiles) {
        for (const bool named : {false, true}) {
            SCOPED_TRACE(std::string(c.game) + (named ? ", a post named the player" : ", no post named anyone"));
            FakeSteam steam("730", kInstallDir);
            ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
            ASSERT_TRUE(run.waitUntilListening());
            if (named) run.post(postOf(11111));
            EXPECT_TRUE(lit(litKeys(run), kR));

            writeFile(steam.userdataCfg("11111") / c.name, c.reloadOn("x"));
            // Without a named account a missing file is looked for at most once a second.
            if (!named) std::this_thread::sleep_for(1100ms);
            const json keyboard = litKeys(run);
            EXPECT_TRUE(lit(keyboard, kX));
            EXPECT_FALSE(lit(keyboard, kR));
        }
    }
}

// The game's own defaults file binds gamepad buttons beside the keys; the player's file, as the
// game saves it, holds only what differs.
constexpr const char* kGameDefaultsVcfg = "\"config\"\n{\n\t\"bindings\"\n\t{\n"
                                          "\t\t\"1\"\t\t\"slot1\"\n\t\t\"2\"\t\t\"slot2\"\n"
                                          "\t\t\"3\"\t\t\"slot3\"\n\t\t\"4\"\t\t\"slot4\"\n"
                                          "\t\t\"CTRL\"\t\t\"+duck\"\n\t\t\"JOY1\"\t\t\"+jump\"\n"
                                          "\t\t\"JOY2\"\t\t\"+reload\"\n\t\t\"JOY9\"\t\t\"+duck\"\n"
                                          "\t\t\"POV_DOWN\"\t\t\"slot3\"\n\t\t\"POV_LEFT\"\t\t\"slot4\"\n"
                                          "\t\t\"POV_RIGHT\"\t\t\"slot2\"\n\t\t\"POV_UP\"\t\t\"slot1\"\n"
                                          "\t\t\"r\"\t\t\"+reload\"\n\t\t\"SHIFT\"\t\t\"+sprint\"\n"
                                          "\t\t\"SPACE\"\t\t\"+jump\"\n\t\t\"w\"\t\t\"+forward\"\n"
                                          "\t}\n\t\"analogbindings\"\n\t{\n"
                                          "\t\t\"MOUSE_X\"\t\t\"yaw\"\n\t\t\"MOUSE_Y\"\t\t\"pitch\"\n\t}\n}\n";

TEST(RoundglowBindings, CounterStrike2KeysWinOverGamepadAndFollowWalkingAndMovesOffTheKeyboard) {
    FakeSteam steam("730", kInstallDir);
    writeFile(steam.game() / "game" / "csgo" / "cfg" / "user_keys_default.vcfg", kGameDefaultsVcfg);
    const fs::path user = steam.userdataCfg("11111") / "cs2_user_keys_0_slot0.vcfg";
    writeFile(user, "\"config\"\n{\n\t\"bindings\"\n\t{\n\t\t\"c\"\t\t\"+sprint\"\n"
                    "\t\t\"MOUSE4\"\t\t\"+reload\"\n\t\t\"r\"\t\t\"<unbound>\"\n"
                    "\t\t\"SHIFT\"\t\t\"<unbound>\"\n\t\t\"UPARROW\"\t\t\"+forward\"\n"
                    "\t\t\"w\"\t\t\"<unbound>\"\n\t}\n\t\"analogbindings\"\n\t{\n\t}\n}\n");
    ProgramRun run(roundglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    const json keyboard = litKeys(run);
    for (int cell = 22; cell <= 25; ++cell) EXPECT_TRUE(lit(keyboard, cell)) << "slot keys 1 to 4, not the pad";
    EXPECT_TRUE(lit(keyboard, kCtrl)) << "+duck on CTRL, not JOY9";
    EXPECT_TRUE(lit(keyboard, kSpace)) << "+jump on SPACE, not JOY1";
    EXPECT_TRUE(lit(keyboard, kC)) << "walking moved to c";
    EXPECT_FALSE(lit(keyboard, 85)) << "SHIFT carries nothing now";
    EXPECT_FALSE(lit(keyboard, kW)) << "+forward moved to an arrow";
    EXPECT_FALSE(lit(keyboard, kR)) << "+reload moved to the mouse";
}

}  // namespace
}  // namespace lumo::test
