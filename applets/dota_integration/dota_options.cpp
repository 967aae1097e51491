#include "dota_integration/dota_options.h"

#include <cstddef>
#include <cwchar>
#include <iterator>
#include <tuple>

#include "dota_integration/key_names.h"
#include "lighting/lumo_binding.h"

namespace heroglow {

namespace options {

OptionColor dire;
OptionColor radiant;
OptionColor cooldown;

bool showHealth;
bool smoothHealth;
bool alternativeHealthLayout;
bool flashHealth;
double flashHealthPercent;
bool showMana;
bool alternativeManaLayout;
bool gameHotkeys;

}  // namespace options

std::array<int, 10> slotKeyPositions{};

namespace {

using lumo::lighting::Option;
using lumo::lighting::OptionSetting;

// The read order and the label order, with each option's default.
const Option kOptions[] = {
    {L"colors", L"Colors"},
    {L"colors/dire", L"Dire", OptionSetting<OptionColor>{&options::dire, {255, 25, 25}}},
    {L"colors/radiant", L"Radiant", OptionSetting<OptionColor>{&options::radiant, {50, 255, 50}}},
    {L"colors/cooldown", L"Cooldown", OptionSetting<OptionColor>{&options::cooldown, {255, 255, 255}}},
    {L"misc", L"Miscellaneous"},
    {L"misc/show_health", L"Show health", OptionSetting<bool>{&options::showHealth, true}},
    {L"misc/smooth_health", L"Smooth health keys", OptionSetting<bool>{&options::smoothHealth, false}},
    {L"misc/alternative_health_layout", L"Show Health on F-keys",
     OptionSetting<bool>{&options::alternativeHealthLayout, false}},
    {L"misc/flash_health", L"Flash health", OptionSetting<bool>{&options::flashHealth, true}},
    {L"misc/flash_health_percent", L"Flash health %",
     OptionSetting<double>{&options::flashHealthPercent, 30.0}},
    {L"misc/show_mana", L"Show mana", OptionSetting<bool>{&options::showMana, true}},
    {L"misc/alternative_mana_layout", L"Show Mana on number keys",
     OptionSetting<bool>{&options::alternativeManaLayout, false}},
};

// The switch between the game's own hotkeys and the key options below, with the group's label.
const Option kKeybindOptions[] = {
    {L"keybinds", L"Keybinds"},
    {L"keybinds/game_hotkeys", L"Use the game's own hotkeys", OptionSetting<bool>{&options::gameHotkeys, true}},
};

// The defaults hold from program start, before anything reads an option.
[[maybe_unused]] const bool kDefaultsInPlace =
    (lumo::lighting::restoreOptionDefaults(kOptions), lumo::lighting::restoreOptionDefaults(kKeybindOptions), true);

// The key-input options, in slot order (the order of slotKeyPositions): abilities on Q W E R,
// items on Z X C V B N. A key is read through a name buffer and kept as a position, so these
// rows have their own shape; until they are read every slot's position is 0.
struct SlotKeyOption {
    const wchar_t* path;
    const wchar_t* label;
    const wchar_t* defaultKey;
};
constexpr SlotKeyOption kSlotKeyOptions[] = {
    {L"keybinds/ability0", L"Ability 0", L"Q"}, {L"keybinds/ability1", L"Ability 1", L"W"},
    {L"keybinds/ability2", L"Ability 2", L"E"}, {L"keybinds/ability3", L"Ability 3", L"R"},
    {L"keybinds/slot0", L"Item slot 0", L"Z"},  {L"keybinds/slot1", L"Item slot 1", L"X"},
    {L"keybinds/slot2", L"Item slot 2", L"C"},  {L"keybinds/slot3", L"Item slot 3", L"V"},
    {L"keybinds/slot4", L"Item slot 4", L"B"},  {L"keybinds/slot5", L"Item slot 5", L"N"},
};
static_assert(std::size(kSlotKeyOptions) == std::tuple_size_v<decltype(slotKeyPositions)>);

// Asks for one slot's key and records where it sits on the keyboard.
int readSlotKey(const SlotKeyOption& option) {
    // Large enough for every name the key table knows ("SHIFT", "SPACE"): a one-character
    // buffer would cut those off and make the keys impossible to choose.
    wchar_t keyName[kKeyNameCapacity] = {};
    std::wcsncpy(keyName, option.defaultKey, kKeyNameCapacity - 1);
    LumoGetConfigOptionKeyInput(option.path, keyName, static_cast<int>(sizeof keyName));
    keyName[kKeyNameCapacity - 1] = L'\0';  // whatever the service wrote, stay terminated
    return keyPositionForName(keyName);
}

}  // namespace

void options::restoreDefaults() {
    lumo::lighting::restoreOptionDefaults(kOptions);
    lumo::lighting::restoreOptionDefaults(kKeybindOptions);
    slotKeyPositions.fill(0);
}

void declareAndReadOptions() {
    // The option service declares each option at its first read, so values come before labels.
    lumo::lighting::readOptions(kOptions, /*stopAtChange=*/false);
    lumo::lighting::setOptionLabels(kOptions);

    lumo::lighting::readOptions(kKeybindOptions, /*stopAtChange=*/false);
    for (std::size_t slot = 0; slot < std::size(kSlotKeyOptions); ++slot)
        slotKeyPositions[slot] = readSlotKey(kSlotKeyOptions[slot]);
    lumo::lighting::setOptionLabels(kKeybindOptions);
    for (const SlotKeyOption& option : kSlotKeyOptions) LumoSetConfigOptionLabel(option.path, option.label);
}

}  // namespace heroglow
