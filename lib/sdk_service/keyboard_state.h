#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "lighting/lumo_sdk.h"

namespace lumo::sdk_service {

// Cells of the key grid: sdk::kBitmapRows rows of sdk::kBitmapColumns, cell row * 21 + column.
inline constexpr int kCells = sdk::kBitmapKeys;

// A colour; what its channels count (percent 0-100 or bytes 0-255) is said where it is used.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A running effect as the state file lists it, its colours in bytes.
struct Effect {
    std::string kind;              // "pulse" or "flash"
    std::optional<int> key{};      // scan code; none for a whole-keyboard effect
    Rgb color{};                   // bytes
    std::optional<Rgb> color2{};   // bytes; single-key pulses only
    int duration = 0;              // milliseconds; 0 runs until stopped
    int interval = 0;              // milliseconds; 0 when the effect has none (single-key pulses)
    std::optional<bool> repeat{};  // single-key pulses only
    long long started = 0;         // wall clock, milliseconds since the Unix epoch
};

// What the keyboard shows before effects: the per-key cells in bytes, the devices without
// per-key lighting in bytes (the state file gives them in percent), the target mask and the
// running effects. The lighting saved for a later restore is not part of it.
struct KeyboardState {
    bool initialized = false;
    int mask = sdk::kAllDevices;
    Rgb device;                      // bytes
    std::array<Rgb, kCells> keys{};  // bytes
    std::vector<Effect> effects;
};

}  // namespace lumo::sdk_service
