#pragma once

#include <array>

#include "lighting/lumo_sdk.h"

namespace lumo::lighting {

// The per-key colour image that LumoLedSetLightingFromBitmap takes: 126 cells (row * 21 +
// column, from the function-key row down), 4 bytes each in the order blue, green, red, alpha.
// Each program owns one as a process-wide variable.
using KeyBitmap = std::array<unsigned char, sdk::kBitmapBytes>;

// Writes cell `cell` as the given channels (each clamped to 0-255) with alpha 255. A cell
// outside 0-125 is ignored, so a key without a place on the grid paints nothing.
void paintCell(KeyBitmap& bitmap, int cell, int red, int green, int blue);

}  // namespace lumo::lighting
