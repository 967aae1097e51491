#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "steam/keyvalues.h"

namespace roundglow {

// Counter-Strike 2 keeps key bindings in KeyValues files instead of bind lines: the game's
// defaults (<game>/game/csgo/cfg/user_keys_default.vcfg) and the player's differences from
// them (<Steam>/userdata/<account>/730/local/cfg/cs2_user_keys_0_slot0.vcfg), each a
// "config" block with a "bindings" block of "KEY" "COMMAND" entries.

// The key-cell table's name for a key as these files write it: any letter case ("space",
// "SPACE"), or an SDL scancode ("scancode26" is w). A key the table does not know keeps its
// own name, so it binds but lights nothing; nullopt for a scancode without a key name here.
std::optional<std::string> keyNameFromVcfg(std::string_view key);

// Applies the bindings of the defaults file, then those of the user file, to the binding
// table (either may be empty): only the table's commands, never an arrow key; within one file
// in the reader's (lowercased, sorted) key order. A key the user file names, "<unbound>"
// included, no longer carries the defaults file's command, which then keeps its key from the
// built-in defaults unless the user file gives it another.
void applyCs2Bindings(const lumo::util::KeyValues& defaults, const lumo::util::KeyValues& user);

// The 32-bit account id of a SteamID64 text ("76561198034276409" -> 74010681), nullopt for
// text that is not one.
std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64);

}  // namespace roundglow
