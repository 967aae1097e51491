#include "openrgb_lighting/device_map.h"

#include <gtest/gtest.h>

namespace {

using namespace lumo::openrgb;
using namespace lumo::openrgb_lighting;
using lumo::sdk_service::Appearance;

Led led(const char* name) { return Led{name, 0}; }

Mode mode(const char* name, std::uint32_t colorMode, std::uint32_t flags = 0) {
    Mode made;
    made.name = name;
    made.colorMode = colorMode;
    made.flags = flags;
    return made;
}

// Keys by name wherever the driver puts them; LEDs that are no key take the device colour;
// key LEDs of keys the grid lacks keep what the device showed.
TEST(DeviceMap, KeyboardsTakeKeysByNameAndTheDeviceColourElsewhere) {
    Controller keyboard;
    keyboard.type = static_cast<std::int32_t>(DeviceType::keyboard);
    keyboard.leds = {led("Key: Escape"), led("Logo"), led("Key: G1"), led("Key: F1"), led("Key: Right Fn"),
                     led("Underglow 3")};
    keyboard.colors = {0, 0, makeColor(1, 2, 3), 0, 0, 0};
    const DeviceMap map = mapDevice(keyboard);
    EXPECT_EQ(map.ledTargets, (std::vector<int>{0, DeviceMap::kDeviceColor, DeviceMap::kLeaveAlone, 1, 115,
                                                DeviceMap::kDeviceColor}));
    EXPECT_EQ(map.keyLeds, 3);

    Appearance picture;
    picture.device = {10, 20, 30};
    picture.keys[0] = {255, 0, 0};
    picture.keys[1] = {0, 255, 0};
    picture.keys[115] = {0, 0, 255};
    EXPECT_EQ(composeFrame(map, picture),
              (std::vector<Color>{makeColor(255, 0, 0), makeColor(10, 20, 30), makeColor(1, 2, 3),
                                  makeColor(0, 255, 0), makeColor(0, 0, 255), makeColor(10, 20, 30)}));

    // The same names on a mouse are no keys: all of it shows the device colour.
    Controller mouse = keyboard;
    mouse.type = 6;
    EXPECT_EQ(mapDevice(mouse).ledTargets, std::vector<int>(6, DeviceMap::kDeviceColor));
    EXPECT_EQ(mapDevice(mouse).keyLeds, 0);
}

TEST(DeviceMap, AColourListShorterThanTheLedsIsPaddedNotOverrun) {
    Controller keyboard;
    keyboard.type = static_cast<std::int32_t>(DeviceType::keyboard);
    keyboard.leds = {led("Key: Media Play"), led("Key: Media Stop")};
    const DeviceMap map = mapDevice(keyboard);
    EXPECT_EQ(composeFrame(map, Appearance{}), (std::vector<Color>{0, 0}));
}

TEST(DeviceMap, DirectModeByNameElsePerLedColours) {
    const struct {
        std::vector<Mode> modes;
        int direct;
    } cases[] = {
        {{mode("Static", 2), mode("Direct", 1), mode("Spectrum Cycle", 0)}, 1},
        {{mode("Static", 2), mode("direct", 0)}, 1},
        {{mode("Static", 2), mode("Custom", 1)}, 1},
        {{mode("Static", 2), mode("Per key", 0, kModeFlagPerLedColor)}, 1},
        {{mode("Static", 2), mode("Breathing", 3)}, -1},
        {{}, -1},
    };
    for (const auto& c : cases) {
        Controller controller;
        controller.modes = c.modes;
        SCOPED_TRACE(c.modes.empty() ? "no modes" : c.modes.back().name);
        EXPECT_EQ(directModeIndex(controller), c.direct);
    }
}

}  // namespace
