#pragma once

#include "openrgb/protocol.h"

// Devices as an OpenRGB server describes them, with every field of every version filled in
// (a parse at an older version leaves the newer ones at their defaults).

namespace lumo::openrgb::test {

// A full-size US keyboard: 104 keys named "Key: Escape"... in one 6 x 21 matrix zone, a
// one-LED logo zone, and the modes Direct (per-LED), Static and Breathing.
Controller sampleKeyboard();
// A mouse: wheel and logo zones, a linear side strip in two segments.
Controller sampleMouse();

// `controller` as a parse at `version` gives it back: the fields newer versions added cleared.
Controller asSeenAt(Controller controller, std::uint32_t version);

}  // namespace lumo::openrgb::test
