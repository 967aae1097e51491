#pragma once

#include <span>
#include <string_view>

namespace lumo::lighting {

// The keys of a full-size keyboard (104 keys, US layout) on the SDK's key grid of 6 rows of
// 21 cells (cell = row * 21 + column): the function-key row with Print Screen, Scroll Lock
// and Pause; the main block; the navigation block and arrows in columns 14 to 16; the numeric
// keypad in columns 17 to 20. Cells where a wide key leaves room (left of the left Shift,
// beside Enter and Space, below the keypad's plus and Enter, left of its 0) hold no key.
// The simulated keyboard finds keys by these codes and the keyboard view labels cells with
// them, so both agree with the cells the programs paint (lighting/key_cells.h).
struct LayoutKey {
    int cell;
    const char* label;  // as printed on the key cap, at most 5 characters
    // Set 1 (PC/XT) scan code; keys sent with an 0xE0 or 0xE1 prefix carry it in the high byte
    // (0xE01C is the keypad's Enter), as Windows' MAPVK_VK_TO_VSC_EX gives them.
    int scanCode;
    int hidCode;  // USB HID keyboard usage
    // The key's LED as OpenRGB names it on a full-size US keyboard ("Key: Escape").
    const char* openRgbName;
};

inline constexpr int kLayoutRows = 6;
inline constexpr int kLayoutColumns = 21;

// All keys, in cell order.
std::span<const LayoutKey> layoutKeys();
// The key at `cell`, or null for a cell without a key or outside the grid.
const LayoutKey* keyAtCell(int cell);
// The key with that code, or null.
const LayoutKey* keyWithScanCode(int scanCode);
const LayoutKey* keyWithHidCode(int hidCode);
// The key whose LED an OpenRGB driver names `ledName` (ASCII case ignored), including the
// names some drivers use instead ("Key: \\", "Key: Right Fn"); null for a name of no key
// here (media keys, macro keys, the ISO backslash).
const LayoutKey* keyWithOpenRgbName(std::string_view ledName);

}  // namespace lumo::lighting
