#pragma once

#include <optional>
#include <string_view>

#include "sdk_service/keyboard_state.h"

namespace lumo::view {

// The view draws the SDK service's keyboard state, as its state file carries it.
using sdk_service::Effect;
using sdk_service::kCells;
using sdk_service::KeyboardState;
using sdk_service::Rgb;

// The state in `text`, or nothing when it is not a complete state document (a half-written
// or foreign file): the view then keeps showing the last good one.
std::optional<KeyboardState> parseKeyboardState(std::string_view text);

}  // namespace lumo::view
