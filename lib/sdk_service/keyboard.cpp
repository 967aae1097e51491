#include "sdk_service/keyboard.h"

#include <algorithm>

#include "lighting/color_levels.h"
#include "sdk_service/key_table.h"

namespace lumo::sdk_service {

namespace {

using Json = nlohmann::ordered_json;

Rgb bytesOf(Rgb percent) {
    using lighting::byteFromPercent;
    return {byteFromPercent(percent.red), byteFromPercent(percent.green), byteFromPercent(percent.blue)};
}

Json toJson(Rgb color) { return Json::array({color.red, color.green, color.blue}); }

Json keysToJson(const std::array<Rgb, sdk::kBitmapKeys>& keys) {
    Json cells = Json::array();
    for (const Rgb& cell : keys) cells.push_back(toJson(cell));
    return cells;
}

bool isTiming(int milliseconds) { return milliseconds >= 0; }

// Milliseconds since the Unix epoch at which an effect started, so that a reader in another
// process (the keyboard view) can tell the phase of a pulse or flash.
long long wallClockMilliseconds(Keyboard::Clock::time_point started) {
    using namespace std::chrono;
    const auto wall =
        system_clock::now() - duration_cast<system_clock::duration>(Keyboard::Clock::now() - started);
    return duration_cast<milliseconds>(wall.time_since_epoch()).count();
}

}  // namespace

bool isPercentColor(Rgb color) {
    auto inRange = [](int value) { return value >= 0 && value <= 100; };
    return inRange(color.red) && inRange(color.green) && inRange(color.blue);
}

bool Keyboard::setTargetDevice(int mask) {
    if (mask < 0 || mask > sdk::kAllDevices) return false;
    mask_ = mask;
    return true;
}

bool Keyboard::setLighting(Rgb percent) {
    if (!isPercentColor(percent)) return false;
    if (targetsDevicesWithoutPerKey()) current_.device = percent;
    if (targetsPerKeyDevices()) {
        current_.keys.fill(bytesOf(percent));
    }
    return true;
}

bool Keyboard::setLightingFromBitmap(const unsigned char* bitmap) {
    if (bitmap == nullptr) return false;
    if (!targetsPerKeyDevices()) return true;
    for (int cell = 0; cell < sdk::kBitmapKeys; ++cell) {
        if (excludedCells_.count(cell) != 0) continue;
        const unsigned char* pixel = bitmap + 4 * cell;  // blue, green, red, alpha
        current_.keys[cell] = pixel[3] == 0 ? Rgb{} : Rgb{pixel[2], pixel[1], pixel[0]};
    }
    return true;
}

bool Keyboard::excludeKeysFromBitmap(const std::vector<int>& scanCodes) {
    excludedCells_.clear();
    for (int scanCode : scanCodes)
        if (std::optional<int> cell = cellOfScanCode(scanCode)) excludedCells_.insert(*cell);
    return true;
}

bool Keyboard::setKeyLighting(std::optional<int> cell, Rgb percent) {
    if (!cell || !isPercentColor(percent)) return false;
    if (targetsPerKeyDevices()) current_.keys[*cell] = bytesOf(percent);
    return true;
}

void Keyboard::saveLighting() { saved_ = current_; }

bool Keyboard::restoreLighting() {
    if (!saved_) return false;
    current_ = *saved_;
    return true;
}

bool Keyboard::saveKeyLighting(int scanCode) {
    std::optional<int> cell = cellOfScanCode(scanCode);
    if (!cell) return false;
    savedKeys_[*cell] = current_.keys[*cell];
    return true;
}

bool Keyboard::restoreKeyLighting(int scanCode) {
    std::optional<int> cell = cellOfScanCode(scanCode);
    if (!cell) return false;
    auto saved = savedKeys_.find(*cell);
    if (saved == savedKeys_.end()) return false;
    current_.keys[*cell] = saved->second;
    return true;
}

bool Keyboard::startKeyboardEffect(RunningEffect effect, Clock::time_point now) {
    if (!isPercentColor(effect.color) || !isTiming(effect.duration) || !isTiming(effect.interval.value_or(0)))
        return false;
    std::erase_if(effects_, [](const RunningEffect& running) { return !running.key; });
    effect.key.reset();
    effect.started = now;
    effects_.push_back(std::move(effect));
    return true;
}

bool Keyboard::startKeyEffect(RunningEffect effect, Clock::time_point now) {
    if (!effect.key || *effect.key <= 0 || !isPercentColor(effect.color) ||
        (effect.color2 && !isPercentColor(*effect.color2)) || !isTiming(effect.duration) ||
        !isTiming(effect.interval.value_or(0)))
        return false;
    stopEffectsOnKey(*effect.key);
    effect.started = now;
    effects_.push_back(std::move(effect));
    return true;
}

void Keyboard::stopEffects() { effects_.clear(); }

bool Keyboard::stopEffectsOnKey(int key) {
    if (key <= 0) return false;
    std::erase_if(effects_, [key](const RunningEffect& running) { return running.key == key; });
    return true;
}

void Keyboard::expireEffects(Clock::time_point now) {
    std::erase_if(effects_, [now](const RunningEffect& running) {
        return running.duration > 0 && now - running.started >= std::chrono::milliseconds(running.duration);
    });
}

nlohmann::ordered_json Keyboard::toJson() const {
    Json state;
    state["initialized"] = initialized_;
    state["mask"] = mask_;
    state["device"] = sdk_service::toJson(current_.device);
    state["keys"] = keysToJson(current_.keys);
    if (saved_)
        state["saved"] =
            Json{{"device", sdk_service::toJson(saved_->device)}, {"keys", keysToJson(saved_->keys)}};
    else
        state["saved"] = nullptr;
    Json effects = Json::array();
    for (const RunningEffect& effect : effects_) {
        Json entry;
        entry["kind"] = effect.kind;
        if (effect.key) entry["key"] = *effect.key;
        entry["color"] = sdk_service::toJson(effect.color);
        if (effect.color2) entry["color2"] = sdk_service::toJson(*effect.color2);
        entry["duration"] = effect.duration;
        if (effect.interval) entry["interval"] = *effect.interval;
        if (effect.repeat) entry["repeat"] = *effect.repeat;
        entry["started"] = wallClockMilliseconds(effect.started);
        effects.push_back(std::move(entry));
    }
    state["effects"] = std::move(effects);
    return state;
}

KeyboardState Keyboard::snapshot() const {
    KeyboardState state;
    state.initialized = initialized_;
    state.mask = mask_;
    state.device = bytesOf(current_.device);
    state.keys = current_.keys;
    for (const RunningEffect& running : effects_) {
        Effect effect;
        effect.kind = running.kind;
        effect.key = running.key;
        effect.color = bytesOf(running.color);
        if (running.color2) effect.color2 = bytesOf(*running.color2);
        effect.duration = running.duration;
        effect.interval = running.interval.value_or(0);
        effect.repeat = running.repeat;
        effect.started = wallClockMilliseconds(running.started);
        state.effects.push_back(std::move(effect));
    }
    return state;
}

}  // namespace lumo::sdk_service
