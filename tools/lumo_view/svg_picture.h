#pragma once

#include <string>
#include <vector>

#include "panel.h"

namespace lumo::view {

// The picture of terminalFrame as an SVG document, the panels one above the other: each key a
// rounded rectangle in its colour at wall-clock time `now`, labelled, with class "key" and its
// cell in "data-cell"; the device bar a rectangle of class "device".
std::string svgPicture(const std::vector<Panel>& panels, long long now);

}  // namespace lumo::view
