#pragma once

#include <array>

#include "lighting/option_values.h"

namespace heroglow {

// heroglow's user options, declared through the SDK's option service and read back once at
// start-up; the variables hold their defaults until then (and for good without an SDK).
void declareAndReadOptions();

using OptionColor = lumo::lighting::OptionColor;

namespace options {

extern OptionColor dire;      // "colors/dire"
extern OptionColor radiant;   // "colors/radiant"
extern OptionColor cooldown;  // "colors/cooldown"

extern bool showHealth;               // "misc/show_health"
extern bool smoothHealth;             // "misc/smooth_health"
extern bool alternativeHealthLayout;  // "misc/alternative_health_layout": F1-F12 only
extern bool flashHealth;              // "misc/flash_health"
extern double flashHealthPercent;     // "misc/flash_health_percent"
extern bool showMana;                 // "misc/show_mana"
extern bool alternativeManaLayout;    // "misc/alternative_mana_layout": 1-0 and after
// "keybinds/game_hotkeys": slot keys where the game's own hotkey file binds them, when it has
// one; the key options otherwise.
extern bool gameHotkeys;

// Every option back at its default and every slot's key position 0 until the options are
// read again (as before start-up).
void restoreDefaults();

}  // namespace options

// The key position of each slot, in slot order ability0-3 then slot0-5, resolved once from the
// key-input options so that posts need no look-ups; filled by declareAndReadOptions. A slot
// without an assignment has position 0.
extern std::array<int, 10> slotKeyPositions;

}  // namespace heroglow
