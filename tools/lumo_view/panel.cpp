#include "panel.h"

#include <cstdio>
#include <filesystem>

#include "lighting/keyboard_layout.h"

namespace lumo::view {

std::string titleForStateFile(const std::string& file) {
    std::string stem = std::filesystem::path(file).stem().string();
    constexpr std::string_view kPrefix = "state-";
    if (stem.starts_with(kPrefix) && stem.size() > kPrefix.size()) stem.erase(0, kPrefix.size());
    return stem;
}

std::string maskText(int mask) {
    const bool keys = (mask & 4) != 0;
    const bool others = (mask & 3) != 0;
    if (keys && others) return "keys and other devices";
    if (keys) return "keys only";
    if (others) return "other devices only";
    return "nothing";
}

std::string hexColor(Rgb color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color.red & 0xff, color.green & 0xff,
                  color.blue & 0xff);
    return text;
}

std::string effectsText(const KeyboardState& state) {
    if (state.effects.empty()) return "none";
    std::string text;
    for (const Effect& effect : state.effects) {
        if (!text.empty()) text += "; ";
        text += effect.kind;
        if (effect.key) {
            const lumo::lighting::LayoutKey* key = lumo::lighting::keyWithScanCode(*effect.key);
            text += " ";
            text += key != nullptr ? key->label : "key " + std::to_string(*effect.key);
        }
        text += " " + hexColor(effect.color);
        if (effect.color2) text += "-" + hexColor(*effect.color2);
        if (effect.interval > 0) text += " every " + std::to_string(effect.interval) + " ms";
        if (effect.duration > 0) text += " for " + std::to_string(effect.duration) + " ms";
    }
    return text;
}

}  // namespace lumo::view
