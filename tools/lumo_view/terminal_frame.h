#pragma once

#include <string>
#include <vector>

#include "panel.h"

namespace lumo::view {

enum class ColorMode { trueColor, palette256 };

// 24-bit colour when COLORTERM (its value given, or null) says "truecolor" or "24bit", else
// the 256-colour palette.
ColorMode colorModeFor(const char* colorterm);

// The nearest colour of the 256-colour palette's 6x6x6 cube and grey ramp (16 to 255).
int paletteIndex(Rgb color);
// The escape code that sets the background to `color`.
std::string backgroundCode(Rgb color, ColorMode mode);

// Columns one keyboard takes.
int panelWidth();

// One frame of every panel at wall-clock time `now`: each keyboard as 6 rows of 21 labelled
// cells with the device bar at its right, under its title, with the target mask and the
// running effects below. Panels stand side by side when `columns` has room for them all,
// else one above the other. A panel without a state says "waiting for <file>".
std::string terminalFrame(const std::vector<Panel>& panels, long long now, ColorMode mode, int columns);

}  // namespace lumo::view
