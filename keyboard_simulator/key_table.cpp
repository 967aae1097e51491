#include "key_table.h"

#include <array>

namespace lumo::simulator {

namespace {

struct KeyPlace {
    int scanCode;
    int hidCode;
    int cell;
};

// The cells match the key positions the applets paint; rows of 21 cells.
constexpr KeyPlace kKeys[] = {
    // Function-key row: Escape, F1-F10, F11, F12.
    {0x01, 41, 0},
    {0x3B, 58, 1},
    {0x3C, 59, 2},
    {0x3D, 60, 3},
    {0x3E, 61, 4},
    {0x3F, 62, 5},
    {0x40, 63, 6},
    {0x41, 64, 7},
    {0x42, 65, 8},
    {0x43, 66, 9},
    {0x44, 67, 10},
    {0x57, 68, 11},
    {0x58, 69, 12},
    // Number row: grave accent, 1-9, 0.
    {0x29, 53, 21},
    {0x02, 30, 22},
    {0x03, 31, 23},
    {0x04, 32, 24},
    {0x05, 33, 25},
    {0x06, 34, 26},
    {0x07, 35, 27},
    {0x08, 36, 28},
    {0x09, 37, 29},
    {0x0A, 38, 30},
    {0x0B, 39, 31},
    // Tab, Q-P.
    {0x0F, 43, 42},
    {0x10, 20, 43},
    {0x11, 26, 44},
    {0x12, 8, 45},
    {0x13, 21, 46},
    {0x14, 23, 47},
    {0x15, 28, 48},
    {0x16, 24, 49},
    {0x17, 12, 50},
    {0x18, 18, 51},
    {0x19, 19, 52},
    // A-L.
    {0x1E, 4, 64},
    {0x1F, 22, 65},
    {0x20, 7, 66},
    {0x21, 9, 67},
    {0x22, 10, 68},
    {0x23, 11, 69},
    {0x24, 13, 70},
    {0x25, 14, 71},
    {0x26, 15, 72},
    // Left Shift, Z-M, comma, full stop.
    {0x2A, 225, 85},
    {0x2C, 29, 86},
    {0x2D, 27, 87},
    {0x2E, 6, 88},
    {0x2F, 25, 89},
    {0x30, 5, 90},
    {0x31, 17, 91},
    {0x32, 16, 92},
    {0x33, 54, 93},
    {0x34, 55, 94},
    // Left Ctrl, left Alt, Space.
    {0x1D, 224, 105},
    {0x38, 226, 108},
    {0x39, 44, 110},
};

}  // namespace

std::optional<int> cellOfScanCode(int scanCode) {
    for (const KeyPlace& key : kKeys)
        if (key.scanCode == scanCode) return key.cell;
    return std::nullopt;
}

std::optional<int> cellOfHidCode(int hidCode) {
    for (const KeyPlace& key : kKeys)
        if (key.hidCode == hidCode) return key.cell;
    return std::nullopt;
}

}  // namespace lumo::simulator
