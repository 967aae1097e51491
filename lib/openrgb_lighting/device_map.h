#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "openrgb/protocol.h"
#include "sdk_service/appearance.h"

// How the SDK's picture lands on one OpenRGB device: keyboards take the per-key image on their
// key LEDs, found by LED name (positions differ between models, names do not), and the device
// colour on their other LEDs (logo, underglow); every other device takes the device colour on
// all its LEDs. Key LEDs of keys the key grid does not have (macro keys, media keys) keep the
// colour the device had.

namespace lumo::openrgb_lighting {

using lumo::openrgb::Color;
using lumo::openrgb::Controller;

// What tells a device apart from the others when the server's list changes: indices do not.
struct DeviceIdentity {
    std::int32_t type = 0;
    std::string name, vendor, serial, location;
    bool operator==(const DeviceIdentity&) const = default;
    auto operator<=>(const DeviceIdentity&) const = default;
};
DeviceIdentity identityOf(const Controller& controller);

struct DeviceMap {
    static constexpr int kDeviceColor = -1;
    static constexpr int kLeaveAlone = -2;
    // For each LED of the device: a key cell 0-125, kDeviceColor or kLeaveAlone.
    std::vector<int> ledTargets;
    // What the LEDs left alone show: the colours the device reported.
    std::vector<Color> baseColors;
    int keyLeds = 0;  // LEDs that show a key cell
};
DeviceMap mapDevice(const Controller& controller);

// The device's colours for one picture.
std::vector<Color> composeFrame(const DeviceMap& map, const lumo::sdk_service::Appearance& picture);

// The mode to drive LEDs one by one in: the one named "Direct", else the first whose colours
// are per LED; -1 when the device has none.
int directModeIndex(const Controller& controller);

}  // namespace lumo::openrgb_lighting
