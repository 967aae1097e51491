#pragma once

#include <optional>

namespace lumo::sdk_service {

// Cells of the keyboard's key grid (row * 21 + column) for every key of the
// full-size layout (lighting/keyboard_layout.h). Other codes have no cell.

// Set 1 (PC/XT) scan codes, as the SDK names keys: 28 is Enter, 16 is Q; keys with an 0xE0
// prefix carry it in the high byte (0xE048 is Up).
std::optional<int> cellOfScanCode(int scanCode);
// USB HID keyboard usage codes: 4 is A, 44 is Space.
std::optional<int> cellOfHidCode(int hidCode);

}  // namespace lumo::sdk_service
