// How heroglow reads the game's own hotkeys: the slots a file binds, per hero or game-wide,
// and which slot each ability of a post is.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "dota_integration/dota_hotkeys.h"

namespace heroglow {
namespace {

// As the game writes the file: tabs, every key quoted, the backslash key unescaped.
std::string hotkeyFile(const char* perUnit) {
    return std::string(
               "\"KeyBindings\"\n{\n\t\"Name\"\t\t\"ARROW\"\n\t\"Version\"\t\t\"12\"\n"
               "\t\"UseHeroBindings\"\t\t\"0\"\n\t\"Keys\"\n\t{\n"
               "\t\t\"AbilityPrimary1\"\n\t\t{\n\t\t\t\"Key\"\t\t\"q\"\n\t\t\t\"Mode\"\t\t\"1\"\n\t\t}\n"
               "\t\t\"AbilityPrimary1QuickCast\"\n\t\t{\n\t\t\t\"Key\"\t\t\"Q\"\n"
               "\t\t\t\"Modifier\"\t\t\"ALT\"\n\t\t\t\"Mode\"\t\t\"-1\"\n\t\t}\n"
               "\t\t\"AbilityPrimary2\"\n\t\t{\n\t\t\t\"Mode\"\t\t\"0\"\n\t\t}\n"
               "\t\t\"AbilityPrimary2QuickCast\"\n\t\t{\n\t\t\t\"Mode\"\t\t\"1\"\n\t\t\t\"Key\"\t\t\"KP_"
               "1\"\n\t\t}\n"
               "\t\t\"AbilityPrimary3\"\n\t\t{\n\t\t\t\"Mode\"\t\t\"1\"\n\t\t}\n"
               "\t\t\"AbilitySecondary1\"\n\t\t{\n\t\t\t\"Key\"\t\t\"KP_END\"\n\t\t}\n"
               "\t\t\"AbilityUltimate\"\n\t\t{\n\t\t\t\"Key\"\t\t\"MOUSE4\"\n\t\t}\n"
               "\t\t\"Inventory1\"\n\t\t{\n\t\t\t\"Key\"\t\t\"\\\"\n\t\t}\n"
               "\t\t\"Inventory2\"\n\t\t{\n\t\t\t\"Key\"\t\t\"x\"\n\t\t}\n"
               "\t\t\"InventoryTP\"\n\t\t{\n\t\t\t\"Key\"\t\t\"T\"\n\t\t}\n"
               "\t}\n\t\"PerUnitKeybinds\"\t\t\"") +
           perUnit +
           "\"\n\t\"Units\"\n\t{\n\t\t\"npc_dota_hero_enigma\"\n\t\t{\n"
           "\t\t\t\"AbilityPrimary1\"\n\t\t\t{\n\t\t\t\t\"Key\"\t\t\"F\"\n\t\t\t}\n"
           "\t\t\t\"InventoryNeutral\"\n\t\t\t{\n\t\t\t\t\"Key\"\t\t\"g\"\n\t\t\t}\n"
           "\t\t}\n\t}\n}\n";
}

TEST(GameHotkeys, SlotsResolveThroughHeroKeysTwinsAndDefaults) {
    GameHotkeys perHero;
    GameHotkeys gameWide;
    ASSERT_TRUE(perHero.parse(hotkeyFile("1")));
    ASSERT_TRUE(gameWide.parse(hotkeyFile("0")));
    const struct {
        const char* what;
        const GameHotkeys& file;
        const char* hero;
        const char* action;
        std::optional<int> cell;
    } cases[] = {
        {"game-wide key, case ignored", perHero, "npc_dota_hero_invoker", "AbilityPrimary1", 43},
        {"the hero's own key", perHero, "npc_dota_hero_enigma", "AbilityPrimary1", 67},
        {"per-hero keys off", gameWide, "npc_dota_hero_enigma", "AbilityPrimary1", 43},
        {"the hero's block lacks it", perHero, "npc_dota_hero_enigma", "AbilityPrimary2", 101},
        {"keyless action, key on its QuickCast twin", perHero, "npc_dota_hero_invoker", "AbilityPrimary2",
         101},
        {"present without a key: unbound", perHero, "npc_dota_hero_invoker", "AbilityPrimary3", std::nullopt},
        {"keypad in Counter-Strike's spelling", perHero, "npc_dota_hero_invoker", "AbilitySecondary1", 101},
        {"absent: the game's default", perHero, "npc_dota_hero_invoker", "AbilitySecondary2", 67},
        {"on a mouse button", perHero, "npc_dota_hero_invoker", "AbilityUltimate", std::nullopt},
        {"the backslash key, and the file read on after it", perHero, "npc_dota_hero_invoker", "Inventory1",
         55},
        {"item key", perHero, "npc_dota_hero_invoker", "Inventory2", 87},
        {"item absent: the game's default", perHero, "npc_dota_hero_invoker", "Inventory3", 88},
        {"teleport slot", perHero, "npc_dota_hero_invoker", "InventoryTP", 47},
        {"neutral slot without a key anywhere", perHero, "npc_dota_hero_invoker", "InventoryNeutral",
         std::nullopt},
        {"neutral slot the hero binds", perHero, "npc_dota_hero_enigma", "InventoryNeutral", 68},
        {"no hero in the post", perHero, "", "AbilityPrimary1", 43},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.file.cellOf(c.hero, c.action), c.cell);
    }
    GameHotkeys notHotkeys;
    EXPECT_FALSE(notHotkeys.parse("\"config\" { \"bindings\" { \"q\" \"dota_ability_execute 0\" } }"));
}

TEST(GameHotkeys, AbilitiesTakeSlotsWithoutAHeroTable) {
    const auto ability = [](const char* name, bool ultimate = false) {
        return nlohmann::json{{"name", name}, {"level", 1}, {"ultimate", ultimate}};
    };
    using Actions = std::vector<std::pair<std::string, std::string>>;
    const struct {
        const char* what;
        nlohmann::json abilities;
        Actions expected;
    } cases[] = {
        {"four abilities and a high five",
         {{"ability0", ability("skeleton_king_hellfire_blast")},
          {"ability1", ability("skeleton_king_vampiric_aura")},
          {"ability2", ability("skeleton_king_mortal_strike")},
          {"ability3", ability("skeleton_king_reincarnation", true)},
          {"ability4", ability("plus_high_five")}},
         {{"ability0", "AbilityPrimary1"},
          {"ability1", "AbilityPrimary2"},
          {"ability2", "AbilityPrimary3"},
          {"ability3", "AbilityUltimate"}}},
        {"six abilities, the ultimate last",
         {{"ability0", ability("invoker_quas")},
          {"ability1", ability("invoker_wex")},
          {"ability2", ability("invoker_exort")},
          {"ability3", ability("invoker_empty1")},
          {"ability4", ability("invoker_empty2")},
          {"ability5", ability("invoker_invoke", true)}},
         {{"ability0", "AbilityPrimary1"},
          {"ability1", "AbilityPrimary2"},
          {"ability2", "AbilityPrimary3"},
          {"ability3", "AbilitySecondary1"},
          {"ability4", "AbilitySecondary2"},
          {"ability5", "AbilityUltimate"}}},
        {"numeric order, hidden and seasonal skipped, other members ignored",
         {{"ability10", ability("a_tenth")},
          {"ability2", ability("a_second")},
          {"ability0", ability("generic_hidden")},
          {"ability1", ability("seasonal_summon_snowball")},
          {"attributes", {{"level", 1}}},
          {"ability", ability("no_number")},
          {"ability3x", ability("not_a_number")}},
         {{"ability2", "AbilityPrimary1"}, {"ability10", "AbilityPrimary2"}}},
        {"a sixth ordinary ability has no slot",
         {{"ability0", ability("a")},
          {"ability1", ability("b")},
          {"ability2", ability("c")},
          {"ability3", ability("d")},
          {"ability4", ability("e")},
          {"ability5", ability("f")}},
         {{"ability0", "AbilityPrimary1"},
          {"ability1", "AbilityPrimary2"},
          {"ability2", "AbilityPrimary3"},
          {"ability3", "AbilitySecondary1"},
          {"ability4", "AbilitySecondary2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Actions actions;
        for (const AbilityAction& a : abilityActions(c.abilities)) actions.emplace_back(a.member, a.action);
        EXPECT_EQ(actions, c.expected);
    }
}

}  // namespace
}  // namespace heroglow
