// heroglow lighting the slots where the player's own Dota 2 hotkey file binds them: the file
// of the account that saved last until a post names the player, per-hero keys, QuickCast
// twins, the teleport and neutral slots, a new hero, a file saved mid-game, the option off.
#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "blackbox_helpers.h"
#include "dota_steam.h"
#include "program_run.h"

namespace lumo::test {
namespace {

using Rgb = std::array<int, 3>;
constexpr Rgb kReady{48, 255, 48};  // the Radiant colour
constexpr Rgb kCooldown{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// The recorded post's player, as the userdata folder names the account.
constexpr const char* kPlayerAccount = "84647643";

// One action as the game writes it; an empty key writes an action without one.
std::string action(const std::string& name, const std::string& key, const char* indent = "\t\t") {
    const std::string in(indent);
    std::string text = in + "\"" + name + "\"\n" + in + "{\n";
    if (!key.empty()) text += in + "\t\"Key\"\t\t\"" + key + "\"\n";
    return text + in + "\t\"Mode\"\t\t\"0\"\n" + in + "}\n";
}

std::string hotkeyFile(const std::string& keys, const std::string& units = "") {
    return "\"KeyBindings\"\n{"
           "\n\t\"Name\"\t\t\"LEGACY\"\n\t\"Version\"\t\t\"12\"\n\t\"UseHeroBindings\"\t\t\"0\"\n"
           "\t\"Keys\"\n\t{\n" +
           keys + "\t}\n\t\"PerUnitKeybinds\"\t\t\"1\"\n\t\"Units\"\n\t{\n" + units +
           "\t}\n\t\"Items\"\n\t{\n\t}\n}\n";
}

std::string unit(const std::string& hero, const std::string& actions) {
    return "\t\t\"" + hero + "\"\n\t\t{\n" + actions + "\t\t}\n";
}

constexpr const char* kRecordedPlayer = "76561198044913371";

// The recorded Invoker post, as `hero`, naming the player with `steamId` ("": naming nobody).
std::string post(const std::string& hero = "npc_dota_hero_invoker",
                 const std::string& steamId = kRecordedPlayer) {
    nlohmann::json body = nlohmann::json::parse(readTestData(HEROGLOW_TEST_DATA, "mid_game_radiant.json"));
    body["hero"]["name"] = hero;
    if (steamId.empty()) {
        body["player"].erase("steamid");
    } else {
        body["player"]["steamid"] = steamId;
    }
    return body.dump(1, '\t');
}

using Keys = std::vector<std::pair<int, Rgb>>;

void expectKeys(const nlohmann::json& keyboard, const Keys& keys) {
    for (const auto& [cell, color] : keys) EXPECT_EQ(keyColor(keyboard, cell), color) << "cell " << cell;
}

// Cells: letters by row, "\" 55, keypad 1 101, keypad 7 59.
constexpr int kQ = 43, kE = 45, kR = 46, kT = 47, kY = 48, kA = 64, kS = 65, kF = 67, kG = 68, kH = 69,
              kJ = 70, kZ = 86, kC = 88, kV = 89, kB = 90, kBackslash = 55, kPad1 = 101, kPad7 = 59;

TEST(HeroglowHotkeys, SlotsLightWhereTheGameBindsThem) {
    DotaSteam steam;
    const std::string keys = action("AbilityPrimary1", "A") + action("AbilityPrimary2", "") +
                             action("AbilityPrimary2QuickCast", "s") + action("AbilitySecondary1", "KP_1") +
                             action("AbilitySecondary2", "MOUSE5") + action("AbilityUltimate", "KP_HOME") +
                             action("Inventory1", "\\") + action("InventoryTP", "T") +
                             action("InventoryNeutral", "G");
    const std::string units = unit("npc_dota_hero_invoker", action("AbilityUltimate", "Y", "\t\t\t")) +
                              unit("npc_dota_hero_enigma", action("AbilityPrimary1", "F", "\t\t\t"));
    writeFile(steam.hotkeyFile(kPlayerAccount), hotkeyFile(keys, units));
    std::filesystem::last_write_time(steam.hotkeyFile(kPlayerAccount),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    writeFile(steam.hotkeyFile("11111"), hotkeyFile(action("AbilityPrimary1", "J")));
    ProgramRun run(heroglowSetup({.extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());

    run.post(post("npc_dota_hero_invoker", ""));
    expectKeys(run.keyboard(), {{kJ, kReady}, {kQ, kBlack}, {kA, kBlack}});  // the account that saved last

    run.post(post());
    expectKeys(run.keyboard(), {
                                   {kJ, kBlack},
                                   {kA, kReady},  // quas, ready
                                   {kQ, kBlack},
                                   {kS, kCooldown},  // wex on its QuickCast twin, cooling down
                                   {kE, kCooldown},  // exort, the game's default key, passive
                                   {kPad1, kBlack},  // empty1 not learned
                                   {kF, kBlack},     // empty2 on a mouse button
                                   {kY, kReady},     // invoke on Invoker's own key
                                   {kPad7, kBlack},
                                   {kR, kBlack},
                                   {kBackslash, kReady},  // blink
                                   {kZ, kBlack},
                                   {kC, kCooldown},  // cyclone, default key
                                   {kV, kCooldown},  // scepter, passive
                                   {kB, kReady},     // midas
                                   {kT, kReady},     // teleport scroll
                                   {kG, kCooldown},  // neutral item, passive
                               });

    run.post(post("npc_dota_hero_enigma"));
    expectKeys(run.keyboard(), {{kF, kReady}, {kA, kBlack}, {kPad7, kReady}, {kY, kBlack}});

    // Saved mid-game: read again and repainted.
    writeFileDatedLater(steam.hotkeyFile(kPlayerAccount), hotkeyFile(action("AbilityPrimary1", "H")));
    run.post(post("npc_dota_hero_enigma"));
    // Enigma's own key is gone with the blocks; empty2 is back on its default F.
    expectKeys(run.keyboard(),
               {{kH, kReady}, {kA, kBlack}, {kF, kReady}, {kR, kReady}, {kT, kBlack}, {kZ, kReady}});

    // Another player, who never changed a key: the key options, not someone else's hotkeys;
    // once the game saves their first hotkeys, those.
    const std::string otherPlayer = "76561197960287950";  // account 22222
    run.post(post("npc_dota_hero_enigma", otherPlayer));
    expectKeys(run.keyboard(), {{kQ, kReady}, {kH, kBlack}});
    writeFile(steam.hotkeyFile("22222"), hotkeyFile(action("AbilityPrimary1", "J")));
    run.post(post("npc_dota_hero_enigma", otherPlayer));
    expectKeys(run.keyboard(), {{kJ, kReady}, {kQ, kBlack}});
}

TEST(HeroglowHotkeys, OptionOffLeavesTheKeyOptions) {
    DotaSteam steam;
    writeFile(steam.hotkeyFile(kPlayerAccount),
              hotkeyFile(action("AbilityPrimary1", "A") + action("InventoryTP", "T")));
    ProgramRun run(heroglowSetup({.optionsJson = heroglowOptions({{"keybinds/game_hotkeys", false}}),
                                  .extraRegistry = steam.registry()}));
    ASSERT_TRUE(run.waitUntilListening());
    run.post(post());
    expectKeys(run.keyboard(), {{kQ, kReady}, {kA, kBlack}, {kT, kBlack}, {kZ, kReady}});
}

}  // namespace
}  // namespace lumo::test
