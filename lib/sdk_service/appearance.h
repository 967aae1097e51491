#pragma once

#include <array>

#include "sdk_service/keyboard_state.h"

namespace lumo::sdk_service {

// What the keyboard shows at one instant, effects applied; colours in bytes.
struct Appearance {
    std::array<Rgb, kCells> keys{};
    Rgb device;
};

// The keyboard of `state` at wall-clock time `now` (milliseconds since the Unix epoch).
// A whole-keyboard pulse shows its colour over every key and device, its brightness rising
// and falling once per interval from the effect's start; a flash shows its colour for the
// first half of each interval and dark for the second. Key effects land on their key's cell
// over the whole-keyboard one. Effects whose duration has passed show no more.
Appearance appearanceAt(const KeyboardState& state, long long now);

// True when the picture of `state` changes with time alone after `now` (wall clock as above):
// an effect is running that has not reached the end of its duration.
bool isAnimated(const KeyboardState& state, long long now);

}  // namespace lumo::sdk_service
