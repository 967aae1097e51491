#include <gtest/gtest.h>

#include "appearance.h"
#include "files.h"
#include "program_run.h"
#include "terminal_frame.h"
#include "watched_file.h"

namespace lumo::view {
namespace {

constexpr int kEnterCell = 76;
constexpr long long kStart = 1'000'000;

KeyboardState litKeyboard(Rgb keys) {
    KeyboardState state;
    state.initialized = true;
    state.keys.fill(keys);
    return state;
}

TEST(ColorMode, TrueColourOnlyWhenTheTerminalSaysSoElseThePalette) {
    EXPECT_EQ(colorModeFor("truecolor"), ColorMode::trueColor);
    EXPECT_EQ(colorModeFor("24bit"), ColorMode::trueColor);
    EXPECT_EQ(colorModeFor(nullptr), ColorMode::palette256);
    EXPECT_EQ(colorModeFor("yes"), ColorMode::palette256);

    const struct {
        Rgb color;
        int index;
    } cases[] = {{{0, 0, 0}, 16},   {{255, 255, 255}, 231}, {{255, 0, 0}, 196},     {{0, 255, 0}, 46},
                 {{0, 0, 255}, 21}, {{48, 255, 48}, 83},    {{128, 128, 128}, 244}, {{76, 7, 2}, 52}};
    for (const auto& c : cases) {
        SCOPED_TRACE(hexColor(c.color));
        EXPECT_EQ(paletteIndex(c.color), c.index);
    }
    EXPECT_EQ(backgroundCode({1, 2, 3}, ColorMode::trueColor), "\x1b[48;2;1;2;3m");
    EXPECT_EQ(backgroundCode({255, 0, 0}, ColorMode::palette256), "\x1b[48;5;196m");
}

TEST(Appearance, PulsesRiseAndFallFlashesBlinkOnTheirKeyAndEndWithTheirDuration) {
    KeyboardState state = litKeyboard({10, 20, 30});
    state.device = {40, 50, 60};
    state.effects.push_back({.kind = "pulse", .color = {200, 0, 100}, .interval = 1000, .started = kStart});
    state.effects.push_back(
        {.kind = "flash", .key = 28, .color = {0, 0, 255}, .interval = 400, .started = kStart});

    const Appearance dark = appearanceAt(state, kStart);
    EXPECT_EQ(dark.keys[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(dark.keys[kEnterCell], (Rgb{0, 0, 255}));  // first half of the flash: on
    const Appearance half = appearanceAt(state, kStart + 250);
    EXPECT_EQ(half.keys[0], (Rgb{100, 0, 50}));
    EXPECT_EQ(half.device, (Rgb{100, 0, 50}));
    EXPECT_EQ(half.keys[kEnterCell], (Rgb{0, 0, 0}));  // second half: off
    const Appearance full = appearanceAt(state, kStart + 2500);
    EXPECT_EQ(full.keys[125], (Rgb{200, 0, 100}));
    EXPECT_TRUE(isAnimated(state));

    state.effects[0].duration = 100;
    EXPECT_EQ(appearanceAt(state, kStart + 250).keys[0], (Rgb{10, 20, 30}));
    state.initialized = false;
    EXPECT_EQ(appearanceAt(state, kStart).keys[0], (Rgb{0, 0, 0}));
}

TEST(WatchedFile, WaitsForTheFileAndKeepsTheLastGoodStateOverBrokenOnes) {
    const lumo::test::TempFolder temp("lumo-view");
    const std::filesystem::path file = temp.path() / "state-roundglow.json";
    WatchedFile watched(file.string());
    EXPECT_FALSE(watched.refresh());
    EXPECT_EQ(watched.panel().title, "roundglow");
    std::string frame = terminalFrame({watched.panel()}, kStart, ColorMode::trueColor, 80);
    EXPECT_NE(frame.find("waiting for " + file.string()), std::string::npos);

    std::string keys = "[";
    for (int cell = 0; cell < kCells; ++cell) keys += std::string(cell ? "," : "") + "[255,0,0]";
    lumo::test::writeFile(file, R"({"initialized": true, "mask": 7, "device": [100, 0, 0], "keys": )" + keys +
                                    R"(], "saved": null, "effects": []})");
    ASSERT_TRUE(watched.refresh());
    EXPECT_FALSE(watched.refresh());  // unchanged
    for (const char* broken :
         {"{\"initialized\": true, \"mask\": 7, \"dev", "[]", "{\"keys\": [[1,2,3]]}", ""}) {
        SCOPED_TRACE(broken);
        lumo::test::writeFileDatedLater(file, broken);
        EXPECT_FALSE(watched.refresh());
        ASSERT_TRUE(watched.panel().state);
        EXPECT_EQ(watched.panel().state->keys[5], (Rgb{255, 0, 0}));
    }
    frame = terminalFrame({watched.panel()}, kStart, ColorMode::trueColor, 80);
    EXPECT_NE(frame.find("\x1b[48;2;255;0;0m\x1b[38;2;255;255;255m Esc "), std::string::npos);
}

TEST(LumoView, OneFrameOfMissingAndMalformedFilesSaysWhatItWaitsFor) {
    const lumo::test::TempFolder temp("lumo-view-run");
    const std::string missing = temp.text("state-heroglow.json");
    const std::string malformed = temp.text("state-roundglow.json");
    lumo::test::writeFile(malformed, "{\"initialized\": tr");
    const lumo::test::ProgramOutcome frame =
        lumo::test::runProgram(LUMO_VIEW_BINARY, {"--once", missing, malformed}, temp.path());
    EXPECT_EQ(frame.exitCode, 0) << frame.errors;
    EXPECT_NE(frame.output.find("waiting for " + missing), std::string::npos) << frame.output;
    EXPECT_NE(frame.output.find("waiting for " + malformed), std::string::npos) << frame.output;
    EXPECT_NE(frame.output.find("roundglow"), std::string::npos);
}

}  // namespace
}  // namespace lumo::view
