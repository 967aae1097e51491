#include "cs_go_integration/cs_options.h"

#include <variant>

namespace roundglow {

namespace options {

OptionColor terrorist{163, 86, 0};
OptionColor counterTerrorist{0, 0, 255};
bool flashWinningTeam = true;
OptionColor menu{255, 255, 255};
OptionColor chat{255, 255, 255};
bool showChat = true;
OptionColor ammo{255, 255, 255};
bool showHealth = true;
bool flashHealth = true;
double flashHealthPercent = 30.0;
bool smoothHealth = false;
bool alternativeHealthLayout = false;
bool flashAmmo = true;
double flashAmmoPercent = 20.0;
bool flashOnlyReload = false;

void restoreDefaults() {
    terrorist = {163, 86, 0};
    counterTerrorist = {0, 0, 255};
    flashWinningTeam = true;
    menu = {255, 255, 255};
    chat = {255, 255, 255};
    showChat = true;
    ammo = {255, 255, 255};
    showHealth = true;
    flashHealth = true;
    flashHealthPercent = 30.0;
    smoothHealth = false;
    alternativeHealthLayout = false;
    flashAmmo = true;
    flashAmmoPercent = 20.0;
    flashOnlyReload = false;
}

}  // namespace options

namespace {

using lumo::lighting::OptionColor;
using lumo::lighting::OptionLabel;

struct Option {
    const wchar_t* path;
    std::variant<OptionColor*, bool*, double*> value;
};

// The poll order.
const Option kOptions[] = {
    {L"colors/terrorist", &options::terrorist},
    {L"colors/counterTerrorist", &options::counterTerrorist},
    {L"colors/flash_winning_team", &options::flashWinningTeam},
    {L"colors/menu", &options::menu},
    {L"colors/chat", &options::chat},
    {L"colors/show_chat", &options::showChat},
    {L"colors/ammo", &options::ammo},
    {L"misc/show_health", &options::showHealth},
    {L"misc/flash_health", &options::flashHealth},
    {L"misc/flash_health_percent", &options::flashHealthPercent},
    {L"misc/smooth_health", &options::smoothHealth},
    {L"misc/alternative_health_layout", &options::alternativeHealthLayout},
    {L"misc/flash_ammo", &options::flashAmmo},
    {L"misc/flash_ammo_percent", &options::flashAmmoPercent},
    {L"misc/flash_only_reload", &options::flashOnlyReload},
};

constexpr OptionLabel kLabels[] = {
    {L"colors", L"Colors"},
    {L"colors/terrorist", L"Terrorist"},
    {L"colors/counterTerrorist", L"Counter-Terrorist"},
    {L"colors/flash_winning_team", L"Flash winning team color"},
    {L"colors/menu", L"Menu"},
    {L"colors/chat", L"Chat"},
    {L"colors/show_chat", L"Show chat color"},
    {L"colors/ammo", L"Ammo"},
    {L"misc", L"Miscellaneous"},
    {L"misc/show_health", L"Show health"},
    {L"misc/flash_health", L"Flash health"},
    {L"misc/flash_health_percent", L"Flash health %"},
    {L"misc/smooth_health", L"Smooth health keys"},
    {L"misc/alternative_health_layout", L"Show Health on F-keys"},
    {L"misc/flash_ammo", L"Flash ammo"},
    {L"misc/flash_ammo_percent", L"Flash ammo %"},
    {L"misc/flash_only_reload", L"Flash only reload key"},
};

}  // namespace

bool pollOptions() {
    for (const Option& option : kOptions) {
        const bool changed = std::visit(
            [&](auto* value) { return lumo::lighting::readOption(option.path, *value); }, option.value);
        if (changed) return true;
    }
    return false;
}

void registerOptions() {
    pollOptions();
    lumo::lighting::setOptionLabels(kLabels);
}

}  // namespace roundglow
