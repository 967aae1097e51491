#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "recording_sdk.h"
#include "test_posts.h"
#include "text/utf.h"

namespace heroglow {

namespace {

using Calls = std::vector<std::string>;
using Cell = std::array<int, 4>;
using nlohmann::json;

constexpr Cell kDark{0, 0, 0, 0};
constexpr Cell kGreenKey{0, 255, 0, 255};
constexpr Cell kRedKey{255, 0, 0, 255};
constexpr Cell kCooldownKey{1, 2, 3, 255};
constexpr Cell kDireReadyKey{255, 22, 22, 255};
constexpr Cell kRadiantReadyKey{48, 255, 48, 255};

const Calls kRadiantUpdate = {"LumoLedSetTargetDevice(3)", "LumoLedSetLighting(19,100,19)",
                              "LumoLedSetTargetDevice(4)", "LumoLedSetLightingFromBitmap()",
                              "LumoLedSetTargetDevice(7)"};

Calls withLeadingDark(Calls calls) {
    calls.insert(calls.begin(), "LumoLedSetLighting(0,0,0)");
    return calls;
}

json matchPost(std::optional<int> health, const char* team = "radiant", int mana = 50) {
    json post = {{"provider", {{"name", "Dota 2"}, {"appid", 570}}},
                 {"map", {{"name", "start"}, {"game_time", 600}}},
                 {"player", {{"team_name", team}, {"gold", 800}}}};
    if (health) post["hero"] = {{"alive", true}, {"health_percent", *health}, {"mana_percent", mana}};
    return post;
}

class GameStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        options::restoreDefaults();
        sdk = &recording_sdk::bind();
        declareAndReadOptions();  // default keys: Q W E R and Z X C V B N
        options::cooldown = {1, 2, 3};
        resetKeptGameState();
    }
    void TearDown() override {
        recording_sdk::unbind();
        options::restoreDefaults();
        resetKeptGameState();
    }

    Calls post(const std::string& body) {
        sdk->calls.clear();
        sdk->bitmap.fill(0);
        handleGameState(widenBytes(body).c_str());
        return sdk->calls;
    }
    Calls post(const json& body) { return post(body.dump()); }

    Cell key(int position) const { return recording_sdk::keyColor(sdk->bitmap, position); }

    // How the post lit the devices without per-key lighting: 'D'ark or 'B'right flash, or
    // 'S'teady team colour; cross-checked with the red of the last health key.
    char flashOf(const Calls& calls) const {
        const auto target = std::find(calls.begin(), calls.end(), "LumoLedSetTargetDevice(3)");
        if (target == calls.end() || target + 1 == calls.end()) return '?';
        const char kind = target[1] == "LumoLedSetLighting(0,0,0)"     ? 'D'
                          : target[1] == "LumoLedSetLighting(100,0,0)" ? 'B'
                                                                       : 'S';
        if (key(15)[3] == 255) {
            EXPECT_EQ(key(15)[0], kind == 'D' ? 0 : 255) << "flash " << kind << " but bar red differs";
        }
        return kind;
    }

    recording_sdk::Recording* sdk = nullptr;
};

TEST_F(GameStateTest, SendsTheMatchSequenceAndTheIdleColourOutsideMatches) {
    const json noMap = {{"provider", {{"name", "Dota 2"}}}, {"player", {{"team_name", "radiant"}}}};
    const struct {
        const char* what;
        json body;
        Calls calls;
    } steps[] = {
        {"first match post", matchPost(100), withLeadingDark(kRadiantUpdate)},
        {"match goes on", matchPost(100), kRadiantUpdate},
        {"back in the menu", noMap, {"LumoLedSetLighting(30,3,1)"}},
        {"still in the menu", noMap, {"LumoLedSetLighting(30,3,1)"}},
        {"next match", matchPost(100), withLeadingDark(kRadiantUpdate)},
        {"map of any type counts", json{{"map", nullptr}, {"player", {{"team_name", "radiant"}}}},
         kRadiantUpdate},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(post(step.body), step.calls);
    }
}

TEST_F(GameStateTest, TeamNamesPickTheDevicesColourAndReadyKeys) {
    const struct {
        json teamName;
        std::optional<OptionColor> dire;
        const char* lighting;
        Cell ready;
    } cases[] = {
        {"radiant", std::nullopt, "LumoLedSetLighting(19,100,19)", kRadiantReadyKey},
        {"dire", std::nullopt, "LumoLedSetLighting(100,9,9)", kDireReadyKey},
        {"dire", OptionColor{0, 128, 255}, "LumoLedSetLighting(0,50,100)", {0, 127, 255, 255}},
        {"spectator", std::nullopt, "LumoLedSetLighting(0,0,0)", {0, 0, 0, 255}},
        {"Dire", std::nullopt, "LumoLedSetLighting(0,0,0)", {0, 0, 0, 255}},
        {2, std::nullopt, "LumoLedSetLighting(0,0,0)", {0, 0, 0, 255}},
        {nullptr, std::nullopt, "LumoLedSetLighting(0,0,0)", {0, 0, 0, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.teamName.dump());
        options::dire = c.dire.value_or(OptionColor{255, 25, 25});
        resetKeptGameState();
        json body = matchPost(100);
        body["player"]["team_name"] = c.teamName;
        body["abilities"] = {{"ability0", {{"level", 1}, {"passive", false}, {"cooldown", 0}}}};
        const Calls calls = post(body);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[2], c.lighting);
        EXPECT_EQ(key(43), c.ready);
    }
    json noPlayer = matchPost(100);
    noPlayer.erase("player");
    EXPECT_EQ(post(noPlayer)[1], "LumoLedSetLighting(0,0,0)");
}

TEST_F(GameStateTest, HealthFlashesWhileLowAndGivesUpAfterTwentyPosts) {
    struct Step {
        std::optional<int> health;
        char flash;
    };
    const auto repeat = [](std::optional<int> health, const std::string& flashes) {
        std::vector<Step> steps;
        for (const char f : flashes) steps.push_back({health, f});
        return steps;
    };
    const auto concat = [](std::initializer_list<std::vector<Step>> parts) {
        std::vector<Step> all;
        for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
    } sequences[] = {
        {"dead from the start", repeat(0, "DBDBDBDBDBDBDBDBDBDBSSSS")},
        {"drop to the threshold, stop, restart on a further drop",
         concat({repeat(80, "S"), repeat(30, "DBDBDBDBDBDBDBDBDBDBSSS"), repeat(29, "DB")})},
        // The first post at the threshold is not counted as the previous health was lower.
        {"at the threshold from the start", repeat(30, "DBDBDBDBDBDBDBDBDBDBDS")},
        {"rising while low keeps flashing",
         concat({repeat(20, "D"), repeat(25, "B"), repeat(28, "D"), repeat(60, "S"), repeat(20, "D")})},
        {"a post without a hero neither flashes nor restarts a stopped flash",
         concat({repeat(0, "DBDBDBDBDBDBDBDBDBDBS"), repeat(std::nullopt, "S"), repeat(10, "SS")})},
        {"negative health skips the rule", concat({repeat(10, "DB"), repeat(-1, "S"), repeat(10, "D")})},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.what);
        resetKeptGameState();
        std::string seen, expected;
        for (const Step& step : sequence.steps) {
            expected += step.flash;
            seen += flashOf(post(matchPost(step.health)));
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(GameStateTest, FlashFollowsItsOptions) {
    const struct {
        const char* what;
        bool flashHealth;
        double threshold;
        int health;
        char flash;
    } cases[] = {
        {"flash off", false, 30.0, 10, 'S'},
        {"raised threshold", true, 50.0, 45, 'D'},
        {"above a raised threshold", true, 50.0, 60, 'S'},
        {"fractional threshold below", true, 29.5, 30, 'S'},
        {"fractional threshold above", true, 30.5, 30, 'D'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options::flashHealth = c.flashHealth;
        options::flashHealthPercent = c.threshold;
        resetKeptGameState();
        EXPECT_EQ(flashOf(post(matchPost(c.health))), c.flash);
    }
}

TEST_F(GameStateTest, DeadHeroShowsAnEmptyBarWhateverItsHealth) {
    json body = matchPost(100, "radiant", 100);
    body["hero"]["alive"] = false;
    post(body);
    for (int p = 0; p < 16; ++p) EXPECT_EQ(key(p), (Cell{0, 0, 0, 255})) << p;  // first flashing post: dark
    EXPECT_EQ(key(21), (Cell{0, 0, 255, 255}));                                 // mana still drawn
    post(body);
    for (int p = 0; p < 16; ++p) EXPECT_EQ(key(p), kRedKey) << p;
    EXPECT_EQ(keptGameState.previousHealth, 0);
}

TEST_F(GameStateTest, NegativeOrMissingHealthDrawsNoBarsButKeepsTeamAndSlots) {
    const json ready = {{"ability0", {{"level", 2}, {"passive", false}, {"cooldown", 0}}}};
    json negative = matchPost(-5);
    json noHero = matchPost(std::nullopt);
    json heroNotAnObject = matchPost(std::nullopt);
    heroNotAnObject["hero"] = json::array({100, 50});
    const struct {
        const char* what;
        json body;
        int previousHealth;
    } cases[] = {
        {"negative health", negative, -5},
        {"no hero", noHero, 0},
        {"hero not an object", heroNotAnObject, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetKeptGameState();
        keptGameState.flashPostCount = 7;
        json body = c.body;
        body["abilities"] = ready;
        EXPECT_EQ(post(body), withLeadingDark(kRadiantUpdate));
        for (int p = 0; p < 38; ++p) EXPECT_EQ(key(p)[3], 0) << p;
        EXPECT_EQ(key(43), kRadiantReadyKey);
        EXPECT_EQ(keptGameState.previousHealth, c.previousHealth);
        EXPECT_EQ(keptGameState.flashPostCount, 7);
        EXPECT_TRUE(keptGameState.flashPhase);
        EXPECT_TRUE(keptGameState.previousHadMap);
    }
}

TEST_F(GameStateTest, BarOptionsChooseWhichKeysLight) {
    const struct {
        const char* what;
        bool showHealth, smooth, healthOnF, showMana, manaOnDigits;
        std::vector<std::pair<int, Cell>> keys;
    } cases[] = {
        {"defaults",
         true,
         false,
         false,
         true,
         false,
         {{0, kGreenKey},
          {7, kGreenKey},
          {8, kRedKey},
          {15, kRedKey},
          {16, kDark},
          {21, {0, 0, 255, 255}},
          {32, {0, 0, 255, 255}},
          {33, {255, 255, 255, 255}},
          {37, {255, 255, 255, 255}},
          {38, kDark}}},
        {"health on F-keys",
         true,
         false,
         true,
         true,
         false,
         {{0, kDark}, {1, kGreenKey}, {7, kRedKey}, {12, kRedKey}, {13, kDark}}},
        {"smooth", true, true, false, true, false, {{7, kGreenKey}, {8, {132, 122, 0, 255}}, {9, kRedKey}}},
        {"mana on digits",
         true,
         false,
         false,
         true,
         true,
         {{21, kDark},
          {22, {0, 0, 255, 255}},
          {30, {0, 0, 255, 255}},
          {31, {255, 255, 255, 255}},
          {34, {255, 255, 255, 255}},
          {35, kDark}}},
        {"both hidden",
         false,
         false,
         false,
         false,
         false,
         {{0, kDark}, {8, kDark}, {21, kDark}, {33, kDark}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options::showHealth = c.showHealth;
        options::smoothHealth = c.smooth;
        options::alternativeHealthLayout = c.healthOnF;
        options::showMana = c.showMana;
        options::alternativeManaLayout = c.manaOnDigits;
        resetKeptGameState();
        post(matchPost(53, "radiant", 71));
        for (const auto& [position, cell] : c.keys) EXPECT_EQ(key(position), cell) << "position " << position;
    }
}

TEST_F(GameStateTest, SlotKeysShowReadinessOrCooldown) {
    const struct {
        const char* what;
        const char* group;
        const char* slot;
        json value;
        int position;
        Cell cell;
    } cases[] = {
        {"ready ability",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", false}, {"cooldown", 0}},
         43,
         kDireReadyKey},
        {"cooling down",
         "abilities",
         "ability1",
         {{"level", 3}, {"passive", false}, {"cooldown", 12}},
         44,
         kCooldownKey},
        {"passive",
         "abilities",
         "ability2",
         {{"level", 1}, {"passive", true}, {"cooldown", 0}},
         45,
         kCooldownKey},
        {"no passive member", "abilities", "ability3", {{"level", 1}, {"cooldown", 0}}, 46, kCooldownKey},
        {"fractional cooldown",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", false}, {"cooldown", 0.4}},
         43,
         kDireReadyKey},
        {"cooldown as text",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", false}, {"cooldown", "9"}},
         43,
         kDireReadyKey},
        {"passive as text",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", "false"}, {"cooldown", 0}},
         43,
         kCooldownKey},
        {"negative cooldown",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", false}, {"cooldown", -3}},
         43,
         kCooldownKey},
        {"huge cooldown",
         "abilities",
         "ability0",
         {{"level", 1}, {"passive", false}, {"cooldown", 1e300}},
         43,
         kCooldownKey},
        {"unlearned",
         "abilities",
         "ability0",
         {{"level", 0}, {"passive", false}, {"cooldown", 0}},
         43,
         kDark},
        {"no level", "abilities", "ability0", {{"passive", false}, {"cooldown", 0}}, 43, kDark},
        {"level as text", "abilities", "ability0", {{"level", "4"}, {"passive", false}}, 43, kDark},
        {"ability not an object", "abilities", "ability0", 5, 43, kDark},
        {"ready item",
         "items",
         "slot0",
         {{"name", "item_blink"}, {"passive", false}, {"cooldown", 0}},
         86,
         kDireReadyKey},
        {"item cooling down",
         "items",
         "slot5",
         {{"name", "item_bkb"}, {"passive", false}, {"cooldown", 71.9}},
         91,
         kCooldownKey},
        {"empty item slot",
         "items",
         "slot1",
         {{"name", "empty"}, {"passive", false}, {"cooldown", 0}},
         87,
         kDark},
        {"item without name", "items", "slot2", {{"passive", false}, {"cooldown", 0}}, 88, kDark},
        {"item name not text", "items", "slot2", {{"name", 1}, {"passive", false}}, 88, kDark},
        {"backpack ignored", "items", "slot6", {{"name", "item_blink"}, {"passive", false}}, 86, kDark},
        {"fifth ability ignored", "abilities", "ability4", {{"level", 1}, {"passive", false}}, 43, kDark},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        json body = matchPost(std::nullopt, "dire");
        body[c.group] = {{c.slot, c.value}};
        post(body);
        EXPECT_EQ(key(c.position), c.cell);
    }
}

TEST_F(GameStateTest, ItemsArePaintedWithoutAbilitiesAndSlotKeysCoverBars) {
    json body = matchPost(100, "dire", 100);
    body["items"] = {{"slot0", {{"name", "item_blink"}, {"passive", false}, {"cooldown", 0}}}};
    post(body);
    EXPECT_EQ(key(86), kDireReadyKey);

    sdk->userValues.keys[L"keybinds/ability0"] = L"1";   // inside the mana bar
    sdk->userValues.keys[L"keybinds/ability1"] = L"F1";  // unknown: position 0, inside the health bar
    declareAndReadOptions();
    body["abilities"] = {{"ability0", {{"level", 1}, {"passive", false}, {"cooldown", 0}}},
                         {"ability1", {{"level", 1}, {"passive", false}, {"cooldown", 5}}}};
    post(body);
    EXPECT_EQ(key(22), kDireReadyKey);
    EXPECT_EQ(key(0), kCooldownKey);
    EXPECT_EQ(key(1), kGreenKey);
}

TEST_F(GameStateTest, LaterSlotWinsASharedKey) {
    sdk->userValues.keys[L"keybinds/ability0"] = L"Z";
    declareAndReadOptions();
    options::cooldown = {1, 2, 3};
    const json ready = {{"name", "item_blink"}, {"level", 1}, {"passive", false}, {"cooldown", 0}};
    const json cooling = {{"name", "item_blink"}, {"level", 1}, {"passive", false}, {"cooldown", 4}};
    const struct {
        json ability;
        json item;
        Cell cell;
    } cases[] = {
        {ready, cooling, kCooldownKey},
        {cooling, ready, kDireReadyKey},
        {cooling, {{"name", "empty"}}, kCooldownKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item.dump());
        json body = matchPost(std::nullopt, "dire");
        body["abilities"] = {{"ability0", c.ability}};
        body["items"] = {{"slot0", c.item}};
        post(body);
        EXPECT_EQ(key(86), c.cell);
    }
}

TEST_F(GameStateTest, BadTextReportsAndChangesNothing) {
    post(matchPost(20));  // a flashing post, so the kept state is not at its start values
    const KeptGameState before = keptGameState;
    const std::wstring texts[] = {
        L"",
        L"{",
        L"{\"map\": }",
        L"{\"map\": {}} trailing",
        L"{\"map\": {}} // comment",
        L"{\"map\": \"\xD800\"}",
        std::wstring(L"{\"map\": \"") + wchar_t(0x110000) + L"\"}",
        L"{\"hero\": {\"health_percent\": 1e}}",
        L"{'map': 1}",
        L"{\"hero\": {\"health_percent\": 1e400}}",
    };
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(lumo::util::toUtf8(text));
        sdk->calls.clear();
        ::testing::internal::CaptureStdout();
        handleGameState(text.c_str());
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Bad JSON received");
        EXPECT_TRUE(sdk->calls.empty());
        EXPECT_EQ(keptGameState.flashPhase, before.flashPhase);
        EXPECT_EQ(keptGameState.flashStopped, before.flashStopped);
        EXPECT_EQ(keptGameState.flashPostCount, before.flashPostCount);
        EXPECT_EQ(keptGameState.previousHealth, before.previousHealth);
        EXPECT_EQ(keptGameState.previousHadMap, before.previousHadMap);
    }
}

TEST_F(GameStateTest, OddButValidPostsAreHandledQuietly) {
    const struct {
        const char* text;
        Calls calls;
    } cases[] = {
        {"[1, 2, 3]", {"LumoLedSetLighting(30,3,1)"}},
        {"{}", {"LumoLedSetLighting(30,3,1)"}},
        {R"({"abilities": [1], "items": "none", "player": [], "hero": {"health_percent": "full"}})",
         {"LumoLedSetLighting(30,3,1)"}},
        {R"({"map": 1, "hero": {"health_percent": 1e300, "mana_percent": -1e300}})",
         withLeadingDark({"LumoLedSetTargetDevice(3)", "LumoLedSetLighting(0,0,0)",
                          "LumoLedSetTargetDevice(4)", "LumoLedSetLightingFromBitmap()",
                          "LumoLedSetTargetDevice(7)"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        resetKeptGameState();
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(post(std::string(c.text)), c.calls);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    }
    EXPECT_EQ(keptGameState.previousHealth, INT_MAX);
    EXPECT_EQ(key(15), kGreenKey);
    EXPECT_EQ(key(21), (Cell{255, 255, 255, 255}));
}

TEST_F(GameStateTest, WithoutAnSdkTheKeptStateStillAdvances) {
    recording_sdk::unbind();
    sdk->calls.clear();
    handleGameState(widenBytes(matchPost(10).dump()).c_str());
    EXPECT_TRUE(keptGameState.previousHadMap);
    EXPECT_EQ(keptGameState.previousHealth, 10);
    EXPECT_FALSE(keptGameState.flashPhase);
    EXPECT_TRUE(sdk->calls.empty());
}

}  // namespace

}  // namespace heroglow
