#pragma once

#include <optional>

namespace lumo::simulator {

// Cells of the simulated keyboard's key grid (row * 21 + column) for the keys whose place is
// known: Escape, F1-F12, the number row from the grave accent to 0, the letter rows with Tab,
// left Shift, comma and full stop, left Ctrl, left Alt and Space. Other codes have no cell.

// Set 1 (PC/XT) scan codes, as the SDK names keys: 28 is Enter, 16 is Q.
std::optional<int> cellOfScanCode(int scanCode);
// USB HID keyboard usage codes: 4 is A, 44 is Space.
std::optional<int> cellOfHidCode(int hidCode);

}  // namespace lumo::simulator
