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
#include "sdk_service/keyboard_state.h"

namespace lumo::sdk_service {

// An effect as the keyboard runs it, as the SDK call gave it: colours in percent, times in
// milliseconds. `key` (a scan code) is absent for whole-keyboard effects; `duration` 0 runs
// until stopped; `color2` and `repeat` belong to single-key pulses only.
struct RunningEffect {
    std::string kind;  // "pulse" or "flash"
    std::optional<int> key;
    Rgb color;
    std::optional<Rgb> color2;
    int duration = 0;
    std::optional<int> interval;
    std::optional<bool> repeat;
    std::chrono::steady_clock::time_point started;
};

// The lighting the SDK describes, of a keyboard with the full-size key grid plus devices that
// take a single colour: what the device classes show and which effects run. Colours handed in
// are percentages 0-100; the per-key cells hold bytes 0-255. Every operation returns false
// without any change when an argument is out of range.
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
    // False for a key the keyboard does not have (no cell).
    bool setKeyLighting(std::optional<int> cell, Rgb percent);

    void saveLighting();
    bool restoreLighting();  // false when nothing was saved
    bool saveKeyLighting(int scanCode);
    bool restoreKeyLighting(int scanCode);  // false when that key was not saved

    // A whole-keyboard effect replaces the one running; a key effect replaces that key's.
    bool startKeyboardEffect(RunningEffect effect, Clock::time_point now);
    bool startKeyEffect(RunningEffect effect, Clock::time_point now);
    void stopEffects();
    bool stopEffectsOnKey(int key);
    // Forgets effects whose duration has run out.
    void expireEffects(Clock::time_point now);

    bool initialized() const { return initialized_; }
    void setInitialized(bool initialized) { initialized_ = initialized; }

    // The state file's document (initialized, mask, device, keys, saved, effects): colours as
    // held (the device in percent, the cells in bytes), effect starts in wall-clock
    // milliseconds since the Unix epoch.
    nlohmann::ordered_json toJson() const;
    // The values of toJson but the saved lighting, in the units of KeyboardState: the device
    // and the effects' colours as bytes (lighting::byteFromPercent), effect starts as toJson
    // computes them; an effect without an interval has 0. appearanceAt(snapshot(), now) is what
    // lumo-view draws from the state file at `now`.
    KeyboardState snapshot() const;

private:
    struct Lighting {
        Rgb device;                                // percent
        std::array<Rgb, sdk::kBitmapKeys> keys{};  // bytes
    };

    bool targetsDevicesWithoutPerKey() const { return (mask_ & sdk::kDevicesWithoutPerKey) != 0; }
    bool targetsPerKeyDevices() const { return (mask_ & sdk::kPerKeyDevices) != 0; }

    bool initialized_ = false;
    int mask_ = sdk::kAllDevices;
    Lighting current_;
    std::optional<Lighting> saved_;
    std::map<int, Rgb> savedKeys_;  // bytes, by cell
    std::set<int> excludedCells_;
    std::vector<RunningEffect> effects_;
};

// Whether every channel is a percentage 0-100.
bool isPercentColor(Rgb color);

}  // namespace lumo::sdk_service
