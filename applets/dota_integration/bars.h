#pragma once

namespace heroglow {

// The health and mana bars painted into the key bitmap.

// A run of keys: the first key's position and the number of keys.
struct BarLayout {
    int first;
    int count;
};

inline constexpr BarLayout kHealthOnTopRow{0, 16};        // the key left of F1 to three past F12
inline constexpr BarLayout kHealthOnFunctionKeys{1, 12};  // F1-F12
inline constexpr BarLayout kManaOnNumberRow{21, 17};      // "`" to six past "0"
inline constexpr BarLayout kManaOnDigits{22, 13};         // "1" to three past "0"

// Health 0-100 as green keys over red ones. Stepped: key n (1-based) is green once health
// reaches n hundredths of the bar. Smooth: the key at the boundary blends green into red.
// `red` is the red level of the unfilled part (255, or the flash brightness).
void paintHealthBar(int health, BarLayout layout, bool smooth, int red);

// Mana 0-100 as blue keys over white ones, always stepped.
void paintManaBar(int mana, BarLayout layout);

}  // namespace heroglow
