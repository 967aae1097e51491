#include <gtest/gtest.h>

#include <vector>

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
    EXPECT_TRUE(isAnimated(state, kStart + 2500));

    state.effects[0].duration = 100;
    EXPECT_EQ(appearanceAt(state, kStart + 250).keys[0], (Rgb{10, 20, 30}));
    state.initialized = false;
    EXPECT_EQ(appearanceAt(state, kStart).keys[0], (Rgb{0, 0, 0}));
}

// Only effects still running change the picture: a timed effect that has ended must not keep
// a renderer drawing frames.
TEST(Appearance, OnlyEffectsStillRunningAnimate) {
    const struct {
        const char* what;
        std::vector<int> durations;  // one effect each; 0 runs until stopped
        long long at;                // milliseconds after the start
        bool animated;
    } cases[] = {
        {"no effect", {}, 0, false},
        {"one without an end", {0}, 1'000'000, true},
        {"one timed, running", {500}, 499, true},
        {"one timed, ended", {500}, 500, false},
        {"two timed, both ended", {100, 300}, 400, false},
        {"one ended, one running", {100, 300}, 200, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardState state = litKeyboard({1, 2, 3});
        for (int duration : c.durations)
            state.effects.push_back(
                {.kind = "pulse", .duration = duration, .interval = 100, .started = kStart});
        EXPECT_EQ(isAnimated(state, kStart + c.at), c.animated);
        state.initialized = false;
        EXPECT_FALSE(isAnimated(state, kStart + c.at)) << "an uninitialised keyboard shows nothing";
    }
}

}  // namespace
}  // namespace lumo::sdk_service
