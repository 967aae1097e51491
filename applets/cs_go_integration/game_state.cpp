#include "cs_go_integration/game_state.h"
#include "cs_go_integration/game_state_internal.h"

#include <algorithm>
#include <cfloat>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include <nlohmann/json.hpp>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/health_bar.h"
#include "cs_go_integration/key_bindings.h"
#include "gamestate/json_members.h"
#include "keybinds/user_files.h"
#include "lighting/color_levels.h"
#include "lighting/lumo_binding.h"
#include "lighting/lumo_sdk.h"

namespace roundglow {

using lumo::gamestate::findMember;
using lumo::gamestate::numberMember;
using lumo::gamestate::stringMember;
using lumo::lighting::OptionColor;
using lumo::lighting::paintCell;
using lumo::lighting::percentFromChannel;
using nlohmann::json;

KeptGameState kept;
lumo::lighting::KeyBitmap keyBitmap{};
std::chrono::milliseconds effectStopPause{200};

namespace {

constexpr OptionColor kDark{0, 0, 0};
constexpr OptionColor kWhite{255, 255, 255};
constexpr OptionColor kRed{255, 0, 0};
constexpr int kEnterKey = 0x1C;  // scan code

// Option colours are 32-bit integers; their low 8 bits are the channel.
OptionColor channelBytes(const OptionColor& color) {
    return {color.red & 0xFF, color.green & 0xFF, color.blue & 0xFF};
}

void paint(int cell, const OptionColor& color) {
    paintCell(keyBitmap, cell, color.red, color.green, color.blue);
}

void paintCommand(const std::string& command, const OptionColor& color) {
    if (const auto cell = cellOfCommand(command)) paint(*cell, color);
}

void setLighting(const OptionColor& color) {
    const OptionColor bytes = channelBytes(color);
    LumoLedSetLighting(percentFromChannel(bytes.red), percentFromChannel(bytes.green),
                       percentFromChannel(bytes.blue));
}

void pulse(const OptionColor& color, int interval) {
    const OptionColor bytes = channelBytes(color);
    LumoLedPulseLighting(percentFromChannel(bytes.red), percentFromChannel(bytes.green),
                         percentFromChannel(bytes.blue), 0, interval);
}

// Doubles beyond float's range would make the narrowing undefined; they saturate instead.
float singlePrecision(double value) {
    return static_cast<float>(std::clamp(value, -double{FLT_MAX}, double{FLT_MAX}));
}

void stopAllEffects() {
    LumoLedStopEffects();
    LumoLedStopEffectsOnKey(kEnterKey);
    kept.effect = Effect::none;
    std::this_thread::sleep_for(effectStopPause);
}

void pushGameKeys() {
    if (kept.effect != Effect::none) return;
    stopAllEffects();
    LumoLedSetTargetDevice(lumo::sdk::kDevicesWithoutPerKey);
    setLighting(kept.teamColor);
    LumoLedSetTargetDevice(lumo::sdk::kPerKeyDevices);
    LumoLedSetLightingFromBitmap(keyBitmap.data());
    LumoLedSetTargetDevice(lumo::sdk::kAllDevices);
    std::cout << "setting game keys" << std::endl;
}

void showChat() {
    if (!outranks(Effect::chatFlash, kept.effect) || !options::showChat) return;
    stopAllEffects();
    kept.effect = Effect::chatFlash;
    setLighting(options::chat);
    LumoLedFlashSingleKey(kEnterKey, 0, 0, 100, 0, 350);
    std::cout << "setting chat keys" << std::endl;
}

void showMenu() {
    if (kept.effect != Effect::none) stopAllEffects();
    setLighting(options::menu);
    std::cout << "setting menu keys" << std::endl;
}

void repaintGameKeys() {
    if (!kept.repaint) return;
    for (int cell = 0; cell < lumo::sdk::kBitmapKeys; ++cell) paint(cell, kDark);
    // The binding table is ordered by command name.
    for (const auto& [command, key] : bindingTable) {
        const auto cell = keyCellTable.find(key);
        if (cell != keyCellTable.end()) paint(cell->second, kept.teamColor);
    }
    kept.repaint = false;
}

void takeTeam(std::string_view team) {
    if (team == "T") {
        kept.teamColor = channelBytes(options::terrorist);
        if (!kept.sideIsT) kept.repaint = true;
        kept.sideIsT = true;
    } else {
        kept.teamColor = channelBytes(options::counterTerrorist);
        if (kept.sideIsT) kept.repaint = true;
        kept.sideIsT = false;
    }
    std::cout << "team is now" << team << std::endl;
    repaintGameKeys();
    kept.teamKnown = true;
}

void takeActivity(std::string_view activity) {
    if (activity == "textinput") {
        kept.activity = Activity::chatOpen;
        showChat();
    } else if (kept.effect == Effect::chatFlash) {
        stopAllEffects();
    }
    if (activity == "menu") {
        kept.activity = Activity::menu;
        showMenu();
    }
    if (activity == "playing") {
        kept.activity = Activity::playing;
        pushGameKeys();
    }
}

void drawHealthBar(double health) {
    if ((kept.activity == Activity::chatOpen && options::showChat) || kept.activity == Activity::menu ||
        kept.effect == Effect::healthPulse) {
        return;
    }
    const HealthBarLayout layout = options::alternativeHealthLayout ? kHealthOnFunctionKeys : kHealthOnTopRow;
    const auto colors = healthBarColors(singlePrecision(health), layout.count, options::smoothHealth);
    for (int i = 0; i < layout.count; ++i) paint(layout.first + i, colors[i]);
}

void takeHealth(double health) {
    const bool healthPulsing = kept.effect == Effect::healthPulse;
    const bool belowHealthPulse = outranks(Effect::healthPulse, kept.effect);
    if (kept.teamKnown) drawHealthBar(health);
    if (kept.activity != Activity::playing) return;
    if (options::flashHealth && health < options::flashHealthPercent && kept.teamKnown && !healthPulsing) {
        // The win pulse and the chat flash are replaced without a stop.
        if (belowHealthPulse) stopAllEffects();
        LumoLedPulseLighting(100, 0, 0, 0, 500);
        kept.effect = Effect::healthPulse;
    } else if (healthPulsing && health >= options::flashHealthPercent) {
        stopAllEffects();
    }
}

// The clip as a percentage of its maximum; nullopt for a weapon without clip data (a knife, a
// grenade, or a clip maximum of zero or less, which has no meaningful percentage).
std::optional<float> clipPercent(const json& weapon) {
    const auto clip = numberMember(weapon, "ammo_clip");
    const auto maximum = numberMember(weapon, "ammo_clip_max");
    if (!clip || !maximum) return std::nullopt;
    // Compared after the narrowing: a maximum too small for a float is zero there.
    const float clipMaximum = singlePrecision(*maximum);
    if (!(clipMaximum > 0.0f)) return std::nullopt;
    return singlePrecision(*clip) / clipMaximum * 100.0f;
}

const char* slotCommand(std::string_view type) {
    if (type == "Pistol") return "slot2";
    if (type == "Knife") return "slot3";
    if (type == "Grenade") return "slot4";
    if (type == "C4") return "slot5";
    return "slot1";
}

// Paints every weapon's slot key: in the team colour, or in the ammunition colour while its
// clip runs low (dark in the blink's other phase). Returns the active weapon, or null. The
// ammunition pulse stops when the weapon found active so far has no clip data.
const json* paintWeaponSlots(const json& weapons) {
    for (const char* slot : {"slot1", "slot2", "slot3", "slot4", "slot5"}) paintCommand(slot, kDark);

    const json* active = nullptr;
    for (int n = 0;; ++n) {
        const json* weapon = findMember(weapons, "weapon_" + std::to_string(n));
        if (weapon == nullptr || !weapon->is_object()) break;
        if (stringMember(*weapon, "state", "") == "active") active = weapon;
        const json* type = findMember(*weapon, "type");
        if (type == nullptr || !type->is_string()) continue;

        bool low = false;
        if (const auto percent = clipPercent(*weapon)) {
            low = *percent < options::flashAmmoPercent && !kept.blinkPhase;
        } else if (active != nullptr && *weapon == *active && kept.effect == Effect::ammoPulse) {
            stopAllEffects();
        }
        paintCommand(slotCommand(type->get_ref<const std::string&>()),
                     low ? channelBytes(options::ammo) : kept.teamColor);
    }
    return active;
}

// The low-ammunition warning for the active weapon while playing: the ammunition pulse, or
// with "flash only reload" a blinking reload key; stopped once the clip is no longer low.
// An effect that outranks the pulse is left running.
void warnOfLowAmmo(const json& active) {
    const auto percent = clipPercent(active);
    if (!percent) {
        if (kept.effect == Effect::ammoPulse) stopAllEffects();
        return;
    }
    if (kept.blinkPhase) paintCommand("+reload", kept.teamColor);
    if (outranks(kept.effect, Effect::ammoPulse) || kept.activity != Activity::playing) return;
    if (*percent >= options::flashAmmoPercent) {
        if (kept.effect == Effect::ammoPulse) stopAllEffects();
    } else if (!options::flashOnlyReload) {
        if (kept.effect == Effect::none) {
            pulse(options::ammo, 500);
            kept.effect = Effect::ammoPulse;
        }
    } else {
        if (kept.effect == Effect::ammoPulse) stopAllEffects();
        paintCommand("+reload", kept.blinkPhase ? channelBytes(options::ammo) : kDark);
    }
}

void takeWeapons(const json& weapons) {
    const json* active = paintWeaponSlots(weapons);
    if (active != nullptr && !active->empty()) warnOfLowAmmo(*active);
}

void takePlayer(const json& player) {
    const json* team = findMember(player, "team");
    const std::string_view side =
        team != nullptr && team->is_string() ? std::string_view(team->get_ref<const std::string&>()) : "";
    if (side == "T" || side == "CT") {
        takeTeam(side);
    } else {
        kept.teamKnown = false;
    }

    const json* activity = findMember(player, "activity");
    if (activity != nullptr && activity->is_string()) takeActivity(activity->get_ref<const std::string&>());

    const json* state = findMember(player, "state");
    if (state != nullptr && state->is_object() && options::showHealth) {
        if (const auto health = numberMember(*state, "health")) takeHealth(*health);
    }

    const json* weapons = findMember(player, "weapons");
    if (weapons != nullptr && weapons->is_object() && options::flashAmmo) {
        takeWeapons(*weapons);
    } else if (kept.effect == Effect::ammoPulse) {
        stopAllEffects();
    }
}

// Rows 1 to 5 of the last four columns, without the bottom-left one: 19 cells.
void paintBombBlock(const OptionColor& color) {
    for (int row = 1; row <= 5; ++row) {
        for (int column = 17; column <= 20; ++column) {
            if (row == 5 && column == 17) continue;
            paint(row * lumo::sdk::kBitmapColumns + column, color);
        }
    }
}

void takeRound(const json& round) {
    const json* bomb = findMember(round, "bomb");
    if (bomb != nullptr && bomb->is_string()) {
        if (bomb->get_ref<const std::string&>() == "planted") {
            paintBombBlock(kept.bombPhase ? kRed : kDark);
            if (kept.bombCounter < kept.bombPeriod) {
                ++kept.bombCounter;
            } else {
                kept.bombPhase = !kept.bombPhase;
                kept.bombCounter = 0;
            }
            kept.bombShown = true;
        }
    } else if (kept.bombShown) {
        paintBombBlock(kDark);
        kept.bombShown = false;
    }

    const json* winner = findMember(round, "win_team");
    if (winner != nullptr && winner->is_string()) {
        if (options::flashWinningTeam && outranks(Effect::winPulse, kept.effect)) {
            stopAllEffects();
            const std::string& side = winner->get_ref<const std::string&>();
            pulse(side == "T" ? options::terrorist : side == "CT" ? options::counterTerrorist : kWhite, 2000);
            kept.effect = Effect::winPulse;
        }
    } else if (kept.effect == Effect::winPulse) {
        stopAllEffects();
    }

    kept.blinkPhase = !kept.blinkPhase;
}

}  // namespace

void handleGameState(const char* text) {
    if (text == nullptr) {
        std::cout << "content null" << std::endl;
        return;
    }
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception&) {
        // Syntax errors, and numbers too large for a double.
        std::cout << "Bad JSON received";
        return;
    }
    if (!root.is_object()) {
        std::cout << "The root element is not an object";
        return;
    }
    // The player at the keyboard: their key bindings win on a shared computer.
    if (const json* provider = findMember(root, "provider")) {
        if (const auto account = lumo::keybinds::accountIdFromSteamId(stringMember(*provider, "steamid", "")))
            preferAccount(*account);
    }
    if (const json* player = findMember(root, "player")) takePlayer(*player);
    if (const json* round = findMember(root, "round")) takeRound(*round);
}

void resetKeptGameState() {
    kept = KeptGameState{};
    keyBitmap.fill(0);
}

}  // namespace roundglow
