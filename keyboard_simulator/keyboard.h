#pragma once

#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lighting/lumo_sdk.h"

namespace lumo::simulator {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A running effect. `key` is absent for whole-keyboard effects; `duration` 0 runs until
// stopped; `color2` and `repeat` belong to single-key pulses only.
struct Effect {
    std::string kind;  // "pulse" or "flash"
    std::optional<int> key;
    Rgb color;
    std::optional<Rgb> color2;
    int duration = 0;
    std::optional<int> interval;
    std::optional<bool> repeat;
    std::chrono::steady_clock::time_point started;
};

// The lighting of the simulated keyboard: what the device classes show and which effects run.
// Colours handed in are percentages 0-100; the per-key cells hold bytes 0-255. Every operation
// returns false without any change when an argument is out of range.
class Keyboard {
public:
    using Clock = std::chrono::steady_clock;

    bool setTargetDevice(int mask);
    // Devices without per-key lighting take the percentages; per-key devices every key.
    bool setLighting(Rgb percent);
    // Copies the bitmap into the cells when per-key devices are targeted (excluded keys keep
    // their colour); otherwise the bitmap is ignored and the call still succeeds.
    bool setLightingFromBitmap(const unsigned char* bitmap);
    // Keys (scan codes) that later bitmaps leave alone; each call replaces the earlier set.
    bool excludeKeysFromBitmap(const std::vector<int>& scanCodes);
    // False for a key the simulated keyboard does not have.
    bool setKeyLighting(std::optional<int> cell, Rgb percent);

    void saveLighting();
    bool restoreLighting();  // false when nothing was saved
    bool saveKeyLighting(int scanCode);
    bool restoreKeyLighting(int scanCode);  // false when that key was not saved

    // A whole-keyboard effect replaces the one running; a key effect replaces that key's.
    bool startKeyboardEffect(Effect effect, Clock::time_point now);
    bool startKeyEffect(Effect effect, Clock::time_point now);
    void stopEffects();
    bool stopEffectsOnKey(int key);
    // Forgets effects whose duration has run out.
    void expireEffects(Clock::time_point now);

    bool initialized() const { return initialized_; }
    void setInitialized(bool initialized) { initialized_ = initialized; }

    // The state document of the simulator (initialized, mask, device, keys, saved, effects).
    nlohmann::ordered_json toJson() const;

private:
    struct Lighting {
        Rgb device;
        std::array<Rgb, sdk::kBitmapKeys> keys{};
    };

    bool targetsDevicesWithoutPerKey() const { return (mask_ & sdk::kDevicesWithoutPerKey) != 0; }
    bool targetsPerKeyDevices() const { return (mask_ & sdk::kPerKeyDevices) != 0; }

    bool initialized_ = false;
    int mask_ = sdk::kAllDevices;
    Lighting current_;
    std::optional<Lighting> saved_;
    std::map<int, Rgb> savedKeys_;  // by cell
    std::set<int> excludedCells_;
    std::vector<Effect> effects_;
};

// Percentage to byte as the per-key cells take it: trunc(percent * 255 / 100).
int percentToByte(int percent);
bool isPercentColor(Rgb color);

}  // namespace lumo::simulator
