// What the keyboard shows through a Counter-Strike round, posted as the game posts it to the
// real roundglow binary, read back from the simulated keyboard's state file and journal.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

using nlohmann::json;
using Rgb = std::array<int, 3>;

const std::filesystem::path kData = ROUNDGLOW_TEST_DATA;

constexpr Rgb kDark{0, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kTerrorist{163, 86, 0};
constexpr Rgb kCounterTerrorist{0, 0, 255};
constexpr int kSlot1 = 22, kSlot2 = 23, kSlot3 = 24, kSlot4 = 25, kSlot5 = 26, kReload = 46, kW = 44;
constexpr int kBombCell = 1 * 21 + 17;

json post(const std::string& name) { return json::parse(readTestData(kData, name)); }

// The running effects as the state file lists them: kind, colour, interval (and key).
std::vector<json> effects(const json& keyboard) {
    std::vector<json> running;
    for (const json& effect : keyboard["effects"]) {
        json summary = {effect["kind"], effect["color"], effect["interval"]};
        if (effect.contains("key")) summary.push_back(effect["key"]);
        running.push_back(summary);
    }
    return running;
}

std::vector<Rgb> healthBar(const json& keyboard) {
    std::vector<Rgb> bar;
    for (int cell = 0; cell < 16; ++cell) bar.push_back(keyColor(keyboard, cell));
    return bar;
}

std::vector<Rgb> bar(int green, int count = 16) {
    std::vector<Rgb> colors(count, kRed);
    std::fill_n(colors.begin(), green, kGreen);
    return colors;
}

class RoundglowLighting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(run.waitUntilListening()); }
    void send(const json& body) { run.post(body.dump(1, '\t')); }
    ProgramRun run{roundglowSetup()};
};

TEST_F(RoundglowLighting, ARoundAsTheGamePlaysIt) {
    // Freeze time: the side's colour, the bound keys and the weapons carried.
    send(post("freezetime_t.json"));
    EXPECT_EQ(run.output().substr(run.output().find("team is now")), "team is nowT\nsetting game keys\n");
    EXPECT_EQ(deviceColor(run.keyboard()), (Rgb{63, 33, 0}));
    send(post("freezetime_t.json"));
    json keyboard = run.keyboard();
    EXPECT_EQ(healthBar(keyboard), bar(16));
    EXPECT_EQ(keyColor(keyboard, kW), kTerrorist);
    EXPECT_EQ(keyColor(keyboard, kSlot1), kDark) << "no primary weapon yet";
    EXPECT_EQ(keyColor(keyboard, kSlot2), kTerrorist);
    EXPECT_EQ(keyColor(keyboard, kSlot3), kTerrorist);
    EXPECT_EQ(keyColor(keyboard, kSlot5), kTerrorist) << "the bomb carrier";
    EXPECT_TRUE(effects(keyboard).empty());

    // Hit to 24 health with 4 of 30 rounds left: the health pulse wins over the ammunition pulse.
    json fight = post("fight_low_ammo_t.json");
    send(fight);
    EXPECT_EQ(effects(run.keyboard()), (std::vector<json>{{"pulse", {100, 0, 0}, 500}}));
    // The bar drawn by the last post shows with the next, while no effect runs; health 30
    // again ends the pulse, and the low clip starts the white ammunition pulse.
    fight["player"]["state"]["health"] = 30;
    send(fight);
    EXPECT_EQ(effects(run.keyboard()), (std::vector<json>{{"pulse", {100, 100, 100}, 500}}));
    // A grenade has no clip: holding one ends the ammunition pulse; back to the rifle.
    fight["player"]["weapons"]["weapon_2"]["state"] = "holstered";
    fight["player"]["weapons"]["weapon_3"]["state"] = "active";
    send(fight);
    EXPECT_TRUE(effects(run.keyboard()).empty());
    send(fight);
    keyboard = run.keyboard();
    EXPECT_EQ(healthBar(keyboard), bar(4)) << "30 of 16 keys is 4.8";
    EXPECT_EQ(keyColor(keyboard, kSlot4), kTerrorist) << "the grenade's slot";

    // At 24 health the red pulse runs for the rest of the round and the key image stays
    // where it was; the rest of the round is played at 30, where nothing pulses.
    const auto at30 = [](json body) {
        body["player"]["state"]["health"] = 30;
        return body;
    };
    // The reload: a full clip again, the rifle in hand.
    send(at30(post("reloading_t.json")));
    json reloaded = at30(post("reloading_t.json"));
    reloaded["player"]["weapons"]["weapon_2"]["state"] = "active";
    send(reloaded);
    EXPECT_TRUE(effects(run.keyboard()).empty());

    // Bomb planted: the block at the right edge, two posts dark and two red; each post shows
    // what the post before it painted.
    std::vector<Rgb> bomb;
    for (int i = 0; i < 5; ++i) {
        send(at30(post("bomb_planted_t.json")));
        bomb.push_back(keyColor(run.keyboard(), kBombCell));
    }
    EXPECT_EQ(bomb, (std::vector<Rgb>{kDark, kDark, kDark, kRed, kRed}));
    EXPECT_EQ(keyColor(run.keyboard(), 5 * 21 + 17), kDark) << "not part of the block";
    EXPECT_EQ(keyColor(run.keyboard(), 5 * 21 + 18), kRed);

    // Round won by the Terrorists: their colour pulses until a post without a winner.
    send(at30(post("round_won_t.json")));
    EXPECT_EQ(effects(run.keyboard()), (std::vector<json>{{"pulse", {63, 33, 0}, 2000}}));
    send(at30(post("round_won_t.json")));
    EXPECT_EQ(countOps(run.journal(), "LumoLedPulseLighting"), 3) << "health, ammunition, win: once each";
    // The next round: the win pulse ends, and the next post shows the block cleared.
    send(post("freezetime_t.json"));
    EXPECT_TRUE(effects(run.keyboard()).empty());
    send(post("freezetime_t.json"));
    EXPECT_EQ(keyColor(run.keyboard(), kBombCell), kDark) << "the block is cleared once the bomb is gone";
}

TEST_F(RoundglowLighting, ReloadKeyBlinksInsteadOfThePulseWhenTheOptionSaysSo) {
    send(post("freezetime_t.json"));
    json options = json::parse(readFile(run.optionsPath()));
    options["roundglow"]["misc/flash_only_reload"]["value"] = true;
    run.writeOptions(options.dump());

    json lowClip = post("fight_low_ammo_t.json");
    lowClip["player"]["state"]["health"] = 90;
    std::vector<std::pair<Rgb, Rgb>> reloadAndSlot;
    for (int i = 0; i < 4; ++i) {
        send(lowClip);
        const json keyboard = run.keyboard();
        EXPECT_TRUE(effects(keyboard).empty());
        reloadAndSlot.push_back({keyColor(keyboard, kReload), keyColor(keyboard, kSlot1)});
    }
    // The reload key blinks between the ammunition colour and dark, the low weapon's slot key
    // between the side's colour and the ammunition colour, in opposite phases.
    const std::pair<Rgb, Rgb> reloadLit{kWhite, kTerrorist};
    const std::pair<Rgb, Rgb> slotLit{kDark, kWhite};
    EXPECT_EQ(reloadAndSlot[0], (std::pair{kTerrorist, kTerrorist})) << "the repaint before any blinking";
    EXPECT_EQ(std::vector(reloadAndSlot.begin() + 1, reloadAndSlot.end()),
              (std::vector{reloadLit, slotLit, reloadLit}));
}

TEST_F(RoundglowLighting, ChatOverTheWinPulseMenusAndASideSwitch) {
    send(post("round_won_t.json"));
    ASSERT_EQ(effects(run.keyboard()).size(), 1u);

    // Opening the chat line replaces the win pulse with the chat colour and a flashing Enter.
    send(post("chat_open_ct.json"));
    json keyboard = run.keyboard();
    EXPECT_EQ(effects(keyboard), (std::vector<json>{{"flash", {0, 0, 100}, 350, 28}}));
    EXPECT_EQ(keyColor(keyboard, 0), kWhite) << "the chat colour on every key";
    EXPECT_NE(run.output().find("team is nowCT\nsetting chat keys\n"), std::string::npos) << run.output();

    // Closing it stops the flash and pushes the game keys, now in the Counter-Terrorist blue.
    json playing = post("chat_open_ct.json");
    playing["player"]["activity"] = "playing";
    send(playing);
    send(playing);
    keyboard = run.keyboard();
    EXPECT_TRUE(effects(keyboard).empty());
    EXPECT_EQ(deviceColor(keyboard), (Rgb{0, 0, 100}));
    EXPECT_EQ(keyColor(keyboard, kW), kCounterTerrorist) << "the side switch repainted the bound keys";
    EXPECT_EQ(keyColor(keyboard, kSlot2), kCounterTerrorist);

    send(post("menu.json"));
    EXPECT_NE(run.output().find("setting menu keys\n"), std::string::npos);
    EXPECT_EQ(keyColor(run.keyboard(), kW), kWhite) << "the menu colour on every key";
}

}  // namespace
}  // namespace lumo::test
