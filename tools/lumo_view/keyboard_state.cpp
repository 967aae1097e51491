#include "keyboard_state.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "lighting/color_levels.h"

namespace lumo::view {
namespace {

using Json = nlohmann::json;

int channel(const Json& value, int limit) {
    if (!value.is_number_integer()) throw std::invalid_argument("colour channel");
    return std::clamp(value.get<int>(), 0, limit);
}

Rgb rgbOf(const Json& triple, int limit) {
    if (!triple.is_array() || triple.size() != 3) throw std::invalid_argument("colour");
    return {channel(triple[0], limit), channel(triple[1], limit), channel(triple[2], limit)};
}

Rgb percentColor(const Json& triple) {
    const Rgb percent = rgbOf(triple, 100);
    using lighting::byteFromPercent;
    return {byteFromPercent(percent.red), byteFromPercent(percent.green), byteFromPercent(percent.blue)};
}

Effect effectOf(const Json& entry) {
    Effect effect;
    effect.kind = entry.at("kind").get<std::string>();
    if (entry.contains("key")) effect.key = entry["key"].get<int>();
    effect.color = percentColor(entry.at("color"));
    if (entry.contains("color2")) effect.color2 = percentColor(entry["color2"]);
    effect.duration = entry.value("duration", 0);
    effect.interval = entry.value("interval", 0);
    if (entry.contains("repeat")) effect.repeat = entry["repeat"].get<bool>();
    // Kept to the years a clock can show, so that no later arithmetic overflows.
    constexpr long long kLatest = 1LL << 50;
    effect.started = std::clamp(entry.value("started", 0LL), 0LL, kLatest);
    return effect;
}

}  // namespace

std::optional<KeyboardState> parseKeyboardState(std::string_view text) {
    try {
        const Json document = Json::parse(text);
        KeyboardState state;
        state.initialized = document.at("initialized").get<bool>();
        state.mask = document.at("mask").get<int>();
        state.device = percentColor(document.at("device"));
        const Json& keys = document.at("keys");
        if (!keys.is_array() || keys.size() != kCells) return std::nullopt;
        for (int cell = 0; cell < kCells; ++cell) state.keys[cell] = rgbOf(keys[cell], 255);
        for (const Json& entry : document.value("effects", Json::array()))
            state.effects.push_back(effectOf(entry));
        return state;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace lumo::view
