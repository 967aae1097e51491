#pragma once

#include <array>

#include "lighting/lumo_sdk.h"

// heroglow's one key bitmap, rebuilt for every post and sent to the SDK whole.
extern std::array<unsigned char, lumo::sdk::kBitmapBytes> keyBitmap;

// Every key dark and transparent (all bytes 0).
void clearKeyBitmap();

// Writes the key at `position` (row * 21 + column) as the given bytes with alpha 255.
// Channels are clamped to 0-255; a position outside the bitmap is ignored.
void paintKey(int position, int red, int green, int blue);
