#pragma once

#include <vector>

#include "lighting/option_values.h"

namespace roundglow {

// The health bar on the top key row: which colour each of its cells gets. heroglow's bar
// (dota_integration/bars.h) is a different one on purpose: the two programs are defined to
// fill their bars by different rules, so each keeps its own.

struct HealthBarLayout {
    int first;  // cell of the bar's first key
    int count;  // keys in the bar
};

inline constexpr HealthBarLayout kHealthOnTopRow{0, 16};
inline constexpr HealthBarLayout kHealthOnFunctionKeys{1, 12};  // F1 to F12

// `count` colours from the bar's left end: green up to the health reached, red after it. The
// cell where health ends is red, or with `smooth` a blend of green and red by how far into
// the cell health reaches. Health is a percentage in single precision, clamped to 0-100.
std::vector<lumo::lighting::OptionColor> healthBarColors(float health, int count, bool smooth);

}  // namespace roundglow
