#include <gtest/gtest.h>

#include "sdk_service/appearance.h"

namespace lumo::sdk_service {
namespace {

constexpr int kEnterCell = 76;
constexpr long long kStart = 1'000'000;

KeyboardState litKeyboard(Rgb keys) {
    KeyboardState state;
    state.initialized = true;
    state.keys.fill(keys);
    return state;
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

}  // namespace
}  // namespace lumo::sdk_service
