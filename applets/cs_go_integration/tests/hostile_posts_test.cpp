// Posts from anyone on the machine, handed to roundglow's handler in process with a recording
// SDK: every member of every type is harmless, and state changes only as the rules say.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/game_state_internal.h"
#include "cs_go_integration/key_bindings.h"
#include "recording_sdk.h"

namespace roundglow {

namespace {

class HostilePosts : public ::testing::Test {
protected:
    void SetUp() override {
        options::restoreDefaults();
        resetKeptGameState();
        resetKeyBindings();
        buildKeyCellTable();
        buildDefaultBindings();
        effectStopPause = std::chrono::milliseconds(0);
        recording = &recording_sdk::bind();
        ::testing::internal::CaptureStdout();
    }
    void TearDown() override {
        ::testing::internal::GetCapturedStdout();
        recording_sdk::unbind();
    }
    void handle(const std::string& text) {
        handleGameState(text.c_str());
    }
    std::string output() {
        std::string text = ::testing::internal::GetCapturedStdout();
        ::testing::internal::CaptureStdout();
        return text;
    }

    recording_sdk::Recording* recording = nullptr;
};

TEST_F(HostilePosts, UnusablePostsAreReportedAndChangeNothing) {
    handle(R"({"player": {"team": "T", "activity": "playing"}, "round": {}})");
    const KeptGameState before = kept;
    const auto bitmap = keyBitmap;
    recording->calls.clear();
    output();

    handleGameState(nullptr);
    EXPECT_EQ(output(), "content null\n");
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "Bad JSON received"},
        {"{", "Bad JSON received"},
        {R"({"player": {"team": "CT"}} trailing)", "Bad JSON received"},
        {R"({"round": 1e999})", "Bad JSON received"},
        {"[1, 2]", "The root element is not an object"},
        {"\"player\"", "The root element is not an object"},
        {"null", "The root element is not an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        handle(c.text);
        EXPECT_EQ(output(), c.message);
    }
    EXPECT_TRUE(recording->calls.empty());
    EXPECT_EQ(keyBitmap, bitmap);
    EXPECT_EQ(kept.blinkPhase, before.blinkPhase);
    EXPECT_EQ(kept.teamColor, before.teamColor);
}

TEST_F(HostilePosts, MembersOfTheWrongTypeAreSkipped) {
    handle(R"({"player": {"team": "T", "activity": "playing", "state": {"health": 100}}})");
    ASSERT_TRUE(kept.teamKnown);
    const auto bitmap = keyBitmap;
    recording->calls.clear();
    const char* posts[] = {
        R"({"player": "T"})",
        R"({"player": {"team": 7, "activity": ["playing"], "state": [100], "weapons": [1]}})",
        R"({"player": {"state": {"health": "100"}, "weapons": {"weapon_0": 5}}})",
        R"({"player": {"weapons": {"weapon_0": {"type": 3, "ammo_clip": "4", "ammo_clip_max": null}}}})",
        R"({"player": {"activity": "loading", "team": "SPECTATOR"}})",
        R"({"round": {"bomb": 1, "win_team": false}})",
        R"({"round": "over", "player": null})",
    };
    for (const char* post : posts) {
        SCOPED_TRACE(post);
        handle(post);
    }
    EXPECT_FALSE(kept.teamKnown) << "a post without a side string clears it";
    EXPECT_EQ(kept.teamColor, (lumo::lighting::OptionColor{163, 86, 0})) << "the colour stays";
    EXPECT_EQ(kept.effect, Effect::none);
    EXPECT_EQ(kept.activity, Activity::playing);
    // Weapons that are objects paint the slot keys: only the last-but-one post's "weapon_0"
    // had no string type, so it painted nothing but the five slots dark.
    for (int cell = 0; cell < 126; ++cell) {
        if (cell >= 22 && cell <= 26) continue;
        SCOPED_TRACE(cell);
        EXPECT_EQ(std::vector(keyBitmap.begin() + 4 * cell, keyBitmap.begin() + 4 * cell + 4),
                  std::vector(bitmap.begin() + 4 * cell, bitmap.begin() + 4 * cell + 4));
    }
    EXPECT_EQ(recording->calls, std::vector<std::string>{}) << "nothing to light, nothing to stop";
}

TEST_F(HostilePosts, ExtremeNumbersStayInRange) {
    handle(R"({"player": {"team": "CT", "activity": "playing"}})");
    handle(R"({"player": {"team": "CT", "activity": "playing", "state": {"health": 1e300}}})");
    for (int cell = 0; cell < 16; ++cell) EXPECT_EQ(recording_sdk::keyColor(keyBitmap, cell)[1], 255);
    handle(R"({"player": {"team": "CT", "activity": "playing", "state": {"health": -1e300}}})");
    for (int cell = 0; cell < 16; ++cell) EXPECT_EQ(recording_sdk::keyColor(keyBitmap, cell)[0], 255);
    EXPECT_EQ(kept.effect, Effect::healthPulse) << "below every threshold: the health pulse";

    // A clip maximum of zero is a weapon without clip data: no ammunition pulse, no crash.
    handle(R"({"player": {"team": "CT", "activity": "playing", "state": {"health": 100},
               "weapons": {"weapon_0": {"type": "Rifle", "ammo_clip": 0, "ammo_clip_max": 0, "state": "active"},
                           "weapon_1": {"type": "Pistol", "ammo_clip": 1e300, "ammo_clip_max": 1e-300}}}})");
    EXPECT_EQ(kept.effect, Effect::none);
    EXPECT_EQ(recording_sdk::keyColor(keyBitmap, 22), (std::array<int, 4>{0, 0, 255, 255}))
        << "slot1, not low";
}

TEST_F(HostilePosts, LargeAndDeepPostsEndQuickly) {
    // As many weapons as a 10000-byte request holds, each of them low on ammunition.
    std::string weapons;
    for (int n = 0; weapons.size() < 9800; ++n) {
        if (n > 0) weapons += ',';
        weapons += "\"weapon_" + std::to_string(n);
        weapons += R"(":{"type":"Rifle","ammo_clip":1,"ammo_clip_max":30})";
    }
    handle(R"({"player":{"team":"T","activity":"playing","weapons":{)" + weapons + "}}}");
    EXPECT_EQ(recording_sdk::keyColor(keyBitmap, 22), (std::array<int, 4>{255, 255, 255, 255}));

    // Nesting as deep as the request allows, in every member the handler reads.
    const std::string deep = std::string(4990, '[') + std::string(4990, ']');
    for (const std::string& post : {"{\"player\":{\"state\":" + deep + "}}", "{\"round\":" + deep + "}",
                                    "{\"player\":{\"weapons\":{\"weapon_0\":" + deep + "}}}", deep}) {
        handle(post);
    }
    output();
    handle(std::string(5000, '{'));
    EXPECT_EQ(output(), "Bad JSON received");
}

}  // namespace

}  // namespace roundglow
