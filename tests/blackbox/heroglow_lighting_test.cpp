// Lighting through the real heroglow binary and the simulated keyboard: what a player sees
// for recorded Dota 2 posts, with the default options and with options a user has chosen.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

using Rgb = std::array<int, 3>;

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRadiantReady{48, 255, 48};  // 19 %, 100 %, 19 % of 255

// Key positions: top row from the key left of F1, number row from "`".
constexpr int kQ = 43, kW = 44, kE = 45, kR = 46, kZ = 86, kX = 87, kB = 90;

std::string recordedPost(const std::string& name) { return readTestData(HEROGLOW_TEST_DATA, name); }

void expectKeys(const nlohmann::json& keyboard, int first, int last, Rgb color) {
    for (int p = first; p <= last; ++p) EXPECT_EQ(keyColor(keyboard, p), color) << "key " << p;
}

TEST(HeroglowLighting, MatchPostsLightBarsTeamAndSlotsAndBadTextChangesNothing) {
    ProgramRun run(heroglowSetup());
    ASSERT_TRUE(run.waitUntilListening());

    run.post(recordedPost("mid_game_radiant.json"));
    nlohmann::json keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (Rgb{19, 100, 19}));
    EXPECT_EQ(keyboard["mask"], 7);
    expectKeys(keyboard, 0, 7, kGreen);  // health 53 % on sixteen keys
    expectKeys(keyboard, 8, 15, kRed);
    expectKeys(keyboard, 16, 20, kBlack);
    expectKeys(keyboard, 21, 32, kBlue);  // mana 71 % on seventeen keys
    expectKeys(keyboard, 33, 37, kWhite);
    EXPECT_EQ(keyColor(keyboard, kQ), kRadiantReady);
    EXPECT_EQ(keyColor(keyboard, kW), kWhite);  // cooling down
    EXPECT_EQ(keyColor(keyboard, kE), kWhite);  // passive
    EXPECT_EQ(keyColor(keyboard, kR), kBlack);  // not learned
    EXPECT_EQ(keyColor(keyboard, kZ), kRadiantReady);
    EXPECT_EQ(keyColor(keyboard, kX), kBlack);  // empty slot
    EXPECT_EQ(keyColor(keyboard, kB), kRadiantReady);

    const std::size_t journalLength = run.journal().size();
    run.post("{\"map\": {\"name\": \"start\"}, \"hero\": ");
    ASSERT_TRUE(run.waitForOutput("Bad JSON received"));
    EXPECT_EQ(run.keyboard(), keyboard);
    EXPECT_EQ(run.journal().size(), journalLength);

    run.post(recordedPost("menu_after_match.json"));
    keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (Rgb{30, 3, 1}));
    expectKeys(keyboard, 0, 125, Rgb{76, 7, 2});
    EXPECT_EQ(run.output().find("Bad JSON received\n"), std::string::npos) << "no line end after it";
}

TEST(HeroglowLighting, OptionsChosenByTheUserChangeTheKeyboard) {
    struct Expectation {
        int position;
        Rgb color;
    };
    const struct {
        const char* what;
        nlohmann::json options;
        Rgb device;
        std::vector<Expectation> keys;
    } cases[] = {
        {"colours",
         {{"colors/radiant", {0, 0, 255}}, {"colors/cooldown", {255, 128, 0}}},
         {0, 0, 100},
         {{kQ, kBlue}, {kW, {255, 128, 0}}, {kZ, kBlue}}},
        {"bars on F-keys and digits",
         {{"misc/alternative_health_layout", true}, {"misc/alternative_mana_layout", true}},
         {19, 100, 19},
         {{0, kBlack},
          {1, kGreen},
          {6, kGreen},
          {7, kRed},
          {12, kRed},
          {13, kBlack},
          {21, kBlack},
          {22, kBlue},
          {30, kBlue},
          {31, kWhite},
          {34, kWhite},
          {35, kBlack}}},
        {"smooth health",
         {{"misc/smooth_health", true}},
         {19, 100, 19},
         {{7, kGreen}, {8, {132, 122, 0}}, {9, kRed}}},
        {"bars hidden",
         {{"misc/show_health", false}, {"misc/show_mana", false}},
         {19, 100, 19},
         {{0, kBlack}, {15, kBlack}, {21, kBlack}, {37, kBlack}, {kQ, kRadiantReady}}},
        {"long key names and an unknown key",
         {{"keybinds/ability0", "SPACE"}, {"keybinds/slot0", "SHIFT"}, {"keybinds/slot4", "F5"}},
         {19, 100, 19},
         {{110, kRadiantReady},
          {85, kRadiantReady},
          {0, kRadiantReady},
          {kQ, kBlack},
          {kZ, kBlack},
          {1, kGreen}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun run(heroglowSetup({.optionsJson = heroglowOptions(c.options)}));
        ASSERT_TRUE(run.waitUntilListening());
        run.post(recordedPost("mid_game_radiant.json"));
        const nlohmann::json keyboard = run.keyboard();
        EXPECT_EQ(deviceColor(keyboard), c.device);
        for (const Expectation& key : c.keys)
            EXPECT_EQ(keyColor(keyboard, key.position), key.color) << "key " << key.position;
    }
}

TEST(HeroglowLighting, LowHealthFlashesTwentyTimesThenHoldsUntilFurtherDamage) {
    ProgramRun run(heroglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    const auto postHealth = [&run](int health) {
        nlohmann::json body = nlohmann::json::parse(recordedPost("mid_game_radiant.json"));
        body["hero"]["health_percent"] = health;
        run.post(body.dump(1, '\t'));
        const nlohmann::json keyboard = run.keyboard();
        const Rgb device = deviceColor(keyboard);
        const Rgb unfilled = keyColor(keyboard, 15);
        if (device == Rgb{0, 0, 0} && unfilled == kBlack) return 'D';
        if (device == Rgb{100, 0, 0} && unfilled == kRed) return 'B';
        if (device == Rgb{19, 100, 19} && unfilled == kRed) return 'S';
        return '?';
    };
    std::string seen;
    seen += postHealth(80);
    for (int i = 0; i < 21; ++i) seen += postHealth(20);
    seen += postHealth(15);
    seen += postHealth(15);
    EXPECT_EQ(seen,
              "S"
              "DBDBDBDBDBDBDBDBDBDB"
              "S"
              "DB");
}

}  // namespace
}  // namespace lumo::test
