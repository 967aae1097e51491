// The Dota 2 demo session replayed into the real heroglow, and the keyboard it leaves drawn by
// lumo-view in the terminal and as SVG.
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "blackbox_helpers.h"
#include "demo_replay.h"

namespace lumo::test {
namespace {

constexpr const char* kDemo = "dota_match.jsonl";
// Lines 0 to 16: the match is under way, the hero at 91 % health and 71 % mana, Blade Fury
// (Q) ready, the Phase Boots (B) just used.
constexpr std::size_t kInMatch = 17;
constexpr std::size_t kPosts = 44;

// The key rectangles of an SVG picture: cell to fill colour.
std::map<int, std::string> keyFills(const std::string& svg, std::string& deviceFill) {
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.Parse(svg.c_str(), svg.size()), tinyxml2::XML_SUCCESS) << svg.substr(0, 200);
    std::map<int, std::string> fills;
    const tinyxml2::XMLElement* root = document.RootElement();
    if (root == nullptr) return fills;
    for (const tinyxml2::XMLElement* group = root->FirstChildElement("g"); group;
         group = group->NextSiblingElement("g"))
        for (const tinyxml2::XMLElement* rect = group->FirstChildElement("rect"); rect;
             rect = rect->NextSiblingElement("rect")) {
            const char* cls = rect->Attribute("class");
            if (cls != nullptr && std::string(cls) == "key")
                fills[rect->IntAttribute("data-cell")] = rect->Attribute("fill");
            if (cls != nullptr && std::string(cls) == "device") deviceFill = rect->Attribute("fill");
        }
    return fills;
}

TEST(HeroglowDemo, EveryPostIsTakenAndTheViewDrawsTheMatchThenTheMenu) {
    ProgramRun run(heroglowSetup());
    ASSERT_TRUE(run.waitUntilListening());
    const std::filesystem::path state = run.folder() / "state.json";

    const ProgramOutcome firstPart =
        replayFast(sessionPart(kDemo, 0, kInMatch, run.folder() / "a.jsonl"), kHeroglowPort, run.folder());
    ASSERT_EQ(firstPart.exitCode, 0) << firstPart.errors;
    EXPECT_EQ(countOps(run.journal(), "LumoLedSetLightingFromBitmap"), static_cast<int>(kInMatch));

    const ProgramOutcome frame = viewOnce(state, run.folder());
    ASSERT_EQ(frame.exitCode, 0) << frame.errors;
    EXPECT_EQ(cellBackground(frame.output, " Esc "), "\x1b[48;2;0;255;0m");      // health bar, filled
    EXPECT_EQ(cellBackground(frame.output, "Pause"), "\x1b[48;2;255;0;0m");      // and its empty end
    EXPECT_EQ(cellBackground(frame.output, "PgUp "), "\x1b[48;2;255;255;255m");  // mana bar's end
    EXPECT_EQ(cellBackground(frame.output, "  Q  "), "\x1b[48;2;48;255;48m");    // ability ready
    EXPECT_EQ(cellBackground(frame.output, "  B  "), "\x1b[48;2;255;255;255m");  // item cooling down
    EXPECT_NE(frame.output.find("heroglow"), std::string::npos);

    const std::filesystem::path svgFile = run.folder() / "keyboard.svg";
    ASSERT_EQ(
        runProgram(LUMO_VIEW_BINARY, {"--svg", svgFile.string(), state.string()}, run.folder()).exitCode, 0);
    std::string deviceFill;
    const std::map<int, std::string> fills = keyFills(readFile(svgFile), deviceFill);
    EXPECT_EQ(fills.size(), 104u);  // every key drawn, no lit cell without a key
    EXPECT_EQ(fills.at(0), "#00ff00");
    EXPECT_EQ(fills.at(37), "#ffffff");
    EXPECT_EQ(fills.at(43), "#30ff30");
    EXPECT_EQ(fills.at(76), "#000000");  // Enter: nothing paints it
    EXPECT_EQ(deviceFill, "#30ff30");    // the Radiant colour, 19 %, 100 %, 19 %

    const ProgramOutcome rest = replayFast(sessionPart(kDemo, kInMatch, kPosts, run.folder() / "b.jsonl"),
                                           kHeroglowPort, run.folder());
    ASSERT_EQ(rest.exitCode, 0) << rest.errors;
    EXPECT_EQ(run.output().find("Bad JSON received"), std::string::npos) << run.output();
    // The last post is the menu after the match: the idle colour everywhere.
    const nlohmann::json keyboard = run.keyboard();
    EXPECT_EQ(deviceColor(keyboard), (std::array<int, 3>{30, 3, 1}));
    EXPECT_EQ(keyColor(keyboard, 0), (std::array<int, 3>{76, 7, 2}));
    EXPECT_EQ(countOps(run.journal(), "LumoLedSetLightingFromBitmap"), static_cast<int>(kPosts - 1));
}

}  // namespace
}  // namespace lumo::test
