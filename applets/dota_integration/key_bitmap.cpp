#include "key_bitmap.h"

#include <algorithm>

std::array<unsigned char, lumo::sdk::kBitmapBytes> keyBitmap{};

void clearKeyBitmap() { keyBitmap.fill(0); }

void paintKey(int position, int red, int green, int blue) {
    if (position < 0 || position >= lumo::sdk::kBitmapKeys) {
        return;
    }
    const auto byte = [](int value) { return static_cast<unsigned char>(std::clamp(value, 0, 255)); };
    unsigned char* cell = keyBitmap.data() + 4 * position;
    cell[0] = byte(blue);
    cell[1] = byte(green);
    cell[2] = byte(red);
    cell[3] = 255;
}
