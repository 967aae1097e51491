#include "lighting/key_bitmap.h"

#include <algorithm>

namespace lumo::lighting {

void paintCell(KeyBitmap& bitmap, int cell, int red, int green, int blue) {
    if (cell < 0 || cell >= sdk::kBitmapKeys) return;
    const auto byte = [](int value) { return static_cast<unsigned char>(std::clamp(value, 0, 255)); };
    unsigned char* bytes = bitmap.data() + 4 * cell;
    bytes[0] = byte(blue);
    bytes[1] = byte(green);
    bytes[2] = byte(red);
    bytes[3] = 255;
}

}  // namespace lumo::lighting
