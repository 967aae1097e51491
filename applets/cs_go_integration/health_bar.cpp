#include "cs_go_integration/health_bar.h"

#include <algorithm>

namespace roundglow {

using lumo::lighting::OptionColor;

std::vector<OptionColor> healthBarColors(float health, int count, bool smooth) {
    constexpr OptionColor kGreen{0, 255, 0};
    constexpr OptionColor kRed{255, 0, 0};
    const float fraction = std::clamp(health / 100.0f, 0.0f, 1.0f);
    const double reached = static_cast<double>(fraction) * count;
    const int lit = static_cast<int>(reached);

    std::vector<OptionColor> colors(static_cast<std::size_t>(std::max(count, 0)), kRed);
    for (int i = 0; i < count; ++i) {
        if (i < lit) {
            colors[i] = kGreen;
        } else if (i == lit && smooth) {
            const double t = std::clamp(reached - i, 0.0, 1.0);
            const auto blend = [t](int green, int red) {
                return std::min(255, static_cast<int>(green * t + red * (1.0 - t)));
            };
            colors[i] = {blend(kGreen.red, kRed.red), blend(kGreen.green, kRed.green),
                         blend(kGreen.blue, kRed.blue)};
        }
    }
    return colors;
}

}  // namespace roundglow
