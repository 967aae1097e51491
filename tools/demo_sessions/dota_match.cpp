#include "demo_sessions.h"

namespace lumo::demo {
namespace {

constexpr long long kTimestamp = 1715001000;
constexpr int kMatchStart = 26;  // seconds into the session when the horn sounds

Json ability(const char* name, int level, bool passive, bool ultimate = false) {
    return Json{{"name", name},        {"level", level},         {"can_cast", level > 0 && !passive},
                {"passive", passive},  {"ability_active", true}, {"cooldown", 0},
                {"ultimate", ultimate}};
}

Json item(const char* name, bool passive = false, int charges = -1) {
    Json slot{
        {"name", name}, {"purchaser", 2}, {"can_cast", !passive}, {"cooldown", 0}, {"passive", passive}};
    if (charges >= 0) slot["charges"] = charges;
    return slot;
}

Json emptyItem() { return Json{{"name", "empty"}}; }

Json items() {
    Json slots = Json::object();
    for (const char* slot : {"slot0", "slot1", "slot2", "slot3", "slot4", "slot5", "slot6", "slot7", "slot8",
                             "stash0", "stash1", "stash2", "stash3", "stash4", "stash5"})
        slots[slot] = emptyItem();
    return slots;
}

Json hero(int maxHealth, int maxMana) {
    return Json{{"xpos", -6700},
                {"ypos", -6150},
                {"id", 8},
                {"name", "npc_dota_hero_juggernaut"},
                {"level", 1},
                {"xp", 0},
                {"alive", true},
                {"respawn_seconds", 0},
                {"buyback_cost", 200},
                {"buyback_cooldown", 0},
                {"health", maxHealth},
                {"max_health", maxHealth},
                {"health_percent", 100},
                {"mana", maxMana},
                {"max_mana", maxMana},
                {"mana_percent", 100},
                {"silenced", false},
                {"stunned", false},
                {"disarmed", false},
                {"magicimmune", false},
                {"hexed", false},
                {"muted", false},
                {"break", false},
                {"aghanims_scepter", false},
                {"aghanims_shard", false},
                {"smoked", false},
                {"has_debuff", false},
                {"talent_1", false},
                {"talent_2", false}};
}

class DotaMatch {
public:
    DotaMatch() {
        state_["provider"] = {{"name", "Dota 2"}, {"appid", 570}, {"version", 47}, {"timestamp", kTimestamp}};
        state_["map"] = {{"name", "start"},
                         {"matchid", "7214068811"},
                         {"game_time", 5},
                         {"clock_time", 0},
                         {"daytime", true},
                         {"nightstalker_night", false},
                         {"radiant_score", 0},
                         {"dire_score", 0},
                         {"game_state", "DOTA_GAMERULES_STATE_HERO_SELECTION"},
                         {"paused", false},
                         {"win_team", "none"},
                         {"customgamename", ""},
                         {"ward_purchase_cooldown", 0}};
        state_["player"] = {{"steamid", "76561198044913371"},
                            {"accountid", "84647643"},
                            {"name", "lanternfish"},
                            {"activity", "playing"},
                            {"kills", 0},
                            {"deaths", 0},
                            {"assists", 0},
                            {"last_hits", 0},
                            {"denies", 0},
                            {"kill_streak", 0},
                            {"commands_issued", 0},
                            {"kill_list", Json::object()},
                            {"team_name", "radiant"},
                            {"gold", 600},
                            {"gold_reliable", 0},
                            {"gold_unreliable", 600},
                            {"gold_from_hero_kills", 0},
                            {"gold_from_creep_kills", 0},
                            {"gold_from_income", 0},
                            {"gold_from_shared", 0},
                            {"gpm", 0},
                            {"xpm", 0}};
    }

    Json& state() { return state_; }
    Json& hero() { return state_["hero"]; }
    Json& ability(int n) { return state_["abilities"]["ability" + std::to_string(n)]; }
    Json& slot(const char* name) { return state_["items"][name]; }

    // Posts the state at `t` seconds, the game's clocks moved on with it.
    void post(double t) {
        state_["provider"]["timestamp"] = kTimestamp + static_cast<long long>(t);
        if (state_.contains("map")) {
            Json& map = state_["map"];
            map["game_time"] = 5 + static_cast<int>(t);
            if (map["game_state"] == "DOTA_GAMERULES_STATE_GAME_IN_PROGRESS" ||
                map["game_state"] == "DOTA_GAMERULES_STATE_POST_GAME")
                map["clock_time"] = static_cast<int>(t) - kMatchStart;
        }
        session_.add(t, state_);
    }
    void setClock(int clockTime) { state_["map"]["clock_time"] = clockTime; }
    void setHealth(int percent) {
        Json& h = hero();
        h["health_percent"] = percent;
        h["health"] = h["max_health"].get<int>() * percent / 100;
    }
    void setMana(int percent) {
        Json& h = hero();
        h["mana_percent"] = percent;
        h["mana"] = h["max_mana"].get<int>() * percent / 100;
    }
    void cooldown(Json& slot, int seconds) {
        slot["cooldown"] = seconds;
        slot["can_cast"] = seconds == 0;
    }
    Session take() { return std::move(session_); }

private:
    Json state_;
    Session session_;
};

}  // namespace

Session dotaMatch() {
    DotaMatch match;
    // Hero selection: no hero yet.
    match.post(0.0);
    match.state()["player"]["commands_issued"] = 3;
    match.post(4.0);
    // The hero is picked; strategy time; the starting items are bought.
    match.state()["hero"] = hero(660, 291);
    match.state()["abilities"] = {{"ability0", ability("juggernaut_blade_fury", 0, false)},
                                  {"ability1", ability("juggernaut_healing_ward", 0, false)},
                                  {"ability2", ability("juggernaut_blade_dance", 0, true)},
                                  {"ability3", ability("juggernaut_omni_slash", 0, false, true)}};
    match.state()["items"] = items();
    match.state()["map"]["game_state"] = "DOTA_GAMERULES_STATE_STRATEGY_TIME";
    match.post(9.0);
    match.slot("slot0") = item("item_tango", false, 3);
    match.slot("slot1") = item("item_quelling_blade", false);
    match.state()["player"]["gold"] = 285;
    match.state()["player"]["gold_unreliable"] = 285;
    match.post(12.5);
    match.slot("slot2") = item("item_magic_stick", false, 0);
    match.slot("slot3") = item("item_branches", false);
    match.state()["player"]["gold"] = 85;
    match.state()["player"]["gold_unreliable"] = 85;
    match.post(15.0);
    // Pre-game: the first ability point goes into Blade Fury.
    match.state()["map"]["game_state"] = "DOTA_GAMERULES_STATE_PRE_GAME";
    match.setClock(-90);
    match.ability(0)["level"] = 1;
    match.ability(0)["can_cast"] = true;
    match.post(19.0);
    match.setClock(-60);
    match.post(22.0);
    // The match starts.
    match.state()["map"]["game_state"] = "DOTA_GAMERULES_STATE_GAME_IN_PROGRESS";
    match.post(kMatchStart);
    match.state()["player"]["last_hits"] = 1;
    match.post(30.0);
    // Blade Fury cast: on cooldown, mana spent.
    match.cooldown(match.ability(0), 12);
    match.setMana(66);
    match.post(32.5);
    match.cooldown(match.ability(0), 10);
    match.setHealth(91);
    match.post(34.5);
    // A tango eaten: one charge fewer and the item cools down.
    match.slot("slot0")["charges"] = 2;
    match.cooldown(match.slot("slot0"), 1);
    match.post(36.0);
    match.cooldown(match.slot("slot0"), 0);
    match.cooldown(match.ability(0), 7);
    match.hero()["level"] = 2;
    match.ability(1)["level"] = 1;
    match.ability(1)["can_cast"] = true;
    match.post(38.0);
    match.cooldown(match.ability(0), 4);
    match.setMana(71);
    match.post(41.0);
    match.cooldown(match.ability(0), 0);
    match.post(44.5);
    // Phase boots bought and used.
    match.slot("slot4") = item("item_phase_boots");
    match.state()["player"]["gold"] = 35;
    match.post(47.0);
    match.cooldown(match.slot("slot4"), 8);
    match.post(48.5);
    // A gank: health falls below the flash level.
    match.setHealth(78);
    match.cooldown(match.slot("slot4"), 6);
    match.post(50.0);
    match.setHealth(61);
    match.post(51.5);
    match.setHealth(44);
    match.cooldown(match.slot("slot4"), 3);
    match.post(53.0);
    match.setHealth(29);
    match.post(54.5);
    match.setHealth(21);
    match.cooldown(match.slot("slot4"), 0);
    match.post(56.0);
    match.setHealth(14);
    // Healing Ward and the Magic Stick: health recovers.
    match.cooldown(match.ability(1), 60);
    match.setMana(45);
    match.post(57.5);
    match.slot("slot2")["charges"] = 0;
    match.cooldown(match.slot("slot2"), 13);
    match.setHealth(23);
    match.post(59.0);
    match.setHealth(31);
    match.post(61.0);
    match.setHealth(42);
    match.cooldown(match.slot("slot2"), 9);
    match.post(63.5);
    match.setHealth(58);
    match.post(66.0);
    match.setHealth(71);
    match.cooldown(match.slot("slot2"), 4);
    match.post(69.0);
    // A second fight goes wrong: death.
    match.setHealth(38);
    match.cooldown(match.slot("slot2"), 0);
    match.post(73.0);
    match.setHealth(17);
    match.post(74.5);
    match.setHealth(6);
    match.post(76.0);
    match.setHealth(0);
    match.hero()["alive"] = false;
    match.hero()["respawn_seconds"] = 12;
    match.state()["player"]["deaths"] = 1;
    match.post(77.5);
    for (int left = 10; left > 0; left -= 3) {
        match.hero()["respawn_seconds"] = left;
        match.post(77.5 + (12 - left));
    }
    // Respawned at the fountain.
    match.hero()["alive"] = true;
    match.hero()["respawn_seconds"] = 0;
    match.setHealth(100);
    match.setMana(100);
    match.post(90.0);
    // Level 6: Omni Slash learnt and cast.
    match.hero()["level"] = 6;
    match.ability(3)["level"] = 1;
    match.ability(3)["can_cast"] = true;
    match.post(94.0);
    match.cooldown(match.ability(3), 120);
    match.setMana(63);
    match.state()["player"]["kills"] = 1;
    match.state()["map"]["radiant_score"] = 1;
    match.post(97.0);
    match.cooldown(match.ability(3), 116);
    match.setHealth(88);
    match.post(101.0);
    match.cooldown(match.ability(3), 111);
    match.cooldown(match.ability(1), 24);
    match.post(106.0);
    // The match ends: Radiant wins.
    match.state()["map"]["game_state"] = "DOTA_GAMERULES_STATE_POST_GAME";
    match.state()["map"]["win_team"] = "radiant";
    match.post(110.0);
    match.post(114.0);
    // Back in the menu: only the provider and empty sections.
    for (const char* section : {"map", "hero", "abilities", "items"}) match.state().erase(section);
    match.state()["player"] = Json::object();
    match.post(119.0);
    return match.take();
}

}  // namespace lumo::demo
