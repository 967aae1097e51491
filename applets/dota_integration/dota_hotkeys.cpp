#include "dota_integration/dota_hotkeys.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "dota_integration/dota_options.h"
#include "dota_integration/slot_keys.h"
#include "gamestate/json_members.h"
#include "keybinds/key_names.h"
#include "keybinds/player_file.h"
#include "keybinds/user_files.h"
#include "text/ascii.h"

namespace heroglow {

using lumo::gamestate::findMember;
using lumo::gamestate::intMember;
using lumo::gamestate::stringMember;
using lumo::util::KeyValues;

namespace {

// The game's own keys for actions a file does not mention.
constexpr std::pair<const char*, const char*> kGameDefaults[] = {
    {"AbilityPrimary1", "Q"},   {"AbilityPrimary2", "W"},   {"AbilityPrimary3", "E"},
    {"AbilitySecondary1", "D"}, {"AbilitySecondary2", "F"}, {"AbilityUltimate", "R"},
    {"Inventory1", "Z"},        {"Inventory2", "X"},        {"Inventory3", "C"},
    {"Inventory4", "V"},        {"Inventory5", "B"},        {"Inventory6", "N"},
};

constexpr const char* kOrderedAbilityActions[] = {"AbilityPrimary1", "AbilityPrimary2", "AbilityPrimary3",
                                                  "AbilitySecondary1", "AbilitySecondary2"};

// The reader keeps keys lowercased; looking up without copying the block.
const KeyValues* findBlock(const KeyValues& node, std::string_view key) {
    const auto found = node.children().find(lumo::util::lowercaseAscii(key));
    return found == node.children().end() ? nullptr : &found->second;
}

// What a file says about one action: absent, present without a key, or its key's name.
struct ActionKey {
    bool present = false;
    std::string key;
};

std::optional<int> abilityNumber(std::string_view member) {
    constexpr std::string_view kPrefix = "ability";
    if (member.substr(0, kPrefix.size()) != kPrefix || member.size() == kPrefix.size()) return std::nullopt;
    const std::string_view digits = member.substr(kPrefix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

bool hasNoHotkey(std::string_view abilityName) {
    return abilityName.starts_with("plus_") || abilityName.starts_with("seasonal_") ||
           abilityName == "generic_hidden";
}

// The player's hotkey file and what its last reading held.
struct HotkeyState {
    lumo::keybinds::PlayerFile file;
    GameHotkeys hotkeys;
    bool read = false;                // the file's last reading held hotkeys
    lumo::filesystem::path readFrom;  // the file last read
};

HotkeyState state;

// Follows the player and the file's saves; true when hotkeys from a file are at hand.
bool refresh(const nlohmann::json& root) {
    if (const nlohmann::json* player = findMember(root, "player"); player != nullptr && player->is_object()) {
        if (const auto account = lumo::keybinds::accountIdFromSteamId(stringMember(*player, "steamid", "")))
            state.file.followAccount(*account);
    }
    if (state.file.check()) {
        // A file that cannot be read now keeps the hotkeys of its last reading; another file
        // that cannot, or none (the named account has no file), leaves the key options.
        if (const auto text = state.file.read()) {
            state.read = state.hotkeys.parse(*text);
            state.readFrom = state.file.current();
        } else if (state.file.current() != state.readFrom) {
            state.read = false;
        }
    }
    return state.read;
}

void paintAt(lumo::lighting::KeyBitmap& bitmap, std::optional<int> cell, nlohmann::json& slot, int red,
             int green, int blue) {
    // The post is dropped after painting, so the slot can be handed over instead of copied.
    if (cell) paintSlotKey(bitmap, *cell, std::move(slot), red, green, blue);
}

}  // namespace

bool GameHotkeys::parse(const std::string& text) {
    KeyValues root;
    root.parse(text);
    const KeyValues* bindings = findBlock(root, "KeyBindings");
    bindings_ = bindings != nullptr ? *bindings : KeyValues();
    return bindings != nullptr;
}

std::optional<int> GameHotkeys::cellOf(std::string_view hero, std::string_view action) const {
    const KeyValues* heroBlock = nullptr;
    if (bindings_.value("PerUnitKeybinds") == "1")
        if (const KeyValues* units = findBlock(bindings_, "Units")) heroBlock = findBlock(*units, hero);
    const KeyValues* keys = findBlock(bindings_, "Keys");

    const auto lookUp = [&](std::string_view name) {
        for (const KeyValues* block : {heroBlock, keys}) {
            if (block == nullptr) continue;
            if (const KeyValues* entry = findBlock(*block, name)) return ActionKey{true, entry->value("Key")};
        }
        return ActionKey{};
    };
    const ActionKey base = lookUp(action);
    const ActionKey twin = lookUp(std::string(action) + "QuickCast");
    std::string key = !base.key.empty() ? base.key : twin.key;
    if (key.empty() && !base.present && !twin.present) {
        const auto fallback = std::find_if(std::begin(kGameDefaults), std::end(kGameDefaults),
                                           [action](const auto& entry) { return action == entry.first; });
        if (fallback != std::end(kGameDefaults)) key = fallback->second;
    }
    if (key.empty()) return std::nullopt;
    return lumo::keybinds::cellOfKeyName(key);
}

std::vector<AbilityAction> abilityActions(const nlohmann::json& abilities) {
    std::vector<std::pair<int, std::string>> members;
    for (const auto& [member, ability] : abilities.items()) {
        const auto number = abilityNumber(member);
        if (number && ability.is_object() && !hasNoHotkey(stringMember(ability, "name", "")))
            members.emplace_back(*number, member);
    }
    std::sort(members.begin(), members.end());

    std::vector<AbilityAction> actions;
    std::size_t next = 0;
    for (const auto& [number, member] : members) {
        const nlohmann::json& ability = abilities.at(member);
        if (lumo::gamestate::boolMember(ability, "ultimate", false)) {
            actions.push_back({member, "AbilityUltimate"});
        } else if (next < std::size(kOrderedAbilityActions)) {
            actions.push_back({member, kOrderedAbilityActions[next++]});
        }
    }
    return actions;
}

void locateGameHotkeys() {
    state.file =
        lumo::keybinds::PlayerFile(lumo::keybinds::steamFolderOrEmpty(), lumo::keybinds::dotaHotkeysPlace());
}

bool paintGameHotkeySlots(lumo::lighting::KeyBitmap& bitmap, nlohmann::json& root, int red, int green,
                          int blue) {
    if (!options::gameHotkeys || !refresh(root)) return false;
    const nlohmann::json* hero = findMember(root, "hero");
    const std::string heroName =
        hero != nullptr && hero->is_object() ? std::string(stringMember(*hero, "name", "")) : std::string();

    if (nlohmann::json* abilities = findMember(root, "abilities");
        abilities != nullptr && abilities->is_object()) {
        for (const AbilityAction& ability : abilityActions(*abilities)) {
            nlohmann::json& slot = (*abilities)[ability.member];
            if (intMember(slot, "level", 0) > 0)
                paintAt(bitmap, state.hotkeys.cellOf(heroName, ability.action), slot, red, green, blue);
        }
    }
    if (nlohmann::json* items = findMember(root, "items"); items != nullptr && items->is_object()) {
        for (const ItemAction& item : kItemActions) {
            nlohmann::json* slot = findMember(*items, item.member);
            if (slot != nullptr && stringMember(*slot, "name", "empty") != "empty")
                paintAt(bitmap, state.hotkeys.cellOf(heroName, item.action), *slot, red, green, blue);
        }
    }
    return true;
}

}  // namespace heroglow
