#include "dota_integration/game_state.h"

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "dota_integration/bars.h"
#include "lighting/color_levels.h"
#include "dota_integration/dota_hotkeys.h"
#include "dota_integration/dota_options.h"
#include "gamestate/json_members.h"
#include "lighting/key_bitmap.h"
#include "lighting/lumo_binding.h"
#include "lighting/lumo_sdk.h"
#include "dota_integration/slot_keys.h"
#include "text/utf.h"

namespace heroglow {

using lumo::gamestate::boolMember;
using lumo::gamestate::findMember;
using lumo::gamestate::intMember;
using lumo::gamestate::stringMember;
using lumo::lighting::paintCell;
using lumo::lighting::percentFromChannel;

KeptGameState keptGameState;

void resetKeptGameState() { keptGameState = KeptGameState{}; }

lumo::lighting::KeyBitmap keyBitmap{};

namespace {

// Flashing posts in which health does not rise before the flash gives up.
constexpr int kFlashPostLimit = 20;
constexpr int kFullBrightness = 255;

struct TeamPercentages {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// The one place where a post's text can fail: conversion or JSON syntax.
std::optional<nlohmann::json> parsePost(const wchar_t* text) {
    try {
        return nlohmann::json::parse(lumo::util::toUtf8(std::wstring(text)));
    } catch (const std::exception&) {
        std::cout << "Bad JSON received";
        return std::nullopt;
    }
}

TeamPercentages teamColor(const nlohmann::json& root) {
    const nlohmann::json* player = findMember(root, "player");
    if (player == nullptr) {
        return {};
    }
    const std::string_view team = stringMember(*player, "team_name", "");
    const OptionColor* color = team == "radiant" ? &options::radiant
                               : team == "dire"  ? &options::dire
                                                 : nullptr;
    if (color == nullptr) {
        return {};
    }
    return {percentFromChannel(color->red), percentFromChannel(color->green),
            percentFromChannel(color->blue)};
}

// Decides whether this post flashes the unfilled health red; updates the flash counters.
bool flashRule(int health) {
    KeptGameState& kept = keptGameState;
    const bool atOrBelowThreshold = options::flashHealthPercent >= static_cast<double>(health);
    bool flash = atOrBelowThreshold && options::flashHealth;
    if (kept.flashPostCount >= kFlashPostLimit) {
        kept.flashStopped = true;
    } else if (flash && health <= kept.previousHealth) {
        ++kept.flashPostCount;
    }
    // Fresh damage while low always restarts the warning.
    if (atOrBelowThreshold && health < kept.previousHealth) {
        kept.flashStopped = false;
    }
    if (kept.flashStopped) {
        flash = false;
    }
    if (!flash) {
        kept.flashPostCount = 0;
    }
    return flash;
}

void sendLighting(bool mapPresent, bool flash, int brightness, TeamPercentages team) {
    if (!mapPresent) {
        showIdleColor();
        return;
    }
    if (!keptGameState.previousHadMap) {
        LumoLedSetLighting(0, 0, 0);
    }
    LumoLedSetTargetDevice(lumo::sdk::kDevicesWithoutPerKey);
    if (flash) {
        if (brightness == kFullBrightness) {
            LumoLedSetLighting(100, 0, 0);
        } else {
            LumoLedSetLighting(0, 0, 0);
        }
    } else {
        LumoLedSetLighting(team.red, team.green, team.blue);
    }
    LumoLedSetTargetDevice(lumo::sdk::kPerKeyDevices);
    LumoLedSetLightingFromBitmap(keyBitmap.data());
    LumoLedSetTargetDevice(lumo::sdk::kAllDevices);
}

}  // namespace

void showIdleColor() { LumoLedSetLighting(30, 3, 1); }

void handleGameState(const wchar_t* text) {
    keyBitmap.fill(0);
    std::optional<nlohmann::json> post = parsePost(text);
    if (!post) {
        return;
    }
    nlohmann::json& root = *post;

    const bool mapPresent = findMember(root, "map") != nullptr;
    const TeamPercentages team = teamColor(root);
    int health = 0;
    bool flash = false;
    int brightness = kFullBrightness;

    if (const nlohmann::json* hero = findMember(root, "hero"); hero != nullptr && hero->is_object()) {
        health = intMember(*hero, "health_percent", 0);
        if (!boolMember(*hero, "alive", true)) {
            health = 0;
        }
        const int mana = intMember(*hero, "mana_percent", 0);
        if (health >= 0) {
            flash = flashRule(health);
            if (flash && keptGameState.flashPhase) {
                brightness = 0;
            }
            if (options::showHealth) {
                paintHealthBar(keyBitmap, health,
                               options::alternativeHealthLayout ? kHealthOnFunctionKeys : kHealthOnTopRow,
                               options::smoothHealth, flash ? brightness : kFullBrightness);
            }
            if (options::showMana) {
                paintManaBar(keyBitmap, mana,
                             options::alternativeManaLayout ? kManaOnDigits : kManaOnNumberRow);
            }
        }
    }

    if (!paintGameHotkeySlots(keyBitmap, root, team.red, team.green, team.blue)) {
        if (nlohmann::json* abilities = findMember(root, "abilities");
            abilities != nullptr && abilities->is_object()) {
            paintAbilityKeys(keyBitmap, *abilities, team.red, team.green, team.blue);
        }
        if (nlohmann::json* items = findMember(root, "items"); items != nullptr && items->is_object()) {
            paintItemKeys(keyBitmap, *items, team.red, team.green, team.blue);
        }
    }

    sendLighting(mapPresent, flash, brightness, team);

    keptGameState.flashPhase = brightness == kFullBrightness;
    keptGameState.previousHealth = health;
    keptGameState.previousHadMap = mapPresent;
}

}  // namespace heroglow
