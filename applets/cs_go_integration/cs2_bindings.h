#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "steam/keyvalues.h"

namespace roundglow {

// Counter-Strike 2 keeps key bindings in KeyValues files instead of bind lines: the game's
// defaults (<game>/game/csgo/cfg/user_keys_default.vcfg) and the player's differences from
// them (<Steam>/userdata/<account>/730/local/cfg/cs2_user_keys_0_slot0.vcfg), each a
// "config" block with a "bindings" block of "KEY" "COMMAND" entries (and an
// "analogbindings" block of sticks and mouse axes, which carries no command lit here).

// The name under which `keyCells` (key name -> cell) holds the key a CS2 file names: any
// letter case ("space" -> "SPACE"), any keypad spelling, or an SDL scancode ("scancode26" ->
// "w"); nullopt for a key without a cell there (mouse, wheel, gamepad, arrows, F-keys).
std::optional<std::string> tableKeyName(std::string_view key, const std::map<std::string, int>& keyCells);

// Sets each command of `bindings` (command -> key name) from the two files, either of which
// may be empty. The effective bindings are the defaults file's entries with each key the
// player's file names (as "<unbound>" too) taken over by it; "+sprint" is the walk command
// the table calls "+speed". A command goes to the key with a cell in `keyCells` that carries
// it, the player's file before the defaults file and a later line before an earlier one;
// keys without a cell count only when no key with one carries the command, and then the
// command keeps such a key's name and lights nothing. A command no key carries gets "" (no
// key). Without a defaults file the commands' keys in `bindings` on entry stand in for it.
void applyCs2Bindings(const lumo::util::KeyValues& defaults, const lumo::util::KeyValues& user,
                      const std::map<std::string, int>& keyCells,
                      std::map<std::string, std::string>& bindings);

}  // namespace roundglow
