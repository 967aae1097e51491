// The Counter-Strike demo session replayed into the real roundglow: every post taken, the
// chat line's Enter flash drawn on Enter, and the menu colour at the end.
#include <string>

#include <gtest/gtest.h>

#include "blackbox_helpers.h"
#include "demo_replay.h"

namespace lumo::test {
namespace {

constexpr const char* kDemo = "cs_round.jsonl";
constexpr std::size_t kChatOpened = 20;  // lines 0 to 19 end with the chat line just opened
constexpr std::size_t kPosts = 30;

int countLines(const std::string& text, const std::string& line) {
    int count = 0;
    for (std::size_t at = text.find(line + "\n"); at != std::string::npos;
         at = text.find(line + "\n", at + 1))
        ++count;
    return count;
}

TEST(RoundglowDemo, EveryPostIsTakenTheEnterFlashShowsAndTheMenuEndsIt) {
    ProgramRun run(roundglowSetup());
    ASSERT_TRUE(run.waitUntilListening());

    const ProgramOutcome firstPart = replayFast(sessionPart(kDemo, 0, kChatOpened, run.folder() / "a.jsonl"),
                                                kRoundglowPort, run.folder());
    ASSERT_EQ(firstPart.exitCode, 0) << firstPart.errors;
    const ProgramOutcome frame = viewOnce(run.folder() / "state.json", run.folder());
    // The chat colour on every key but Enter, which flashes blue or is dark between flashes.
    EXPECT_EQ(cellBackground(frame.output, " Esc "), "\x1b[48;2;255;255;255m");
    const std::string enter = cellBackground(frame.output, "Enter");
    EXPECT_TRUE(enter == "\x1b[48;2;0;0;255m" || enter == "\x1b[48;2;0;0;0m") << enter;
    EXPECT_NE(frame.output.find("effects: flash Enter #0000ff every 350 ms"), std::string::npos)
        << frame.output;

    const ProgramOutcome rest = replayFast(sessionPart(kDemo, kChatOpened, kPosts, run.folder() / "b.jsonl"),
                                           kRoundglowPort, run.folder());
    ASSERT_EQ(rest.exitCode, 0) << rest.errors;
    const std::string output = run.output();
    EXPECT_EQ(output.find("Bad JSON received"), std::string::npos) << output;
    EXPECT_EQ(countLines(output, "team is nowT"), static_cast<int>(kPosts - 1));  // all but the main menu
    EXPECT_EQ(countLines(output, "setting chat keys"), 1);
    EXPECT_EQ(countLines(output, "setting menu keys"), 2);
    // The last posts are menus: the menu colour everywhere, no effect left running.
    const nlohmann::json keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (std::array<int, 3>{100, 100, 100}));
    EXPECT_EQ(keyColor(keyboard, 76), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(keyboard["effects"], nlohmann::json::array());
}

}  // namespace
}  // namespace lumo::test
