#include "lighting/keyboard_layout.h"

#include <algorithm>
#include <iterator>

#include "text/ascii.h"

namespace lumo::lighting {
namespace {

constexpr LayoutKey kKeys[] = {
    // Row 0: Escape, F1-F12, Print Screen, Scroll Lock, Pause.
    {0, "Esc", 0x01, 41, "Key: Escape"},
    {1, "F1", 0x3B, 58, "Key: F1"},
    {2, "F2", 0x3C, 59, "Key: F2"},
    {3, "F3", 0x3D, 60, "Key: F3"},
    {4, "F4", 0x3E, 61, "Key: F4"},
    {5, "F5", 0x3F, 62, "Key: F5"},
    {6, "F6", 0x40, 63, "Key: F6"},
    {7, "F7", 0x41, 64, "Key: F7"},
    {8, "F8", 0x42, 65, "Key: F8"},
    {9, "F9", 0x43, 66, "Key: F9"},
    {10, "F10", 0x44, 67, "Key: F10"},
    {11, "F11", 0x57, 68, "Key: F11"},
    {12, "F12", 0x58, 69, "Key: F12"},
    {13, "PrtSc", 0xE037, 70, "Key: Print Screen"},
    {14, "ScrLk", 0x46, 71, "Key: Scroll Lock"},
    {15, "Pause", 0xE11D, 72, "Key: Pause/Break"},
    // Row 1: the number row, Insert, Home, Page Up, the keypad's top row.
    {21, "`", 0x29, 53, "Key: `"},
    {22, "1", 0x02, 30, "Key: 1"},
    {23, "2", 0x03, 31, "Key: 2"},
    {24, "3", 0x04, 32, "Key: 3"},
    {25, "4", 0x05, 33, "Key: 4"},
    {26, "5", 0x06, 34, "Key: 5"},
    {27, "6", 0x07, 35, "Key: 6"},
    {28, "7", 0x08, 36, "Key: 7"},
    {29, "8", 0x09, 37, "Key: 8"},
    {30, "9", 0x0A, 38, "Key: 9"},
    {31, "0", 0x0B, 39, "Key: 0"},
    {32, "-", 0x0C, 45, "Key: -"},
    {33, "=", 0x0D, 46, "Key: ="},
    {34, "Bksp", 0x0E, 42, "Key: Backspace"},
    {35, "Ins", 0xE052, 73, "Key: Insert"},
    {36, "Home", 0xE047, 74, "Key: Home"},
    {37, "PgUp", 0xE049, 75, "Key: Page Up"},
    {38, "NumLk", 0x45, 83, "Key: Num Lock"},
    {39, "/", 0xE035, 84, "Key: Number Pad /"},
    {40, "*", 0x37, 85, "Key: Number Pad *"},
    {41, "-", 0x4A, 86, "Key: Number Pad -"},
    // Row 2: Tab, Q-P, brackets, backslash, Delete, End, Page Down, keypad 7-9 and plus.
    {42, "Tab", 0x0F, 43, "Key: Tab"},
    {43, "Q", 0x10, 20, "Key: Q"},
    {44, "W", 0x11, 26, "Key: W"},
    {45, "E", 0x12, 8, "Key: E"},
    {46, "R", 0x13, 21, "Key: R"},
    {47, "T", 0x14, 23, "Key: T"},
    {48, "Y", 0x15, 28, "Key: Y"},
    {49, "U", 0x16, 24, "Key: U"},
    {50, "I", 0x17, 12, "Key: I"},
    {51, "O", 0x18, 18, "Key: O"},
    {52, "P", 0x19, 19, "Key: P"},
    {53, "[", 0x1A, 47, "Key: ["},
    {54, "]", 0x1B, 48, "Key: ]"},
    {55, "\\", 0x2B, 49, "Key: \\ (ANSI)"},
    {56, "Del", 0xE053, 76, "Key: Delete"},
    {57, "End", 0xE04F, 77, "Key: End"},
    {58, "PgDn", 0xE051, 78, "Key: Page Down"},
    {59, "7", 0x47, 95, "Key: Number Pad 7"},
    {60, "8", 0x48, 96, "Key: Number Pad 8"},
    {61, "9", 0x49, 97, "Key: Number Pad 9"},
    {62, "+", 0x4E, 87, "Key: Number Pad +"},
    // Row 3: Caps Lock, A-L, semicolon, quote, Enter below the backslash, keypad 4-6.
    {63, "Caps", 0x3A, 57, "Key: Caps Lock"},
    {64, "A", 0x1E, 4, "Key: A"},
    {65, "S", 0x1F, 22, "Key: S"},
    {66, "D", 0x20, 7, "Key: D"},
    {67, "F", 0x21, 9, "Key: F"},
    {68, "G", 0x22, 10, "Key: G"},
    {69, "H", 0x23, 11, "Key: H"},
    {70, "J", 0x24, 13, "Key: J"},
    {71, "K", 0x25, 14, "Key: K"},
    {72, "L", 0x26, 15, "Key: L"},
    {73, ";", 0x27, 51, "Key: ;"},
    {74, "'", 0x28, 52, "Key: '"},
    {76, "Enter", 0x1C, 40, "Key: Enter"},
    {80, "4", 0x4B, 92, "Key: Number Pad 4"},
    {81, "5", 0x4C, 93, "Key: Number Pad 5"},
    {82, "6", 0x4D, 94, "Key: Number Pad 6"},
    // Row 4: left Shift, Z-M, comma, full stop, slash, right Shift, Up, keypad 1-3 and Enter.
    {85, "Shift", 0x2A, 225, "Key: Left Shift"},
    {86, "Z", 0x2C, 29, "Key: Z"},
    {87, "X", 0x2D, 27, "Key: X"},
    {88, "C", 0x2E, 6, "Key: C"},
    {89, "V", 0x2F, 25, "Key: V"},
    {90, "B", 0x30, 5, "Key: B"},
    {91, "N", 0x31, 17, "Key: N"},
    {92, "M", 0x32, 16, "Key: M"},
    {93, ",", 0x33, 54, "Key: ,"},
    {94, ".", 0x34, 55, "Key: ."},
    {95, "/", 0x35, 56, "Key: /"},
    {96, "Shift", 0x36, 229, "Key: Right Shift"},
    {99, "Up", 0xE048, 82, "Key: Up Arrow"},
    {101, "1", 0x4F, 89, "Key: Number Pad 1"},
    {102, "2", 0x50, 90, "Key: Number Pad 2"},
    {103, "3", 0x51, 91, "Key: Number Pad 3"},
    {104, "Enter", 0xE01C, 88, "Key: Number Pad Enter"},
    // Row 5: Ctrl, Win, Alt, Space, Alt, Win, Menu, Ctrl, the arrows, keypad 0 and point.
    {105, "Ctrl", 0x1D, 224, "Key: Left Control"},
    {106, "Win", 0xE05B, 227, "Key: Left Windows"},
    {108, "Alt", 0x38, 226, "Key: Left Alt"},
    {110, "Space", 0x39, 44, "Key: Space"},
    {114, "Alt", 0xE038, 230, "Key: Right Alt"},
    {115, "Win", 0xE05C, 231, "Key: Right Windows"},
    {116, "Menu", 0xE05D, 101, "Key: Menu"},
    {117, "Ctrl", 0xE01D, 228, "Key: Right Control"},
    {119, "Left", 0xE04B, 80, "Key: Left Arrow"},
    {120, "Down", 0xE050, 81, "Key: Down Arrow"},
    {121, "Right", 0xE04D, 79, "Key: Right Arrow"},
    {123, "0", 0x52, 98, "Key: Number Pad 0"},
    {124, ".", 0x53, 99, "Key: Number Pad ."},
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

const LayoutKey* keyWithOpenRgbName(std::string_view ledName) {
    // Names some drivers use for the same keys. The ISO key left of Enter sends the scan code
    // of the ANSI backslash, so it shares that cell; the ISO backslash beside the left Shift
    // has no cell here. A right Fn key sits where the right Windows key is.
    struct Alias {
        const char* name;
        int cell;
    };
    static constexpr Alias kAliases[] = {
        {"Key: \\", 55}, {"Key: #", 55}, {"Key: Enter (ISO)", 76}, {"Key: Right Fn", 115},
        {"Key: Left Ctrl", 105}, {"Key: Right Ctrl", 117}, {"Key: Esc", 0}, {"Key: Pause", 15},
        {"Key: Left Win", 106}, {"Key: Right Win", 115}, {"Key: Context Menu", 116},
    };
    if (const LayoutKey* key = findKey([ledName](const LayoutKey& key) {
            return lumo::util::equalsIgnoringAsciiCase(key.openRgbName, ledName);
        }))
        return key;
    for (const Alias& alias : kAliases)
        if (lumo::util::equalsIgnoringAsciiCase(alias.name, ledName)) return keyAtCell(alias.cell);
    return nullptr;
}

}  // namespace lumo::lighting
