#pragma once

#include "lighting/key_bitmap.h"

namespace heroglow {

// The health and mana bars painted into a key bitmap. roundglow's health bar
// (cs_go_integration/health_bar.h) is a different one on purpose: the two programs are
// defined to fill their bars by different rules (here key n lights at n hundredths of the bar
// and the unfilled red dims with the low-health flash; there the share of the bar decides, in
// fixed red), so each keeps its own.

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
void paintHealthBar(lumo::lighting::KeyBitmap& bitmap, int health, BarLayout layout, bool smooth, int red);

// Mana 0-100 as blue keys over white ones, always stepped.
void paintManaBar(lumo::lighting::KeyBitmap& bitmap, int mana, BarLayout layout);

}  // namespace heroglow
