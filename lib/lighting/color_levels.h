#pragma once

namespace lumo::lighting {

// Conversions between option colour channels (0-255) and the SDK's lighting percentages
// (0-100). Both truncate and work in single precision, so 25 becomes 9 and 9 becomes 22.
// Inputs outside their range are clamped first.

int percentFromChannel(int channel);
int byteFromPercent(int percent);

}  // namespace lumo::lighting
