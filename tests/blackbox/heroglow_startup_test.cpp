// Start-up of the real heroglow binary: messages, their order and what the simulated keyboard
// shows before the game posts anything.
#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

constexpr const char* kNoSteamMessage = "Could not install the integration config file \n";
constexpr const char* kNoSdkMessage = "Could not initialize the LED SDK \n";
constexpr const char* kRefusedFeedMessage = "curl_easy_perform() failed: 7\n";
constexpr const char* kListening = "Server connected\n\n";
const std::array<int, 3> kIdleKeys = {76, 7, 2};  // 30 %, 3 %, 1 % of 255

TEST(HeroglowStartup, WithoutSdkReportsItAndStillServes) {
    ProgramRun run(heroglowSetup({.registerSdk = false}));
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_EQ(run.output(), std::string(kNoSteamMessage) + kNoSdkMessage + kRefusedFeedMessage + kListening);

    run.post(midGameBody());
    run.post("{\"map\": ");  // the interpreter runs: it reports the broken body
    EXPECT_TRUE(run.waitForOutput("Bad JSON received", 5s));
    EXPECT_FALSE(run.waitForExit(0ms)) << "serving must go on";
    EXPECT_TRUE(run.keyboard().is_null()) << "nothing may be lit without an SDK";
    EXPECT_TRUE(run.journal().empty());
}

TEST(HeroglowStartup, StepsRunInOrderAndIdleColourShowsBeforeListening) {
    ProgramRun run(heroglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    EXPECT_EQ(run.output(), std::string(kNoSteamMessage) + kRefusedFeedMessage + kListening);

    // The listener opens only after the idle colour, so both are visible by now.
    const std::vector<nlohmann::json> journal = run.journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front().value("op", ""), "LumoLedInit");
    const auto idle = std::find_if(journal.begin(), journal.end(), [](const nlohmann::json& entry) {
        return entry.value("op", "") == "LumoLedSetLighting" && entry["args"] == nlohmann::json({30, 3, 1});
    });
    ASSERT_NE(idle, journal.end()) << "idle colour 30, 3, 1 not set";
    const auto firstOption = std::find_if(journal.begin(), journal.end(), [](const nlohmann::json& entry) {
        return entry.value("op", "").starts_with("LumoGetConfigOption");
    });
    ASSERT_NE(firstOption, journal.end()) << "no option was declared";
    const auto lastOption = std::find_if(journal.rbegin(), journal.rend(), [](const nlohmann::json& entry) {
        const std::string op = entry.value("op", "");
        return op.starts_with("LumoGetConfigOption") || op == "LumoSetConfigOptionLabel";
    });
    const auto lastOptionIndex = lastOption.base() - journal.begin() - 1;
    EXPECT_LT(lastOptionIndex, idle - journal.begin()) << "every option is declared before the idle colour";

    const nlohmann::json keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (std::array<int, 3>{30, 3, 1}));
    EXPECT_EQ(keyColor(keyboard, 0), kIdleKeys);
    EXPECT_EQ(keyColor(keyboard, 125), kIdleKeys);
}

TEST(HeroglowStartup, PortTakenEndsWithCodeZeroAfterIdleColour) {
    PortBlocker blocker(kHeroglowPort);
    ASSERT_TRUE(blocker.holding());
    ProgramRun run(heroglowSetup());
    EXPECT_EQ(run.waitForExit(20s), 0);
    const std::string output = run.output();
    EXPECT_NE(output.find("Error at bind: "), std::string::npos) << output;
    EXPECT_EQ(output.find(kListening), std::string::npos);
    EXPECT_EQ(deviceColor(run.keyboard()), (std::array<int, 3>{30, 3, 1}));
}

}  // namespace
}  // namespace lumo::test
