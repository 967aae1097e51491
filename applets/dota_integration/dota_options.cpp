#include "dota_integration/dota_options.h"

#include <cwchar>
#include <string>

#include "dota_integration/key_names.h"
#include "lighting/lumo_binding.h"
#include "dota_integration/slot_keys.h"
#include "text/utf.h"

namespace heroglow {

namespace options {

OptionColor dire{255, 25, 25};
OptionColor radiant{50, 255, 50};
OptionColor cooldown{255, 255, 255};

bool showHealth = true;
bool smoothHealth = false;
bool alternativeHealthLayout = false;
bool flashHealth = true;
double flashHealthPercent = 30.0;
bool showMana = true;
bool alternativeManaLayout = false;

}  // namespace options

std::map<std::wstring, int> keyAssignments;
std::array<int, 10> slotKeyPositions{};

namespace {

using lumo::lighting::OptionLabel;

constexpr OptionLabel kColorAndMiscLabels[] = {
    {L"colors", L"Colors"},
    {L"colors/dire", L"Dire"},
    {L"colors/radiant", L"Radiant"},
    {L"colors/cooldown", L"Cooldown"},
    {L"misc", L"Miscellaneous"},
    {L"misc/show_health", L"Show health"},
    {L"misc/smooth_health", L"Smooth health keys"},
    {L"misc/alternative_health_layout", L"Show Health on F-keys"},
    {L"misc/flash_health", L"Flash health"},
    {L"misc/flash_health_percent", L"Flash health %"},
    {L"misc/show_mana", L"Show mana"},
    {L"misc/alternative_mana_layout", L"Show Mana on number keys"},
};

constexpr OptionLabel kKeybindLabels[] = {
    {L"keybinds", L"Keybinds"},           {L"keybinds/ability0", L"Ability 0"},
    {L"keybinds/ability1", L"Ability 1"}, {L"keybinds/ability2", L"Ability 2"},
    {L"keybinds/ability3", L"Ability 3"}, {L"keybinds/slot0", L"Item slot 0"},
    {L"keybinds/slot1", L"Item slot 1"},  {L"keybinds/slot2", L"Item slot 2"},
    {L"keybinds/slot3", L"Item slot 3"},  {L"keybinds/slot4", L"Item slot 4"},
    {L"keybinds/slot5", L"Item slot 5"},
};

// Default keys in slot order: abilities on Q W E R, items on Z X C V B N.
constexpr const wchar_t* kDefaultSlotKeys[] = {L"Q", L"W", L"E", L"R", L"Z", L"X", L"C", L"V", L"B", L"N"};

// Asks for one slot's key and records where it sits on the keyboard.
void readSlotKey(int slotIndex, const char* slotName) {
    const std::wstring slot = lumo::util::fromUtf8(slotName);
    const std::wstring path = L"keybinds/" + slot;

    // Large enough for every name the key table knows ("SHIFT", "SPACE"): a one-character
    // buffer would cut those off and make the keys impossible to choose.
    wchar_t keyName[kKeyNameCapacity] = {};
    std::wcsncpy(keyName, kDefaultSlotKeys[slotIndex], kKeyNameCapacity - 1);
    LumoGetConfigOptionKeyInput(path.c_str(), keyName, static_cast<int>(sizeof keyName));
    keyName[kKeyNameCapacity - 1] = L'\0';  // whatever the service wrote, stay terminated

    const int position = keyPositionForName(keyName);
    keyAssignments[slot] = position;
    slotKeyPositions[slotIndex] = position;
}

}  // namespace

void options::restoreDefaults() {
    dire = {255, 25, 25};
    radiant = {50, 255, 50};
    cooldown = {255, 255, 255};
    showHealth = true;
    smoothHealth = false;
    alternativeHealthLayout = false;
    flashHealth = true;
    flashHealthPercent = 30.0;
    showMana = true;
    alternativeManaLayout = false;
    keyAssignments.clear();
    slotKeyPositions.fill(0);
}

void declareAndReadOptions() {
    using namespace options;
    // The option service declares each option at its first read, so values come before labels.
    LumoGetConfigOptionColor(L"colors/dire", &dire.red, &dire.green, &dire.blue);
    LumoGetConfigOptionColor(L"colors/radiant", &radiant.red, &radiant.green, &radiant.blue);
    LumoGetConfigOptionColor(L"colors/cooldown", &cooldown.red, &cooldown.green, &cooldown.blue);

    LumoGetConfigOptionBool(L"misc/show_health", &showHealth);
    LumoGetConfigOptionBool(L"misc/smooth_health", &smoothHealth);
    LumoGetConfigOptionBool(L"misc/alternative_health_layout", &alternativeHealthLayout);
    LumoGetConfigOptionBool(L"misc/flash_health", &flashHealth);
    LumoGetConfigOptionNumber(L"misc/flash_health_percent", &flashHealthPercent);
    LumoGetConfigOptionBool(L"misc/show_mana", &showMana);
    LumoGetConfigOptionBool(L"misc/alternative_mana_layout", &alternativeManaLayout);

    lumo::lighting::setOptionLabels(kColorAndMiscLabels);

    for (int k = 0; k < kAbilitySlotCount; ++k) {
        readSlotKey(k, kAbilitySlotNames[k]);
    }
    for (int k = 0; k < kItemSlotCount; ++k) {
        readSlotKey(kAbilitySlotCount + k, kItemSlotNames[k]);
    }

    lumo::lighting::setOptionLabels(kKeybindLabels);
}

}  // namespace heroglow
