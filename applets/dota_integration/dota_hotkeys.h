#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lighting/key_bitmap.h"
#include "steam/keyvalues.h"

namespace heroglow {

// The hotkeys the player set in Dota 2's settings, as the game keeps them in
// <Steam>/userdata/<account id>/570/remote/cfg/dotakeys_personal.lst: a "KeyBindings" block
// with the game-wide "Keys", and per-hero "Units" blocks used when "PerUnitKeybinds" is "1".
class GameHotkeys {
public:
    // Reads the file's text; false (and no bindings) when it holds no "KeyBindings" block.
    bool parse(const std::string& text);

    // The cell of the key that `action` ("AbilityPrimary1", "InventoryTP") of the game slot
    // has for `hero` (the post's hero name, "npc_dota_hero_enigma"); nullopt when the slot is
    // unbound or its key has no cell (mouse buttons, the wheel). Each of the action and its
    // "QuickCast" twin is taken from the hero's block when per-hero keys are on and the block
    // has it, else from "Keys"; the action's key wins, else the twin's. An action present
    // without a key is unbound; one present nowhere, nor its twin, has the game's default key
    // (none for the teleport and neutral slots).
    std::optional<int> cellOf(std::string_view hero, std::string_view action) const;

private:
    lumo::util::KeyValues bindings_;  // the "KeyBindings" block
};

// The hotkey action of each ability of a post's "abilities": members "ability<N>" in the
// order of N, without "plus_*", "seasonal_*" and "generic_hidden"; the one with "ultimate"
// true is "AbilityUltimate", the others in turn "AbilityPrimary1" to "3" and then
// "AbilitySecondary1" and "2". Abilities beyond those have no action and are left out.
struct AbilityAction {
    std::string member;  // "ability3"
    const char* action;
};
std::vector<AbilityAction> abilityActions(const nlohmann::json& abilities);

// The post's item slots with a hotkey, in painting order: "slot0"-"slot5" on
// "Inventory1"-"6", then "teleport0" on "InventoryTP" and "neutral0" on "InventoryNeutral".
struct ItemAction {
    const char* member;
    const char* action;
};
inline constexpr ItemAction kItemActions[] = {
    {"slot0", "Inventory1"},      {"slot1", "Inventory2"},          {"slot2", "Inventory3"},
    {"slot3", "Inventory4"},      {"slot4", "Inventory5"},          {"slot5", "Inventory6"},
    {"teleport0", "InventoryTP"}, {"neutral0", "InventoryNeutral"},
};

// Starts following the player's hotkey file below Steam's folder (at start-up): the account
// whose file was written last, until a post names the player.
void locateGameHotkeys();

// Paints into `bitmap` the ability and item keys of one post where the game's hotkeys put them, when the
// option to use them is on and a hotkey file was read; false (nothing painted) otherwise, and
// the key options decide. Before painting, a post naming another player ("player" "steamid")
// moves to that account's file (and to none while that account has none), and a file saved
// (or first found) since it was read is read. Learned
// abilities and slots holding an item are painted as paintSlotKey does.
bool paintGameHotkeySlots(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& root, int red, int green,
                          int blue);

}  // namespace heroglow
