#include "lighting/color_levels.h"

#include <algorithm>

// Single precision on purpose: the rounding of float arithmetic decides the edge values
// (50 / 255 * 100 is 19.6, 9 / 100 * 255 is 22.95) and users see the same levels on
// every build.

namespace lumo::lighting {

int percentFromChannel(int channel) {
    const float value = static_cast<float>(std::clamp(channel, 0, 255));
    return static_cast<int>(value / 255.0f * 100.0f);
}

int byteFromPercent(int percent) {
    const float value = static_cast<float>(std::clamp(percent, 0, 100));
    return static_cast<int>(value / 100.0f * 255.0f);
}

}  // namespace lumo::lighting
