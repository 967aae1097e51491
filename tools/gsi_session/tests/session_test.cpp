#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "files.h"
#include "loopback.h"
#include "run_program.h"
#include "session.h"

namespace lumo::session {
namespace {

using namespace std::chrono_literals;

TEST(SessionFile, LinesRoundTripAndBadLinesAreNamed) {
    const SessionPost post{
        1.25, "{\n\t\"player\": {\"name\": \"caf\xc3\xa9 \\\"q\\\"\"}\n}", {{"user-agent", "x"}}};
    const std::vector<SessionPost> back =
        parseSession(sessionLine(post) + "\n\n" + sessionLine({0.5, "{}", {}}));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].t, 1.25);
    EXPECT_EQ(back[0].body, post.body);
    EXPECT_EQ(back[0].headers, post.headers);
    EXPECT_TRUE(back[1].headers.empty());

    for (const char* bad : {R"({"t": 1})", R"({"t": -1, "body": "{}"})", R"({"t": 1e300, "body": "{}"})",
                            R"({"t": "0", "body": "{}"})", R"({"t": 0, "body": {}})", R"([0, "{}"])",
                            "{\"t\": 0, \"body\": \"{}\""}) {
        SCOPED_TRACE(bad);
        try {
            parseSession(std::string(R"({"t": 0, "body": "{}"})") + "\n" + bad);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("line 2: ", 0), 0u) << error.what();
        }
    }
    EXPECT_EQ(providerAppId(R"({"provider": {"appid": 570}})"), 570);
    EXPECT_EQ(providerAppId("{\"provider\": {}}"), std::nullopt);
}

TEST(RecordAndReplay, WhatTheReplaySendsIsRecordedByteForByteAtTheScaledPace) {
    const lumo::test::TempFolder temp("gsi-session");
    const std::vector<SessionPost> sent = {
        {0.0,
         "{\n\t\"provider\": {\n\t\t\"name\": \"Counter-Strike: Global Offensive\",\n\t\t\"appid\": "
         "730\n\t}\n}",
         {}},
        {0.6, "{\n\t\"player\": {\n\t\t\"name\": \"\xe2\x98\x85 \\\"quoted\\\" \\\\ name\"\n\t}\n}", {}},
        {1.2, std::string("{\"padding\": \"") + std::string(20000, 'x') + "\"}", {}},
    };
    std::string sessionText;
    for (const SessionPost& post : sent) sessionText += sessionLine(post) + "\n";
    lumo::test::writeFile(temp.path() / "sent.jsonl", sessionText);

    const std::uint16_t port = lumo::test::unusedLoopbackPort();
    const std::filesystem::path recorded = temp.path() / "recorded.jsonl";
    lumo::test::ChildProcess recorder({.program = GSI_RECORD_BINARY,
                                       .arguments = {"--port", std::to_string(port), recorded.string()},
                                       .output = temp.path() / "record.out",
                                       .errors = temp.path() / "record.err"});
    for (int i = 0; i < 100 && !lumo::test::isListening(port); ++i) std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(lumo::test::isListening(port));

    const lumo::test::ProgramOutcome replay = lumo::test::runProgram(
        GSI_REPLAY_BINARY,
        {(temp.path() / "sent.jsonl").string(), "--port", std::to_string(port), "--speed", "3"}, temp.path());
    ASSERT_EQ(replay.exitCode, 0) << replay.errors;
    recorder.stop(2s);

    const std::vector<SessionPost> got = readSession(recorded);
    ASSERT_EQ(got.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].body, sent[i].body);
        EXPECT_NEAR(got[i].t, sent[i].t / 3, 0.15);
        auto header = [&](const std::string& name) {
            for (const auto& [key, value] : got[i].headers)
                if (key == name) return value;
            return std::string("(none)");
        };
        // Without a provider in a post, the session's game still names the user agent.
        EXPECT_EQ(header("user-agent"), "Valve/Steam HTTP Client 1.0 (730)");
        EXPECT_EQ(header("Content-Type"), "application/json");
        EXPECT_EQ(header("Content-Length"), std::to_string(sent[i].body.size()));
    }
}

}  // namespace
}  // namespace lumo::session
