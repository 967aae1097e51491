#pragma once

#include <optional>
#include <string>

#include "keyboard_state.h"

namespace lumo::view {

// One keyboard of the picture: the state file it comes from, titled with its program, and
// the last state read from it that was good (none yet: the view waits for the file).
struct Panel {
    std::string title;
    std::string file;
    std::optional<KeyboardState> state;
};

// The program a state file belongs to, from its name: "state-heroglow.json" is heroglow's;
// another name stands for itself without its extension.
std::string titleForStateFile(const std::string& file);

// Text of the state's target mask ("keys and other devices") and of its running effects.
std::string maskText(int mask);
std::string effectsText(const KeyboardState& state);

// "#rrggbb".
std::string hexColor(Rgb color);

}  // namespace lumo::view
