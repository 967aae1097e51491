#pragma once

#include <optional>
#include <string_view>

namespace lumo::keybinds {

// The cell (row * 21 + column of the key bitmap) of a key as Valve's games name it in their
// binding files: the engine's names in any letter case ("q", "SPACE", "KP_END"), the keypad
// in both spellings the games write (Counter-Strike's "KP_END", Dota 2's "KP_1"), and SDL
// scancodes ("scancode26", the USB usage of the key's position). nullopt for keys without a
// cell: mouse buttons, the wheel, gamepad buttons, keys a full-size US keyboard lacks.
std::optional<int> cellOfKeyName(std::string_view name);

}  // namespace lumo::keybinds
