#pragma once

#include "lighting/option_values.h"

namespace roundglow {

// roundglow's fifteen user options, kept in the SDK's option service. Each variable holds its
// default from program start until the first poll, and for good without an SDK.

namespace options {

using lumo::lighting::OptionColor;

extern OptionColor terrorist;         // "colors/terrorist"
extern OptionColor counterTerrorist;  // "colors/counterTerrorist"
extern bool flashWinningTeam;         // "colors/flash_winning_team"
extern OptionColor menu;              // "colors/menu"
extern OptionColor chat;              // "colors/chat"
extern bool showChat;                 // "colors/show_chat"
extern OptionColor ammo;              // "colors/ammo"
extern bool showHealth;               // "misc/show_health"
extern bool flashHealth;              // "misc/flash_health"
extern double flashHealthPercent;     // "misc/flash_health_percent"
extern bool smoothHealth;             // "misc/smooth_health"
extern bool alternativeHealthLayout;  // "misc/alternative_health_layout": F1-F12 only
extern bool flashAmmo;                // "misc/flash_ammo"
extern double flashAmmoPercent;       // "misc/flash_ammo_percent"
extern bool flashOnlyReload;          // "misc/flash_only_reload"

// Every option back at its default (as at process start).
void restoreDefaults();

}  // namespace options

// Reads the options in table order and stops at the first one whose value changed: the
// options after it keep their old values until a later poll. True when one changed.
bool pollOptions();

// Start-up: one poll (which declares every option with its default), then the labels of the
// two groups and fifteen options.
void registerOptions();

}  // namespace roundglow
