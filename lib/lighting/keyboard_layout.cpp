#include "lighting/keyboard_layout.h"

#include <algorithm>
#include <iterator>

namespace lumo::lighting {
namespace {

constexpr LayoutKey kKeys[] = {
    // Row 0: Escape, F1-F12, Print Screen, Scroll Lock, Pause.
    {0, "Esc", 0x01, 41},
    {1, "F1", 0x3B, 58},
    {2, "F2", 0x3C, 59},
    {3, "F3", 0x3D, 60},
    {4, "F4", 0x3E, 61},
    {5, "F5", 0x3F, 62},
    {6, "F6", 0x40, 63},
    {7, "F7", 0x41, 64},
    {8, "F8", 0x42, 65},
    {9, "F9", 0x43, 66},
    {10, "F10", 0x44, 67},
    {11, "F11", 0x57, 68},
    {12, "F12", 0x58, 69},
    {13, "PrtSc", 0xE037, 70},
    {14, "ScrLk", 0x46, 71},
    {15, "Pause", 0xE11D, 72},
    // Row 1: the number row, Insert, Home, Page Up, the keypad's top row.
    {21, "`", 0x29, 53},
    {22, "1", 0x02, 30},
    {23, "2", 0x03, 31},
    {24, "3", 0x04, 32},
    {25, "4", 0x05, 33},
    {26, "5", 0x06, 34},
    {27, "6", 0x07, 35},
    {28, "7", 0x08, 36},
    {29, "8", 0x09, 37},
    {30, "9", 0x0A, 38},
    {31, "0", 0x0B, 39},
    {32, "-", 0x0C, 45},
    {33, "=", 0x0D, 46},
    {34, "Bksp", 0x0E, 42},
    {35, "Ins", 0xE052, 73},
    {36, "Home", 0xE047, 74},
    {37, "PgUp", 0xE049, 75},
    {38, "NumLk", 0x45, 83},
    {39, "/", 0xE035, 84},
    {40, "*", 0x37, 85},
    {41, "-", 0x4A, 86},
    // Row 2: Tab, Q-P, brackets, backslash, Delete, End, Page Down, keypad 7-9 and plus.
    {42, "Tab", 0x0F, 43},
    {43, "Q", 0x10, 20},
    {44, "W", 0x11, 26},
    {45, "E", 0x12, 8},
    {46, "R", 0x13, 21},
    {47, "T", 0x14, 23},
    {48, "Y", 0x15, 28},
    {49, "U", 0x16, 24},
    {50, "I", 0x17, 12},
    {51, "O", 0x18, 18},
    {52, "P", 0x19, 19},
    {53, "[", 0x1A, 47},
    {54, "]", 0x1B, 48},
    {55, "\\", 0x2B, 49},
    {56, "Del", 0xE053, 76},
    {57, "End", 0xE04F, 77},
    {58, "PgDn", 0xE051, 78},
    {59, "7", 0x47, 95},
    {60, "8", 0x48, 96},
    {61, "9", 0x49, 97},
    {62, "+", 0x4E, 87},
    // Row 3: Caps Lock, A-L, semicolon, quote, Enter below the backslash, keypad 4-6.
    {63, "Caps", 0x3A, 57},
    {64, "A", 0x1E, 4},
    {65, "S", 0x1F, 22},
    {66, "D", 0x20, 7},
    {67, "F", 0x21, 9},
    {68, "G", 0x22, 10},
    {69, "H", 0x23, 11},
    {70, "J", 0x24, 13},
    {71, "K", 0x25, 14},
    {72, "L", 0x26, 15},
    {73, ";", 0x27, 51},
    {74, "'", 0x28, 52},
    {76, "Enter", 0x1C, 40},
    {80, "4", 0x4B, 92},
    {81, "5", 0x4C, 93},
    {82, "6", 0x4D, 94},
    // Row 4: left Shift, Z-M, comma, full stop, slash, right Shift, Up, keypad 1-3 and Enter.
    {85, "Shift", 0x2A, 225},
    {86, "Z", 0x2C, 29},
    {87, "X", 0x2D, 27},
    {88, "C", 0x2E, 6},
    {89, "V", 0x2F, 25},
    {90, "B", 0x30, 5},
    {91, "N", 0x31, 17},
    {92, "M", 0x32, 16},
    {93, ",", 0x33, 54},
    {94, ".", 0x34, 55},
    {95, "/", 0x35, 56},
    {96, "Shift", 0x36, 229},
    {99, "Up", 0xE048, 82},
    {101, "1", 0x4F, 89},
    {102, "2", 0x50, 90},
    {103, "3", 0x51, 91},
    {104, "Enter", 0xE01C, 88},
    // Row 5: Ctrl, Win, Alt, Space, Alt, Win, Menu, Ctrl, the arrows, keypad 0 and point.
    {105, "Ctrl", 0x1D, 224},
    {106, "Win", 0xE05B, 227},
    {108, "Alt", 0x38, 226},
    {110, "Space", 0x39, 44},
    {114, "Alt", 0xE038, 230},
    {115, "Win", 0xE05C, 231},
    {116, "Menu", 0xE05D, 101},
    {117, "Ctrl", 0xE01D, 228},
    {119, "Left", 0xE04B, 80},
    {120, "Down", 0xE050, 81},
    {121, "Right", 0xE04D, 79},
    {123, "0", 0x52, 98},
    {124, ".", 0x53, 99},
};
static_assert(std::size(kKeys) == 104);
static_assert(std::is_sorted(std::begin(kKeys), std::end(kKeys),
                             [](const LayoutKey& a, const LayoutKey& b) { return a.cell < b.cell; }));

template <typename Matches>
const LayoutKey* findKey(Matches matches) {
    const auto found = std::find_if(std::begin(kKeys), std::end(kKeys), matches);
    return found == std::end(kKeys) ? nullptr : &*found;
}

}  // namespace

std::span<const LayoutKey> layoutKeys() { return kKeys; }

const LayoutKey* keyAtCell(int cell) {
    return findKey([cell](const LayoutKey& key) { return key.cell == cell; });
}

const LayoutKey* keyWithScanCode(int scanCode) {
    return findKey([scanCode](const LayoutKey& key) { return key.scanCode == scanCode; });
}

const LayoutKey* keyWithHidCode(int hidCode) {
    return findKey([hidCode](const LayoutKey& key) { return key.hidCode == hidCode; });
}

}  // namespace lumo::lighting
