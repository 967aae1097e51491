#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "recording_sdk.h"
#include "test_posts.h"

namespace heroglow {

// Posts as Dota 2 sends them, with every member the program does not read (stash, backpack,
// teleport and neutral slots, fifth and sixth abilities, "previously", "added", wearables).
namespace {

using Cell = std::array<int, 4>;
using Calls = std::vector<std::string>;

constexpr Cell kGreen{0, 255, 0, 255};
constexpr Cell kBlue{0, 0, 255, 255};
constexpr Cell kWhite{255, 255, 255, 255};
constexpr Cell kDark{0, 0, 0, 0};

class RecordedPostsTest : public ::testing::Test {
protected:
    void SetUp() override {
        options::restoreDefaults();
        sdk = &recording_sdk::bind();
        declareAndReadOptions();
        resetKeptGameState();
    }
    void TearDown() override {
        recording_sdk::unbind();
        options::restoreDefaults();
        resetKeptGameState();
    }
    Calls post(const std::string& file) {
        const std::string body = readPostFile(file);
        EXPECT_GT(body.size(), 500u) << file << " missing";
        sdk->calls.clear();
        sdk->bitmap.fill(0);
        handleGameState(widenBytes(body).c_str());
        return sdk->calls;
    }
    // Every key of the bitmap, as (position, cell) for those painted.
    std::vector<std::pair<int, Cell>> paintedKeys() const {
        std::vector<std::pair<int, Cell>> keys;
        for (int p = 0; p < lumo::sdk::kBitmapKeys; ++p) {
            const Cell cell = recording_sdk::keyColor(sdk->bitmap, p);
            if (cell != kDark) keys.emplace_back(p, cell);
        }
        return keys;
    }
    recording_sdk::Recording* sdk = nullptr;
};

TEST_F(RecordedPostsTest, MidGamePostLightsBarsAndSlotKeys) {
    EXPECT_EQ(
        post("mid_game_radiant.json"),
        (Calls{"LumoLedSetLighting(0,0,0)", "LumoLedSetTargetDevice(3)", "LumoLedSetLighting(19,100,19)",
               "LumoLedSetTargetDevice(4)", "LumoLedSetLightingFromBitmap()", "LumoLedSetTargetDevice(7)"}));

    std::vector<std::pair<int, Cell>> expected;
    const Cell ready{48, 255, 48, 255};
    for (int p = 0; p <= 7; ++p) expected.emplace_back(p, kGreen);  // health 53
    for (int p = 8; p <= 15; ++p) expected.emplace_back(p, Cell{255, 0, 0, 255});
    for (int p = 21; p <= 32; ++p) expected.emplace_back(p, kBlue);  // mana 71
    for (int p = 33; p <= 37; ++p) expected.emplace_back(p, kWhite);
    expected.emplace_back(43, ready);   // Q: ready
    expected.emplace_back(44, kWhite);  // W: cooling down
    expected.emplace_back(45, kWhite);  // E: passive; R is not learned yet
    expected.emplace_back(86, ready);   // Z: blink ready; X empty
    expected.emplace_back(88, kWhite);  // C: cooling down
    expected.emplace_back(89, kWhite);  // V: passive
    expected.emplace_back(90, ready);   // B: ready; N empty
    EXPECT_EQ(paintedKeys(), expected);

    EXPECT_EQ(keptGameState.previousHealth, 53);
    EXPECT_TRUE(keptGameState.previousHadMap);
}

TEST_F(RecordedPostsTest, LowHealthThenMenuAfterTheMatch) {
    post("mid_game_radiant.json");
    EXPECT_EQ(post("low_health_dire.json"),
              (Calls{"LumoLedSetTargetDevice(3)", "LumoLedSetLighting(0,0,0)", "LumoLedSetTargetDevice(4)",
                     "LumoLedSetLightingFromBitmap()", "LumoLedSetTargetDevice(7)"}));
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 0), kGreen);  // 12 % fills one key of sixteen
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 1), (Cell{0, 0, 0, 255}));
    EXPECT_EQ(recording_sdk::keyColor(sdk->bitmap, 43), (Cell{255, 22, 22, 255}));
    EXPECT_EQ(post("low_health_dire.json")[1], "LumoLedSetLighting(100,0,0)");

    // The match is over: "previously" still carries a map, the root does not.
    EXPECT_EQ(post("menu_after_match.json"), (Calls{"LumoLedSetLighting(30,3,1)"}));
    EXPECT_FALSE(keptGameState.previousHadMap);
    EXPECT_EQ(keptGameState.previousHealth, 0);
}

}  // namespace

}  // namespace heroglow
