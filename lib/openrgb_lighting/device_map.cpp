#include "openrgb_lighting/device_map.h"

#include <algorithm>

#include "lighting/keyboard_layout.h"
#include "text/ascii.h"

namespace lumo::openrgb_lighting {

using namespace lumo::openrgb;

namespace {

constexpr std::string_view kKeyLedPrefix = "Key: ";

Color colorOf(const lumo::sdk_service::Rgb& rgb) {
    auto byte = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
    return makeColor(byte(rgb.red), byte(rgb.green), byte(rgb.blue));
}

}  // namespace

DeviceIdentity identityOf(const Controller& controller) {
    return {controller.type, controller.name, controller.vendor, controller.serial, controller.location};
}

DeviceMap mapDevice(const Controller& controller) {
    DeviceMap map;
    map.ledTargets.assign(controller.leds.size(), DeviceMap::kDeviceColor);
    map.baseColors = controller.colors;
    map.baseColors.resize(controller.leds.size(), 0);
    if (controller.type != static_cast<std::int32_t>(DeviceType::keyboard)) return map;
    for (std::size_t i = 0; i < controller.leds.size(); ++i) {
        const std::string& name = controller.leds[i].name;
        if (!lumo::util::startsWithIgnoringAsciiCase(name, kKeyLedPrefix)) continue;
        if (const lumo::lighting::LayoutKey* key = lumo::lighting::keyWithOpenRgbName(name)) {
            map.ledTargets[i] = key->cell;
            ++map.keyLeds;
        } else {
            map.ledTargets[i] = DeviceMap::kLeaveAlone;
        }
    }
    return map;
}

std::vector<Color> composeFrame(const DeviceMap& map, const lumo::sdk_service::Appearance& picture) {
    std::vector<Color> frame(map.ledTargets.size());
    const Color device = colorOf(picture.device);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const int target = map.ledTargets[i];
        if (target == DeviceMap::kDeviceColor)
            frame[i] = device;
        else if (target == DeviceMap::kLeaveAlone)
            frame[i] = map.baseColors[i];
        else
            frame[i] = colorOf(picture.keys[static_cast<std::size_t>(target)]);
    }
    return frame;
}

int directModeIndex(const Controller& controller) {
    const auto& modes = controller.modes;
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (lumo::util::equalsIgnoringAsciiCase(modes[i].name, "Direct")) return static_cast<int>(i);
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (modes[i].colorMode == kColorModePerLed || (modes[i].flags & kModeFlagPerLedColor) != 0)
            return static_cast<int>(i);
    return -1;
}

}  // namespace lumo::openrgb_lighting
