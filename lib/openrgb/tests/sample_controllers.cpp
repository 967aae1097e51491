#include "sample_controllers.h"

#include <string_view>
#include <utility>

namespace lumo::openrgb::test {

namespace {

constexpr std::uint32_t kRows = 6;
constexpr std::uint32_t kColumns = 21;
constexpr std::int32_t kMouse = 6;
constexpr std::int32_t kZoneSingle = 0, kZoneLinear = 1, kZoneMatrix = 2;

struct Key {
    std::string_view name;
    std::uint32_t column;
};

// Row by row, in the order the keyboard's LEDs are numbered.
const std::vector<std::vector<Key>> kKeyRows = {
    {{"Escape", 0}, {"F1", 2}, {"F2", 3}, {"F3", 4}, {"F4", 5}, {"F5", 6}, {"F6", 7}, {"F7", 8},
     {"F8", 9}, {"F9", 10}, {"F10", 11}, {"F11", 12}, {"F12", 13}, {"Print Screen", 14},
     {"Scroll Lock", 15}, {"Pause/Break", 16}},
    {{"`", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8},
     {"9", 9}, {"0", 10}, {"-", 11}, {"=", 12}, {"Backspace", 13}, {"Insert", 14}, {"Home", 15},
     {"Page Up", 16}, {"Num Lock", 17}, {"Number Pad /", 18}, {"Number Pad *", 19}, {"Number Pad -", 20}},
    {{"Tab", 0}, {"Q", 1}, {"W", 2}, {"E", 3}, {"R", 4}, {"T", 5}, {"Y", 6}, {"U", 7}, {"I", 8},
     {"O", 9}, {"P", 10}, {"[", 11}, {"]", 12}, {"\\ (ANSI)", 13}, {"Delete", 14}, {"End", 15},
     {"Page Down", 16}, {"Number Pad 7", 17}, {"Number Pad 8", 18}, {"Number Pad 9", 19},
     {"Number Pad +", 20}},
    {{"Caps Lock", 0}, {"A", 1}, {"S", 2}, {"D", 3}, {"F", 4}, {"G", 5}, {"H", 6}, {"J", 7},
     {"K", 8}, {"L", 9}, {";", 10}, {"'", 11}, {"Enter", 12}, {"Number Pad 4", 17},
     {"Number Pad 5", 18}, {"Number Pad 6", 19}},
    {{"Left Shift", 0}, {"Z", 1}, {"X", 2}, {"C", 3}, {"V", 4}, {"B", 5}, {"N", 6}, {"M", 7},
     {",", 8}, {".", 9}, {"/", 10}, {"Right Shift", 11}, {"Up Arrow", 15}, {"Number Pad 1", 17},
     {"Number Pad 2", 18}, {"Number Pad 3", 19}, {"Number Pad Enter", 20}},
    {{"Left Control", 0}, {"Left Windows", 1}, {"Left Alt", 2}, {"Space", 6}, {"Right Alt", 10},
     {"Right Fn", 11}, {"Menu", 12}, {"Right Control", 13}, {"Left Arrow", 14}, {"Down Arrow", 15},
     {"Right Arrow", 16}, {"Number Pad 0", 17}, {"Number Pad .", 19}},
};

Mode mode(std::string name, std::int32_t value, std::uint32_t flags, std::uint32_t colorMode,
          std::vector<Color> colors) {
    Mode made;
    made.name = std::move(name);
    made.value = value;
    made.flags = flags;
    made.colorMode = colorMode;
    made.colorsMin = made.colorsMax = static_cast<std::uint32_t>(colors.size());
    made.colors = std::move(colors);
    return made;
}

Zone zone(std::string name, std::int32_t type, std::uint32_t leds) {
    Zone made;
    made.name = std::move(name);
    made.type = type;
    made.ledsMin = made.ledsMax = made.ledsCount = leds;
    made.flags = 0x1;
    return made;
}

void addLed(Controller& controller, std::string name, Color color) {
    controller.leds.push_back(Led{std::move(name), static_cast<std::uint32_t>(controller.leds.size())});
    controller.colors.push_back(color);
}

}  // namespace

Controller sampleKeyboard() {
    Controller keyboard;
    keyboard.type = static_cast<std::int32_t>(DeviceType::keyboard);
    keyboard.name = "Example Mechanical Keyboard";
    keyboard.vendor = "Example Devices";
    keyboard.description = "Full-size keyboard with per-key lighting";
    keyboard.version = "1.08";
    keyboard.serial = "EX0123456789";
    keyboard.location = "HID: /dev/hidraw3";
    keyboard.alternateNames = {"Example Keyboard Pro", "EXK-104"};
    keyboard.flags = 0x3;

    Mode direct = mode("Direct", 0, kModeFlagPerLedColor, kColorModePerLed, {});
    Mode fixed = mode("Static", 1, 1u << 4 | 1u << 7, 2, {makeColor(255, 0, 0)});
    fixed.brightnessMin = 0;
    fixed.brightnessMax = 100;
    fixed.brightness = 80;
    Mode breathing = mode("Breathing", 2, 1u << 0 | 1u << 3 | 1u << 4, 2, {makeColor(0, 0, 255), makeColor(255, 255, 0)});
    breathing.speedMin = 1;
    breathing.speedMax = 5;
    breathing.speed = 3;
    breathing.brightnessMax = 100;
    breathing.brightness = 100;
    breathing.direction = 1;
    keyboard.modes = {direct, fixed, breathing};
    keyboard.activeMode = 2;

    Zone keys = zone("Keyboard", kZoneMatrix, 104);
    keys.matrixHeight = kRows;
    keys.matrixWidth = kColumns;
    keys.matrix.assign(kRows * kColumns, kNoLed);
    std::uint32_t row = 0;
    for (const std::vector<Key>& keysOfRow : kKeyRows) {
        for (const Key& key : keysOfRow) {
            keys.matrix[row * kColumns + key.column] = static_cast<std::uint32_t>(keyboard.leds.size());
            addLed(keyboard, "Key: " + std::string(key.name), makeColor(static_cast<std::uint8_t>(row * 40), 0x80,
                                                                        static_cast<std::uint8_t>(key.column * 12)));
        }
        ++row;
    }
    keyboard.zones.push_back(std::move(keys));
    keyboard.zones.push_back(zone("Logo", kZoneSingle, 1));
    addLed(keyboard, "Logo", makeColor(255, 255, 255));
    return keyboard;
}

Controller sampleMouse() {
    Controller mouse;
    mouse.type = kMouse;
    mouse.name = "Example Gaming Mouse";
    mouse.vendor = "Example Devices";
    mouse.description = "Mouse with wheel, logo and side lighting";
    mouse.version = "";
    mouse.serial = "";
    mouse.location = "HID: /dev/hidraw7";
    mouse.flags = 0x1;
    Mode direct = mode("Direct", 0xFF, kModeFlagPerLedColor, kColorModePerLed, {});
    Mode cycle = mode("Spectrum Cycle", 3, 1u << 0, 0, {});
    cycle.speedMin = 0x96;
    cycle.speedMax = 0x0A;  // a driver whose fastest speed is the smaller number
    cycle.speed = 0x50;
    mouse.modes = {direct, cycle};
    mouse.activeMode = 0;

    mouse.zones.push_back(zone("Scroll Wheel", kZoneSingle, 1));
    addLed(mouse, "Scroll Wheel", makeColor(0, 255, 0));
    mouse.zones.push_back(zone("Logo", kZoneSingle, 1));
    addLed(mouse, "Logo", makeColor(0, 0, 255));
    Zone strip = zone("Side", kZoneLinear, 8);
    strip.ledsMin = 0;
    strip.ledsMax = 16;
    strip.segments = {Segment{"Left", kZoneLinear, 0, 4}, Segment{"Right", kZoneLinear, 4, 4}};
    mouse.zones.push_back(std::move(strip));
    for (int led = 0; led < 8; ++led)
        addLed(mouse, "Side LED " + std::to_string(led + 1), makeColor(static_cast<std::uint8_t>(led * 30), 0, 0));
    return mouse;
}

Controller asSeenAt(Controller controller, std::uint32_t version) {
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

}  // namespace lumo::openrgb::test
