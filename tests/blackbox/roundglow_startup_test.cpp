// Start-up and main loop of the real roundglow binary against the simulated keyboard: the
// order of its SDK calls, its messages and exit codes, and how option changes arrive.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "program_run.h"

namespace lumo::test {
namespace {

using nlohmann::json;

constexpr const char* kListening = "Server connected\n\n";
const std::vector<std::string> kLabelOrder = {"colors",
                                              "colors/terrorist",
                                              "colors/counterTerrorist",
                                              "colors/flash_winning_team",
                                              "colors/menu",
                                              "colors/chat",
                                              "colors/show_chat",
                                              "colors/ammo",
                                              "misc",
                                              "misc/show_health",
                                              "misc/flash_health",
                                              "misc/flash_health_percent",
                                              "misc/smooth_health",
                                              "misc/alternative_health_layout",
                                              "misc/flash_ammo",
                                              "misc/flash_ammo_percent",
                                              "misc/flash_only_reload"};

std::vector<std::string> ops(const std::vector<json>& journal) {
    std::vector<std::string> names;
    for (const json& entry : journal) names.push_back(entry.value("op", ""));
    return names;
}

// The journal entries after the first `skip` other than option reads (the loop polls the
// options before every accept, so their number depends on timing), as op and arguments.
std::vector<std::string> lightingCallsAfter(const std::vector<json>& journal, std::size_t skip) {
    std::vector<std::string> calls;
    for (std::size_t i = skip; i < journal.size(); ++i) {
        const std::string op = journal[i].value("op", "");
        if (op.starts_with("LumoGetConfigOption")) continue;
        const std::string args = journal[i]["args"].dump();
        calls.push_back(op + args.substr(1, args.size() - 2));
    }
    return calls;
}

TEST(RoundglowStartup, CallsInOrderThenDarkAndServing) {
    ProgramRun run(roundglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    ASSERT_TRUE(run.waitForOutput(kListening));
    // The loop starts after the dark keyboard: wait for it before reading the journal.
    std::vector<json> journal;
    for (int i = 0; i < 500 && countOps(journal = run.journal(), "LumoLedSetLighting") == 0; ++i) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(run.output(), kListening) << "no Steam, an SDK that loads: nothing else to say";

    // The loop's first poll may follow: only the start-up's calls are compared.
    ASSERT_GE(journal.size(), 1u + 15u + 17u + 2u);
    journal.resize(1 + 15 + 17 + 2);
    const std::vector<std::string> names = ops(journal);
    EXPECT_EQ(names.front(), "LumoLedInit");
    for (std::size_t i = 1; i <= 15; ++i)
        EXPECT_TRUE(names[i].starts_with("LumoGetConfigOption")) << names[i];
    std::vector<std::string> labels;
    for (std::size_t i = 16; i < 16 + 17; ++i) {
        EXPECT_EQ(names[i], "LumoSetConfigOptionLabel");
        labels.push_back(journal[i]["args"][0]);
        EXPECT_EQ(journal[i]["args"][2], 1) << "option calls carry the flag 1";
    }
    EXPECT_EQ(labels, kLabelOrder);
    EXPECT_EQ(journal[1]["args"], json({"colors/terrorist", 163, 86, 0, 1}));
    EXPECT_EQ(journal[15]["args"], json({"misc/flash_only_reload", false, 1}));
    EXPECT_EQ(names[33], "LumoLedSaveCurrentLighting");
    EXPECT_EQ(lightingCallsAfter(journal, 34), (std::vector<std::string>{"LumoLedSetLighting0,0,0"}));
    EXPECT_GE(journal[33]["t"].get<long>() - journal[32]["t"].get<long>(), 500) << "500 ms before saving";

    const json keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (std::array<int, 3>{0, 0, 0}));
    EXPECT_FALSE(keyboard["saved"].is_null());

    // Until a side is named the team colour is white; "playing" pushes it with the key image.
    run.post(R"({"player": {"activity": "playing"}})");
    EXPECT_EQ(
        lightingCallsAfter(run.journal(), journal.size()),
        (std::vector<std::string>{
            "LumoLedStopEffects", "LumoLedStopEffectsOnKey28", "LumoLedSetTargetDevice3",
            "LumoLedSetLighting100,100,100", "LumoLedSetTargetDevice4",
            "LumoLedSetLightingFromBitmap\"" + std::string(1008, '0') + "\"", "LumoLedSetTargetDevice7"}));
}

TEST(RoundglowStartup, WithoutSdkReportsItAndStillServes) {
    ProgramRun run(roundglowSetup({.registerSdk = false}));
    ASSERT_TRUE(run.waitUntilListening());
    ASSERT_TRUE(run.waitForOutput("Could not initialize LED SDK\n"));
    EXPECT_EQ(run.output(), std::string(kListening) + "Could not initialize LED SDK\n");

    run.post(R"({"player": {"team": "T", "activity": "playing", "state": {"health": 10}}})");
    EXPECT_TRUE(run.waitForOutput("team is nowT\nsetting game keys\n"));
    EXPECT_FALSE(run.waitForExit(0ms));
    EXPECT_TRUE(run.journal().empty());
    EXPECT_TRUE(run.keyboard().is_null());
}

TEST(RoundglowStartup, RequestsWithoutJsonAndBadJsonAreReportedAndServingGoesOn) {
    ProgramRun run(roundglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    LoopbackClient headerOnly(kRoundglowPort);
    ASSERT_TRUE(headerOnly.send("POST / HTTP/1.1\r\nContent-Type: application/json\r\n\r\n"));
    headerOnly.finishSending();
    EXPECT_TRUE(headerOnly.readUntilClosed(10s).has_value());
    EXPECT_TRUE(run.waitForOutput("content null\n"));

    // The body starts at the first "{": an array of objects is cut into bad JSON, and an
    // array without one is no body at all.
    run.post("{\"player\": ");
    run.post(R"([{"player": {"team": "T"}}])");
    run.post("[1, 2]");
    run.post(R"({"round": 1e999})");
    EXPECT_TRUE(run.waitForOutput("Bad JSON receivedBad JSON receivedcontent null\nBad JSON received"))
        << run.output();
    EXPECT_FALSE(run.waitForExit(0ms));
}

TEST(RoundglowStartup, PortTakenEndsWithMinusOneBeforeAnythingElse) {
    PortBlocker blocker(kRoundglowPort);
    ASSERT_TRUE(blocker.holding());
    ProgramRun run(roundglowSetup());
    EXPECT_EQ(run.waitForExit(20s), -1);
    EXPECT_TRUE(run.output().starts_with("Error at bind: ")) << run.output();
    EXPECT_EQ(run.output().find(kListening), std::string::npos);
    EXPECT_TRUE(run.journal().empty()) << "the SDK is never loaded";
    EXPECT_FALSE(std::filesystem::exists(run.optionsPath())) << "no option is touched";
}

// How many options the loop read right before the first lighting call after `mark`: the
// poll of the iteration that accepted the post that made the call. Counted backwards from
// that call, so it does not matter whether the poll came before or after `mark` was taken.
std::size_t readsBeforeNextLighting(const std::vector<json>& journal, std::size_t mark) {
    const auto isRead = [&](std::size_t i) {
        return journal[i].value("op", "").starts_with("LumoGetConfigOption");
    };
    std::size_t call = mark;
    while (call < journal.size() && isRead(call)) ++call;
    if (call == journal.size()) {
        ADD_FAILURE() << "no lighting call after the option reads";
        return 0;
    }
    std::size_t reads = 0;
    while (reads < call && isRead(call - 1 - reads)) ++reads;
    return reads;
}

json optionsWith(json options, const std::string& path, json value) {
    options["roundglow"][path]["value"] = std::move(value);
    return options;
}

bool contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST(RoundglowOptions, ChangesArriveOnePerPollAndRepaintWithTheNextSidePost) {
    ProgramRun run(roundglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    const std::string tPost = R"({"player": {"team": "T", "activity": "playing"}})";
    const std::string ctPost = R"({"player": {"team": "CT", "activity": "playing"}})";
    const std::string menuPost = R"({"player": {"activity": "menu"}})";
    run.post(tPost);
    const json declared = json::parse(readFile(run.optionsPath()));

    // The same value again is no change: the poll reads all fifteen options.
    run.writeOptions(optionsWith(declared, "misc/flash_health_percent", 30.0).dump());
    std::size_t mark = run.journal().size();
    run.post(ctPost);
    EXPECT_EQ(readsBeforeNextLighting(run.journal(), mark), 15u);

    // Two changes at once: the poll stops at the Terrorist colour, so this CT post still shows
    // the old Counter-Terrorist blue; the next one has taken the second change.
    json changed = optionsWith(declared, "colors/terrorist", {255, 0, 0});
    changed = optionsWith(changed, "colors/counterTerrorist", {0, 255, 0});
    run.writeOptions(changed.dump());
    mark = run.journal().size();
    run.post(ctPost);
    std::vector<json> journal = run.journal();
    EXPECT_EQ(readsBeforeNextLighting(journal, mark), 1u);
    EXPECT_TRUE(contains(lightingCallsAfter(journal, mark), "LumoLedSetLighting0,0,100"));

    mark = journal.size();
    run.post(ctPost);
    journal = run.journal();
    EXPECT_EQ(readsBeforeNextLighting(journal, mark), 2u);
    EXPECT_TRUE(contains(lightingCallsAfter(journal, mark), "LumoLedSetLighting0,100,0"));

    // A change found while no post names a side keeps the options from being polled again.
    run.writeOptions(optionsWith(changed, "colors/menu", {255, 0, 255}).dump());
    mark = run.journal().size();
    run.post(menuPost);
    journal = run.journal();
    EXPECT_EQ(readsBeforeNextLighting(journal, mark), 4u);
    EXPECT_TRUE(contains(lightingCallsAfter(journal, mark), "LumoLedSetLighting100,0,100"));
    mark = journal.size();
    run.post(menuPost);
    EXPECT_EQ(readsBeforeNextLighting(run.journal(), mark), 0u);
}

}  // namespace
}  // namespace lumo::test
