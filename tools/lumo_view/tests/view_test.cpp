#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "files.h"
#include "keyboard_state.h"
#include "run_program.h"
#include "sdk_service/json_text.h"
#include "sdk_service/key_table.h"
#include "sdk_service/keyboard.h"
#include "terminal_frame.h"
#include "watched_file.h"

namespace lumo::view {
namespace {

constexpr long long kStart = 1'000'000;

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

// What the view reads from a keyboard's state file is what the keyboard's snapshot gives a
// backend, so both draw the same picture.
TEST(KeyboardState, StateFileReadsBackAsTheKeyboardsSnapshot) {
    using sdk_service::Keyboard;
    using sdk_service::RunningEffect;
    const Keyboard::Clock::time_point now = Keyboard::Clock::now();
    auto effect = [&](const char* kind, std::optional<int> key, Rgb color, int duration,
                      std::optional<int> interval) {
        RunningEffect made;
        made.kind = kind;
        made.key = key;
        made.color = color;
        made.duration = duration;
        made.interval = interval;
        return made;
    };
    std::array<unsigned char, sdk::kBitmapBytes> bitmap{};
    for (int cell = 0; cell < kCells; ++cell) {
        unsigned char* pixel = bitmap.data() + 4 * cell;  // blue, green, red, alpha
        pixel[0] = static_cast<unsigned char>(cell);
        pixel[1] = static_cast<unsigned char>(255 - cell);
        pixel[2] = static_cast<unsigned char>(2 * cell);
        pixel[3] = cell % 5 == 0 ? 0 : 255;
    }
    const struct {
        const char* what;
        std::function<bool(Keyboard&)> change;
    } steps[] = {
        {"dark and not initialised", [](Keyboard&) { return true; }},
        {"initialised",
         [](Keyboard& keyboard) {
             keyboard.setInitialized(true);
             return true;
         }},
        {"device and keys",
         [](Keyboard& keyboard) {
             return keyboard.setLighting({100, 50, 3});
         }},
        {"saved, then keys only",
         [](Keyboard& keyboard) {
             keyboard.saveLighting();
             return keyboard.setTargetDevice(sdk::kPerKeyDevices) &&
                    keyboard.setKeyLighting(sdk_service::cellOfScanCode(0x1C), {0, 99, 1});
         }},
        {"bitmap with excluded keys",
         [&](Keyboard& keyboard) {
             return keyboard.excludeKeysFromBitmap({0x01, 0xE048}) &&
                    keyboard.setLightingFromBitmap(bitmap.data());
         }},
        {"devices without per-key lighting",
         [](Keyboard& keyboard) {
             return keyboard.setTargetDevice(sdk::kDevicesWithoutPerKey) && keyboard.setLighting({7, 8, 9});
         }},
        {"whole-keyboard pulse",
         [&](Keyboard& keyboard) {
             return keyboard.startKeyboardEffect(effect("pulse", std::nullopt, {33, 66, 99}, 0, 1000), now);
         }},
        {"key pulse between two colours",
         [&](Keyboard& keyboard) {
             RunningEffect pulse = effect("pulse", 0x10, {100, 0, 0}, 5000, std::nullopt);
             pulse.color2 = Rgb{0, 0, 100};
             pulse.repeat = true;
             return keyboard.startKeyEffect(pulse, now - std::chrono::milliseconds(1500));
         }},
        {"key flash",
         [&](Keyboard& keyboard) {
             return keyboard.startKeyEffect(effect("flash", 0x1C, {1, 2, 3}, 0, 400), now);
         }},
    };
    Keyboard keyboard;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(step.change(keyboard));
        const KeyboardState snapshot = keyboard.snapshot();
        const std::optional<KeyboardState> read =
            parseKeyboardState(sdk_service::dumpJson(keyboard.toJson(), 2) + "\n");
        ASSERT_TRUE(read);
        EXPECT_EQ(read->initialized, snapshot.initialized);
        EXPECT_EQ(read->mask, snapshot.mask);
        EXPECT_EQ(read->device, snapshot.device);
        EXPECT_EQ(read->keys, snapshot.keys);
        ASSERT_EQ(read->effects.size(), snapshot.effects.size());
        for (std::size_t i = 0; i < snapshot.effects.size(); ++i) {
            const Effect& fromFile = read->effects[i];
            const Effect& fromKeyboard = snapshot.effects[i];
            EXPECT_EQ(fromFile.kind, fromKeyboard.kind);
            EXPECT_EQ(fromFile.key, fromKeyboard.key);
            EXPECT_EQ(fromFile.color, fromKeyboard.color);
            EXPECT_EQ(fromFile.color2, fromKeyboard.color2);
            EXPECT_EQ(fromFile.duration, fromKeyboard.duration);
            EXPECT_EQ(fromFile.interval, fromKeyboard.interval);
            EXPECT_EQ(fromFile.repeat, fromKeyboard.repeat);
            // Both convert the steady start to the wall clock at their own instant.
            EXPECT_LE(std::llabs(fromFile.started - fromKeyboard.started), 1);
        }
    }
    // In bytes, as the view shows them: 100, 50, 3 percent on the device, then 7, 8, 9.
    const KeyboardState last = keyboard.snapshot();
    EXPECT_EQ(last.device, (Rgb{17, 20, 22}));
    EXPECT_EQ(last.keys[0], (Rgb{255, 127, 7}));    // excluded from the bitmap
    EXPECT_EQ(last.keys[76], (Rgb{152, 179, 76}));  // Enter: the bitmap's
    EXPECT_EQ(last.effects.at(0).color, (Rgb{84, 168, 252}));
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
