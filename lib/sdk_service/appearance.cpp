#include "sdk_service/appearance.h"

#include <algorithm>

#include "lighting/keyboard_layout.h"

namespace lumo::sdk_service {
namespace {

Rgb scaled(Rgb color, double level) {
    return {static_cast<int>(color.red * level), static_cast<int>(color.green * level),
            static_cast<int>(color.blue * level)};
}

Rgb mixed(Rgb from, Rgb to, double level) {
    auto mix = [level](int a, int b) { return static_cast<int>(a + (b - a) * level); };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

// Where in its cycle an effect is: 0 at the start, towards 1 at the cycle's end.
double phase(const Effect& effect, long long now, int period) {
    if (period <= 0) return 0.0;
    const long long elapsed = now > effect.started ? now - effect.started : 0;
    return static_cast<double>(elapsed % period) / period;
}

// Up from dark to full and back down once per cycle.
double triangle(double phase) { return phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase; }

bool hasEnded(const Effect& effect, long long now) {
    return effect.duration > 0 && now - effect.started >= effect.duration;
}

// The colour an effect gives the cells it covers.
Rgb effectColor(const Effect& effect, long long now) {
    if (effect.kind == "flash") {
        if (effect.interval <= 0) return effect.color;
        return phase(effect, now, effect.interval) < 0.5 ? effect.color : Rgb{};
    }
    if (effect.color2) {
        // A single-key pulse runs between its two colours.
        constexpr int kKeyPulsePeriod = 1000;
        return mixed(effect.color, *effect.color2, triangle(phase(effect, now, kKeyPulsePeriod)));
    }
    if (effect.interval <= 0) return effect.color;
    return scaled(effect.color, triangle(phase(effect, now, effect.interval)));
}

}  // namespace

Appearance appearanceAt(const KeyboardState& state, long long now) {
    Appearance shown;
    shown.keys = state.keys;
    shown.device = state.device;
    if (!state.initialized) return Appearance{};
    for (const Effect& effect : state.effects) {
        if (effect.key || hasEnded(effect, now)) continue;
        shown.device = effectColor(effect, now);
        for (Rgb& cell : shown.keys) cell = effectColor(effect, now);
    }
    for (const Effect& effect : state.effects) {
        if (!effect.key || hasEnded(effect, now)) continue;
        if (const lumo::lighting::LayoutKey* key = lumo::lighting::keyWithScanCode(*effect.key))
            shown.keys[key->cell] = effectColor(effect, now);
    }
    return shown;
}

bool isAnimated(const KeyboardState& state, long long now) {
    return state.initialized && std::any_of(state.effects.begin(), state.effects.end(),
                                            [now](const Effect& effect) { return !hasEnded(effect, now); });
}

}  // namespace lumo::sdk_service
