#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::view {

inline constexpr int kCells = 126;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A running effect as the simulated keyboard's state file lists it; colours in bytes.
struct Effect {
    std::string kind;          // "pulse" or "flash"
    std::optional<int> key{};  // scan code; none for a whole-keyboard effect
    Rgb color{};
    std::optional<Rgb> color2{};  // single-key pulses only
    int duration = 0;             // milliseconds; 0 runs until stopped
    int interval = 0;             // milliseconds
    long long started = 0;        // wall clock, milliseconds since the Unix epoch
};

// What one state file says: the per-key cells in bytes, the devices without per-key lighting
// (given in percent in the file, held in bytes here), the target mask and the effects.
struct KeyboardState {
    bool initialized = false;
    int mask = 7;
    Rgb device;
    std::array<Rgb, kCells> keys{};
    std::vector<Effect> effects;
};

// The state in `text`, or nothing when it is not a complete state document (a half-written
// or foreign file): the view then keeps showing the last good one.
std::optional<KeyboardState> parseKeyboardState(std::string_view text);

// Percent 0-100 to byte, as the per-key cells take it.
int percentToByte(int percent);

}  // namespace lumo::view
