#include "cs_go_integration/cs_options.h"

namespace roundglow {

namespace options {

OptionColor terrorist;
OptionColor counterTerrorist;
bool flashWinningTeam;
OptionColor menu;
OptionColor chat;
bool showChat;
OptionColor ammo;
bool showHealth;
bool flashHealth;
double flashHealthPercent;
bool smoothHealth;
bool alternativeHealthLayout;
bool flashAmmo;
double flashAmmoPercent;
bool flashOnlyReload;

}  // namespace options

namespace {

using lumo::lighting::Option;
using lumo::lighting::OptionColor;
using lumo::lighting::OptionSetting;

// The poll order and the label order, with each option's default.
const Option kOptions[] = {
    {L"colors", L"Colors"},
    {L"colors/terrorist", L"Terrorist", OptionSetting<OptionColor>{&options::terrorist, {163, 86, 0}}},
    {L"colors/counterTerrorist", L"Counter-Terrorist",
     OptionSetting<OptionColor>{&options::counterTerrorist, {0, 0, 255}}},
    {L"colors/flash_winning_team", L"Flash winning team color",
     OptionSetting<bool>{&options::flashWinningTeam, true}},
    {L"colors/menu", L"Menu", OptionSetting<OptionColor>{&options::menu, {255, 255, 255}}},
    {L"colors/chat", L"Chat", OptionSetting<OptionColor>{&options::chat, {255, 255, 255}}},
    {L"colors/show_chat", L"Show chat color", OptionSetting<bool>{&options::showChat, true}},
    {L"colors/ammo", L"Ammo", OptionSetting<OptionColor>{&options::ammo, {255, 255, 255}}},
    {L"misc", L"Miscellaneous"},
    {L"misc/show_health", L"Show health", OptionSetting<bool>{&options::showHealth, true}},
    {L"misc/flash_health", L"Flash health", OptionSetting<bool>{&options::flashHealth, true}},
    {L"misc/flash_health_percent", L"Flash health %",
     OptionSetting<double>{&options::flashHealthPercent, 30.0}},
    {L"misc/smooth_health", L"Smooth health keys", OptionSetting<bool>{&options::smoothHealth, false}},
    {L"misc/alternative_health_layout", L"Show Health on F-keys",
     OptionSetting<bool>{&options::alternativeHealthLayout, false}},
    {L"misc/flash_ammo", L"Flash ammo", OptionSetting<bool>{&options::flashAmmo, true}},
    {L"misc/flash_ammo_percent", L"Flash ammo %", OptionSetting<double>{&options::flashAmmoPercent, 20.0}},
    {L"misc/flash_only_reload", L"Flash only reload key",
     OptionSetting<bool>{&options::flashOnlyReload, false}},
};

// The defaults hold from program start, before anything reads an option.
[[maybe_unused]] const bool kDefaultsInPlace = (lumo::lighting::restoreOptionDefaults(kOptions), true);

}  // namespace

void options::restoreDefaults() { lumo::lighting::restoreOptionDefaults(kOptions); }

bool pollOptions() { return lumo::lighting::readOptions(kOptions, /*stopAtChange=*/true); }

void registerOptions() {
    pollOptions();
    lumo::lighting::setOptionLabels(kOptions);
}

}  // namespace roundglow
