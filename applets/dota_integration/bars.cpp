#include "dota_integration/bars.h"

#include <algorithm>

#include "lighting/key_bitmap.h"

namespace heroglow {

using lumo::lighting::paintCell;

namespace {

// Single precision throughout: the float rounding of 100 / N decides which key lights at
// the boundary, and the bar must light the same keys wherever it runs.
bool stepFilled(int value, int keyCount, int n) {
    return static_cast<float>(value) >= (100.0f / static_cast<float>(keyCount)) * static_cast<float>(n);
}

void paintSmoothHealthBar(lumo::lighting::KeyBitmap& bitmap, int health, BarLayout layout, int red) {
    const float share = std::clamp(static_cast<float>(health) / 100.0f, 0.0f, 1.0f);
    const float fill = share * static_cast<float>(layout.count);
    const int whole = static_cast<int>(fill);
    for (int i = 0; i < layout.count; ++i) {
        const int position = layout.first + i;
        if (i < whole) {
            paintCell(bitmap, position, 0, 255, 0);
        } else if (i == whole) {
            const double fraction = std::clamp(static_cast<double>(fill) - i, 0.0, 1.0);
            paintCell(bitmap, position, std::min(static_cast<int>(red * (1.0 - fraction)), 255),
                      std::min(static_cast<int>(255.0 * fraction), 255), 0);
        } else {
            paintCell(bitmap, position, red, 0, 0);
        }
    }
}

}  // namespace

void paintHealthBar(lumo::lighting::KeyBitmap& bitmap, int health, BarLayout layout, bool smooth, int red) {
    if (smooth) {
        paintSmoothHealthBar(bitmap, health, layout, red);
        return;
    }
    for (int n = 1; n <= layout.count; ++n) {
        if (stepFilled(health, layout.count, n)) {
            paintCell(bitmap, layout.first + n - 1, 0, 255, 0);
        } else {
            paintCell(bitmap, layout.first + n - 1, red, 0, 0);
        }
    }
}

void paintManaBar(lumo::lighting::KeyBitmap& bitmap, int mana, BarLayout layout) {
    for (int n = 1; n <= layout.count; ++n) {
        if (stepFilled(mana, layout.count, n)) {
            paintCell(bitmap, layout.first + n - 1, 0, 0, 255);
        } else {
            paintCell(bitmap, layout.first + n - 1, 255, 255, 255);
        }
    }
}

}  // namespace heroglow
