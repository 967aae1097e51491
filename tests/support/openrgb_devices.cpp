// The devices the test OpenRGB server offers unless a test gives its own, and the protocol's
// tests use: every field of every protocol version filled in.
#include <array>
#include <utility>

#include "openrgb_server.h"

namespace lumo::test {

namespace {

using openrgb::Controller;
using openrgb::Mode;
using openrgb::Zone;

constexpr std::uint32_t kModeFlagSpeed = 1u << 0;
constexpr std::uint32_t kModeFlagBrightness = 1u << 4;
constexpr std::uint32_t kModeFlagModeSpecificColor = 1u << 6;
constexpr std::uint32_t kColorModeNone = 0;
constexpr std::uint32_t kColorModeModeSpecific = 2;
constexpr std::int32_t kZoneSingle = 0;
constexpr std::int32_t kZoneLinear = 1;
constexpr std::int32_t kZoneMatrix = 2;
constexpr std::int32_t kTypeMouse = 6;

constexpr std::uint32_t kKeyboardRows = 6;
constexpr std::uint32_t kKeyboardColumns = 21;

struct KeyCell {
    std::uint32_t column;
    const char* name;  // after "Key: "
};

// Row by row, left to right: a full-size ANSI board, the number pad in columns 17 to 20.
const std::array<std::vector<KeyCell>, kKeyboardRows>& keyboardRows() {
    static const std::array<std::vector<KeyCell>, kKeyboardRows> rows = {{
        {{0, "Escape"}, {2, "F1"}, {3, "F2"}, {4, "F3"}, {5, "F4"}, {6, "F5"}, {7, "F6"}, {8, "F7"},
         {9, "F8"}, {10, "F9"}, {11, "F10"}, {12, "F11"}, {13, "F12"}, {14, "Print Screen"},
         {15, "Scroll Lock"}, {16, "Pause/Break"}},
        {{0, "`"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}, {8, "8"},
         {9, "9"}, {10, "0"}, {11, "-"}, {12, "="}, {13, "Backspace"}, {14, "Insert"}, {15, "Home"},
         {16, "Page Up"}, {17, "Num Lock"}, {18, "Number Pad /"}, {19, "Number Pad *"}, {20, "Number Pad -"}},
        {{0, "Tab"}, {1, "Q"}, {2, "W"}, {3, "E"}, {4, "R"}, {5, "T"}, {6, "Y"}, {7, "U"}, {8, "I"},
         {9, "O"}, {10, "P"}, {11, "["}, {12, "]"}, {13, "\\ (ANSI)"}, {14, "Delete"}, {15, "End"},
         {16, "Page Down"}, {17, "Number Pad 7"}, {18, "Number Pad 8"}, {19, "Number Pad 9"},
         {20, "Number Pad +"}},
        {{0, "Caps Lock"}, {1, "A"}, {2, "S"}, {3, "D"}, {4, "F"}, {5, "G"}, {6, "H"}, {7, "J"},
         {8, "K"}, {9, "L"}, {10, ";"}, {11, "'"}, {13, "Enter"}, {17, "Number Pad 4"},
         {18, "Number Pad 5"}, {19, "Number Pad 6"}},
        {{0, "Left Shift"}, {2, "Z"}, {3, "X"}, {4, "C"}, {5, "V"}, {6, "B"}, {7, "N"}, {8, "M"},
         {9, ","}, {10, "."}, {11, "/"}, {13, "Right Shift"}, {15, "Up Arrow"}, {17, "Number Pad 1"},
         {18, "Number Pad 2"}, {19, "Number Pad 3"}, {20, "Number Pad Enter"}},
        {{0, "Left Control"}, {1, "Left Windows"}, {2, "Left Alt"}, {6, "Space"}, {10, "Right Alt"},
         {11, "Right Fn"}, {12, "Menu"}, {13, "Right Control"}, {14, "Left Arrow"}, {15, "Down Arrow"},
         {16, "Right Arrow"}, {17, "Number Pad 0"}, {19, "Number Pad ."}},
    }};
    return rows;
}

Mode directMode() {
    Mode mode;
    mode.name = "Direct";
    mode.flags = openrgb::kModeFlagPerLedColor;
    mode.colorMode = openrgb::kColorModePerLed;
    return mode;
}

Mode effectMode(std::string name, std::int32_t value, std::uint32_t flags, std::vector<openrgb::Color> colors) {
    Mode mode;
    mode.name = std::move(name);
    mode.value = value;
    mode.flags = flags | kModeFlagBrightness;
    mode.brightnessMin = 0;
    mode.brightnessMax = 100;
    mode.brightness = 100;
    if (flags & kModeFlagSpeed) {
        mode.speedMin = 1;
        mode.speedMax = 5;
        mode.speed = 3;
    }
    mode.colorMode = colors.empty() ? kColorModeNone : kColorModeModeSpecific;
    mode.colorsMin = mode.colorsMax = static_cast<std::uint32_t>(colors.size());
    mode.colors = std::move(colors);
    return mode;
}

Zone fixedZone(std::string name, std::int32_t type, std::uint32_t leds) {
    Zone zone;
    zone.name = std::move(name);
    zone.type = type;
    zone.ledsMin = zone.ledsMax = zone.ledsCount = leds;
    zone.flags = 0x1;
    return zone;
}

Controller device(std::int32_t type, std::string name, std::string description, std::string serial,
                  std::string location) {
    Controller device;
    device.type = type;
    device.name = std::move(name);
    device.vendor = "Lumo Test";
    device.description = std::move(description);
    device.version = "1.0";
    device.serial = std::move(serial);
    device.location = std::move(location);
    return device;
}

openrgb::Led led(std::string name, std::size_t value) {
    openrgb::Led led;
    led.name = std::move(name);
    led.value = static_cast<std::uint32_t>(value);
    return led;
}

Controller keyboard() {
    Controller keyboard = device(static_cast<std::int32_t>(openrgb::DeviceType::keyboard), "Test Keyboard",
                                 "Full-size ANSI keyboard of the test server", "KB-0001", "HID: /dev/hidraw7");
    Zone keys = fixedZone("Keyboard", kZoneMatrix, 0);
    keys.matrixHeight = kKeyboardRows;
    keys.matrixWidth = kKeyboardColumns;
    keys.matrix.assign(kKeyboardRows * kKeyboardColumns, openrgb::kNoLed);
    std::uint32_t row = 0;
    for (const std::vector<KeyCell>& cells : keyboardRows()) {
        for (const KeyCell& cell : cells) {
            keys.matrix[row * kKeyboardColumns + cell.column] = static_cast<std::uint32_t>(keyboard.leds.size());
            keyboard.leds.push_back(led(std::string("Key: ") + cell.name, keyboard.leds.size()));
        }
        ++row;
    }
    keys.ledsMin = keys.ledsMax = keys.ledsCount = static_cast<std::uint32_t>(keyboard.leds.size());
    keyboard.zones.push_back(std::move(keys));
    keyboard.zones.push_back(fixedZone("Logo", kZoneSingle, 1));
    keyboard.leds.push_back(led("Logo", keyboard.leds.size()));
    keyboard.colors.assign(keyboard.leds.size(), openrgb::makeColor(0, 0, 0));
    keyboard.modes = {directMode(),
                      effectMode("Static", 1, kModeFlagModeSpecificColor, {openrgb::makeColor(255, 0, 0)}),
                      effectMode("Spectrum Cycle", 2, kModeFlagSpeed, {})};
    keyboard.activeMode = 2;
    keyboard.alternateNames = {"Test Keyboard Pro", "TK-104"};
    keyboard.flags = 0x3;
    return keyboard;
}

Controller mouse() {
    Controller mouse =
        device(kTypeMouse, "Test Mouse", "Two-LED mouse of the test server", "MS-0001", "HID: /dev/hidraw9");
    mouse.version = "";
    Zone zone = fixedZone("Mouse", kZoneLinear, 2);
    zone.segments = {openrgb::Segment{"Logo", kZoneLinear, 0, 1},
                     openrgb::Segment{"Wheel", kZoneLinear, 1, 1}};
    mouse.zones.push_back(std::move(zone));
    mouse.leds = {led("Logo", 0), led("Scroll Wheel", 1)};
    mouse.colors.assign(mouse.leds.size(), openrgb::makeColor(0, 0, 0));
    Mode breathing = effectMode("Breathing", 1, kModeFlagSpeed | kModeFlagModeSpecificColor,
                                {openrgb::makeColor(0, 0, 255)});
    // A driver whose fastest speed is the smaller number.
    breathing.speedMin = 0x96;
    breathing.speedMax = 0x0A;
    breathing.speed = 0x50;
    mouse.modes = {directMode(), breathing};
    mouse.activeMode = 1;
    mouse.flags = 0x1;
    return mouse;
}

}  // namespace

std::vector<openrgb::Controller> defaultDevices() { return {keyboard(), mouse()}; }

openrgb::Controller asSeenAt(openrgb::Controller controller, std::uint32_t version) {
    if (version < 1) controller.vendor.clear();
    for (Mode& mode : controller.modes) {
        if (version < 3) mode.brightnessMin = mode.brightnessMax = mode.brightness = 0;
    }
    for (Zone& zone : controller.zones) {
        if (version < 4) zone.segments.clear();
        if (version < 5) zone.flags = 0;
    }
    if (version < 5) {
        controller.alternateNames.clear();
        controller.flags = 0;
    }
    return controller;
}

}  // namespace lumo::test
