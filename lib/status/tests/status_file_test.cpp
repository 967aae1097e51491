#include "status/status_file.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "environment.h"
#include "files.h"

namespace lumo::status {
namespace {

using namespace std::chrono_literals;

TEST(StatusFile, ProviderAppIdIsFoundWithoutParsing) {
    const struct {
        const char* json;
        const char* appId;
    } cases[] = {
        {R"({"provider":{"name":"Dota 2","appid":570,"version":47}})", "570"},
        {"{ \"provider\" : {\n\t\"appid\" :\t730 } }", "730"},
        {R"({"map":{"appid":1},"provider":{"name":"x"}})", ""},  // another object's appid is not it
        {R"({"player":{"appid":5}})", ""},
        {R"({"provider":{"appid":"570"}})", ""},  // a text, not the number games send
        {R"({"provider":{"appid":)", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(providerAppId(c.json), c.appId);
    }
}

TEST(StatusFile, TextRoundTripsAndStrangersAreRefused) {
    const ProgramStatus status{"roundglow", 4242, 1700000000, 7, 1700000123, "730", "openrgb"};
    EXPECT_EQ(parseStatus(formatStatus(status)), status);
    for (const char* text : {"", "[]", "{\"program\":\"roundglow\"}", "{\"program\":1,\"pid\":2}", "not json"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseStatus(text));
    }
}

// Posts in quick succession land in the file within about a second, the last of them too,
// without the poster waiting for the disk.
TEST(StatusFile, WriterKeepsTheFileCurrent) {
    const test::TempFolder folder("lumo-status");
    const test::ScopedEnvironment state("XDG_STATE_HOME", folder.text());
    const test::ScopedEnvironment appData("LOCALAPPDATA", folder.text());
    const std::filesystem::path file = statusFile("roundglow");
    ASSERT_EQ(file, folder.path() / "lumo" / "roundglow-status.json");

    StatusWriter writer("roundglow", "sdk");
    const auto readStatus = [&] { return parseStatus(test::readFile(file)); };
    const auto waitFor = [&](auto condition) {
        for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(20ms)) {
            if (const auto status = readStatus(); status && condition(*status)) return true;
        }
        return false;
    };
    ASSERT_TRUE(waitFor([](const ProgramStatus& s) { return s.posts == 0 && s.lastPost == 0; }));
    EXPECT_EQ(readStatus()->processId, currentProcessId());
    EXPECT_EQ(readStatus()->backend, "sdk");

    const auto before = std::chrono::steady_clock::now();
    writer.notePost(R"({"provider":{"appid":730}})");
    writer.notePost(nullptr);
    writer.notePost(R"({"provider":{"appid":730}})");
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_TRUE(waitFor([](const ProgramStatus& s) { return s.posts == 3 && s.providerAppId == "730" && s.lastPost > 0; }));
}

}  // namespace
}  // namespace lumo::status
