#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "lighting/key_bitmap.h"
#include "recording_sdk.h"
#include "text/utf.h"

namespace heroglow {

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        options::restoreDefaults();
        sdk = &recording_sdk::bind();
    }
    void TearDown() override {
        recording_sdk::unbind();
        options::restoreDefaults();
    }
    recording_sdk::Recording* sdk = nullptr;
};

std::string keyInputCall(const std::string& slot, const std::string& key) {
    return "LumoGetConfigOptionKeyInput(keybinds/" + slot + "," + key + "," +
           std::to_string(16 * sizeof(wchar_t)) + ",1)";
}

TEST_F(OptionsTest, DeclaresEveryOptionWithDefaultsThenLabelsInOrder) {
    declareAndReadOptions();
    const std::vector<std::string> expected = {
        "LumoGetConfigOptionColor(colors/dire,255,25,25,1)",
        "LumoGetConfigOptionColor(colors/radiant,50,255,50,1)",
        "LumoGetConfigOptionColor(colors/cooldown,255,255,255,1)",
        "LumoGetConfigOptionBool(misc/show_health,true,1)",
        "LumoGetConfigOptionBool(misc/smooth_health,false,1)",
        "LumoGetConfigOptionBool(misc/alternative_health_layout,false,1)",
        "LumoGetConfigOptionBool(misc/flash_health,true,1)",
        "LumoGetConfigOptionNumber(misc/flash_health_percent,30,1)",
        "LumoGetConfigOptionBool(misc/show_mana,true,1)",
        "LumoGetConfigOptionBool(misc/alternative_mana_layout,false,1)",
        "LumoSetConfigOptionLabel(colors,Colors,1)",
        "LumoSetConfigOptionLabel(colors/dire,Dire,1)",
        "LumoSetConfigOptionLabel(colors/radiant,Radiant,1)",
        "LumoSetConfigOptionLabel(colors/cooldown,Cooldown,1)",
        "LumoSetConfigOptionLabel(misc,Miscellaneous,1)",
        "LumoSetConfigOptionLabel(misc/show_health,Show health,1)",
        "LumoSetConfigOptionLabel(misc/smooth_health,Smooth health keys,1)",
        "LumoSetConfigOptionLabel(misc/alternative_health_layout,Show Health on F-keys,1)",
        "LumoSetConfigOptionLabel(misc/flash_health,Flash health,1)",
        "LumoSetConfigOptionLabel(misc/flash_health_percent,Flash health %,1)",
        "LumoSetConfigOptionLabel(misc/show_mana,Show mana,1)",
        "LumoSetConfigOptionLabel(misc/alternative_mana_layout,Show Mana on number keys,1)",
        "LumoGetConfigOptionBool(keybinds/game_hotkeys,true,1)",
        keyInputCall("ability0", "Q"),
        keyInputCall("ability1", "W"),
        keyInputCall("ability2", "E"),
        keyInputCall("ability3", "R"),
        keyInputCall("slot0", "Z"),
        keyInputCall("slot1", "X"),
        keyInputCall("slot2", "C"),
        keyInputCall("slot3", "V"),
        keyInputCall("slot4", "B"),
        keyInputCall("slot5", "N"),
        "LumoSetConfigOptionLabel(keybinds,Keybinds,1)",
        "LumoSetConfigOptionLabel(keybinds/game_hotkeys,Use the game's own hotkeys,1)",
        "LumoSetConfigOptionLabel(keybinds/ability0,Ability 0,1)",
        "LumoSetConfigOptionLabel(keybinds/ability1,Ability 1,1)",
        "LumoSetConfigOptionLabel(keybinds/ability2,Ability 2,1)",
        "LumoSetConfigOptionLabel(keybinds/ability3,Ability 3,1)",
        "LumoSetConfigOptionLabel(keybinds/slot0,Item slot 0,1)",
        "LumoSetConfigOptionLabel(keybinds/slot1,Item slot 1,1)",
        "LumoSetConfigOptionLabel(keybinds/slot2,Item slot 2,1)",
        "LumoSetConfigOptionLabel(keybinds/slot3,Item slot 3,1)",
        "LumoSetConfigOptionLabel(keybinds/slot4,Item slot 4,1)",
        "LumoSetConfigOptionLabel(keybinds/slot5,Item slot 5,1)",
    };
    EXPECT_EQ(sdk->calls, expected);
}

TEST_F(OptionsTest, UserValuesReplaceTheDefaults) {
    sdk->userValues.colors[L"colors/dire"] = {10, 20, 30};
    sdk->userValues.colors[L"colors/cooldown"] = {0, 0, 128};
    sdk->userValues.bools[L"misc/smooth_health"] = true;
    sdk->userValues.bools[L"misc/show_mana"] = false;
    sdk->userValues.numbers[L"misc/flash_health_percent"] = 12.5;
    declareAndReadOptions();
    EXPECT_EQ((std::array{options::dire.red, options::dire.green, options::dire.blue}),
              (std::array{10, 20, 30}));
    EXPECT_EQ((std::array{options::radiant.red, options::radiant.green, options::radiant.blue}),
              (std::array{50, 255, 50}));
    EXPECT_EQ(options::cooldown.blue, 128);
    EXPECT_TRUE(options::smoothHealth);
    EXPECT_FALSE(options::showMana);
    EXPECT_TRUE(options::showHealth);
    EXPECT_DOUBLE_EQ(options::flashHealthPercent, 12.5);
}

TEST_F(OptionsTest, KeyAssignmentsFollowTheChosenKeyNames) {
    const struct {
        const wchar_t* slotPath;
        const wchar_t* key;
        int position;
        int index;
    } cases[] = {
        {L"keybinds/ability0", L"SPACE", 110, 0},
        {L"keybinds/ability1", L"SHIFT", 85, 1},
        {L"keybinds/ability2", L"J", 70, 2},
        {L"keybinds/ability3", L"TAB", 42, 3},
        {L"keybinds/slot0", L"CTRL", 105, 4},
        {L"keybinds/slot1", L"ALT", 108, 5},
        {L"keybinds/slot2", L"F5", 0, 6},  // not a key the table knows
        {L"keybinds/slot3", L"I", 50, 7},
        {L"keybinds/slot4", L"BACKSPACE_AND_MORE", 0, 8},  // cut to the buffer, still unknown
    };
    for (const auto& c : cases) sdk->userValues.keys[c.slotPath] = c.key;
    declareAndReadOptions();
    for (const auto& c : cases) {
        SCOPED_TRACE(lumo::util::toUtf8(c.key));
        EXPECT_EQ(slotKeyPositions[c.index], c.position);
    }
    EXPECT_EQ(slotKeyPositions[9], 91);  // slot5: untouched default "N"
}

TEST_F(OptionsTest, WithoutAnSdkEveryOptionKeepsItsDefault) {
    recording_sdk::unbind();
    declareAndReadOptions();
    EXPECT_TRUE(sdk->calls.empty());
    EXPECT_EQ(options::dire.green, 25);
    EXPECT_DOUBLE_EQ(options::flashHealthPercent, 30.0);
    const std::pair<const wchar_t*, int> defaults[] = {
        {L"ability0", 43}, {L"ability1", 44}, {L"ability2", 45}, {L"ability3", 46}, {L"slot0", 86},
        {L"slot1", 87},    {L"slot2", 88},    {L"slot3", 89},    {L"slot4", 90},    {L"slot5", 91},
    };
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(lumo::util::toUtf8(defaults[i].first));
        EXPECT_EQ(slotKeyPositions[i], defaults[i].second);
    }
}

TEST_F(OptionsTest, LongKeyNamesChosenByTheUserLightTheirKeysInAPost) {
    sdk->userValues.keys[L"keybinds/ability0"] = L"SPACE";
    sdk->userValues.keys[L"keybinds/slot0"] = L"SHIFT";
    declareAndReadOptions();
    resetKeptGameState();
    handleGameState(
        LR"({"map": {}, "player": {"team_name": "dire"},
        "abilities": {"ability0": {"level": 1, "passive": false, "cooldown": 0}},
        "items": {"slot0": {"name": "item_blink", "passive": false, "cooldown": 3}}})");
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 110), (std::array<int, 4>{255, 22, 22, 255}));
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 85), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 43), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 65),
              (std::array<int, 4>{0, 0, 0, 0}));  // "S" of a cut name
}

}  // namespace

}  // namespace heroglow
