#include "demo_sessions.h"

namespace lumo::demo {
namespace {

constexpr long long kTimestamp = 1755093600;
constexpr const char* kSteamId = "76561198034276409";

Json gun(const char* name, const char* type, int clip, int reserve, const char* state) {
    return Json{{"name", name},          {"paintkit", "default"},   {"type", type},  {"ammo_clip", clip},
                {"ammo_clip_max", clip}, {"ammo_reserve", reserve}, {"state", state}};
}

class CounterStrikeRound {
public:
    CounterStrikeRound() {
        state_["provider"] = {{"name", "Counter-Strike: Global Offensive"},
                              {"appid", 730},
                              {"version", 14094},
                              {"steamid", kSteamId},
                              {"timestamp", kTimestamp}};
        state_["map"] = {{"mode", "competitive"},
                         {"name", "de_mirage"},
                         {"phase", "live"},
                         {"round", 7},
                         {"team_ct",
                          {{"score", 4},
                           {"consecutive_round_losses", 0},
                           {"timeouts_remaining", 1},
                           {"matches_won_this_series", 0}}},
                         {"team_t",
                          {{"score", 3},
                           {"consecutive_round_losses", 2},
                           {"timeouts_remaining", 1},
                           {"matches_won_this_series", 0}}},
                         {"num_matches_to_win_series", 0}};
        state_["round"] = {{"phase", "freezetime"}};
        state_["player"] = {
            {"steamid", kSteamId},
            {"name", "magic twist"},
            {"observer_slot", 6},
            {"team", "T"},
            {"activity", "playing"},
            {"state",
             {{"health", 100},
              {"armor", 0},
              {"helmet", false},
              {"flashed", 0},
              {"smoked", 0},
              {"burning", 0},
              {"money", 4150},
              {"round_kills", 0},
              {"round_killhs", 0},
              {"round_totaldmg", 0},
              {"equip_value", 200}}},
            {"match_stats", {{"kills", 6}, {"assists", 2}, {"deaths", 5}, {"mvps", 1}, {"score", 17}}},
            {"weapons",
             {{"weapon_0",
               {{"name", "weapon_knife_t"},
                {"paintkit", "default"},
                {"type", "Knife"},
                {"state", "holstered"}}},
              {"weapon_1", gun("weapon_glock", "Pistol", 20, 120, "active")},
              {"weapon_2",
               {{"name", "weapon_c4"}, {"paintkit", "default"}, {"type", "C4"}, {"state", "holstered"}}}}}};
    }

    Json& player() { return state_["player"]; }
    Json& playerState() { return state_["player"]["state"]; }
    Json& weapon(const char* name) { return state_["player"]["weapons"][name]; }
    Json& state() { return state_; }
    // The game numbers the weapons carried from 0 without gaps, so the later ones move up.
    void dropWeapon(const std::string& name) {
        Json& weapons = state_["player"]["weapons"];
        weapons.erase(name);
        Json renumbered = Json::object();
        for (const auto& [key, weapon] : weapons.items())
            renumbered["weapon_" + std::to_string(renumbered.size())] = weapon;
        weapons = std::move(renumbered);
    }

    void post(double t) {
        state_["provider"]["timestamp"] = kTimestamp + static_cast<long long>(t);
        session_.add(t, state_);
    }
    Session take() { return std::move(session_); }

private:
    Json state_;
    Session session_;
};

}  // namespace

Session counterStrikeRound() {
    CounterStrikeRound round;
    // Freeze time: buying armour, a rifle and a flashbang.
    round.post(0.0);
    round.playerState()["armor"] = 100;
    round.playerState()["helmet"] = true;
    round.playerState()["money"] = 3150;
    round.playerState()["equip_value"] = 1200;
    round.post(1.5);
    round.weapon("weapon_1")["state"] = "holstered";
    round.weapon("weapon_3") = gun("weapon_ak47", "Rifle", 30, 90, "active");
    round.playerState()["money"] = 450;
    round.playerState()["equip_value"] = 3900;
    round.post(3.0);
    round.weapon("weapon_4") = {{"name", "weapon_flashbang"},
                                {"paintkit", "default"},
                                {"type", "Grenade"},
                                {"ammo_reserve", 1},
                                {"state", "holstered"}};
    round.playerState()["money"] = 250;
    round.playerState()["equip_value"] = 4100;
    round.post(4.5);
    round.post(8.0);
    // The round goes live; a fight at the ramp.
    round.state()["round"]["phase"] = "live";
    round.post(12.0);
    round.weapon("weapon_3")["ammo_clip"] = 24;
    round.post(17.5);
    round.weapon("weapon_3")["ammo_clip"] = 17;
    round.playerState()["health"] = 73;
    round.playerState()["round_totaldmg"] = 64;
    round.post(18.5);
    round.weapon("weapon_3")["ammo_clip"] = 11;
    round.playerState()["round_kills"] = 1;
    round.playerState()["round_killhs"] = 1;
    round.player()["match_stats"]["kills"] = 7;
    round.player()["match_stats"]["score"] = 19;
    round.playerState()["round_totaldmg"] = 100;
    round.post(19.5);
    // The clip runs low: the slot key blinks and the keyboard pulses.
    round.weapon("weapon_3")["ammo_clip"] = 4;
    round.playerState()["health"] = 58;
    round.post(20.5);
    round.post(21.5);
    round.weapon("weapon_3")["state"] = "reloading";
    round.post(22.5);
    round.weapon("weapon_3")["state"] = "active";
    round.weapon("weapon_3")["ammo_clip"] = 30;
    round.weapon("weapon_3")["ammo_reserve"] = 64;
    round.post(25.0);
    round.weapon("weapon_3")["ammo_clip"] = 23;
    round.playerState()["health"] = 41;
    round.playerState()["round_kills"] = 2;
    round.player()["match_stats"]["kills"] = 8;
    round.player()["match_stats"]["score"] = 21;
    round.playerState()["round_totaldmg"] = 200;
    round.post(27.0);
    // The bomb: in hand, then planted and gone from the weapons.
    round.weapon("weapon_3")["state"] = "holstered";
    round.weapon("weapon_2")["state"] = "active";
    round.post(29.0);
    round.dropWeapon("weapon_2");
    round.weapon("weapon_2")["state"] = "active";
    round.state()["round"]["bomb"] = "planted";
    round.player()["match_stats"]["score"] = 23;
    round.post(32.5);
    for (double t : {33.5, 34.5, 35.5}) round.post(t);
    // A word to the team.
    round.player()["activity"] = "textinput";
    round.post(36.5);
    round.post(37.5);
    round.player()["activity"] = "playing";
    round.post(39.0);
    round.post(40.0);
    // Holding the site on low health: the red pulse.
    round.playerState()["health"] = 22;
    round.playerState()["armor"] = 61;
    round.weapon("weapon_2")["ammo_clip"] = 15;
    round.post(41.5);
    round.post(42.5);
    round.post(43.5);
    // The bomb goes off: the round is won.
    round.state()["round"] = {{"phase", "over"}, {"bomb", "exploded"}, {"win_team", "T"}};
    round.state()["map"]["team_t"]["score"] = 4;
    round.state()["map"]["team_t"]["consecutive_round_losses"] = 0;
    round.state()["map"]["round_wins"] = {{"7", "t_win_bomb"}};
    round.post(46.0);
    round.post(48.5);
    // The pause menu, then back to the main menu, where only the player's name is left.
    round.player()["activity"] = "menu";
    round.post(52.0);
    round.state().erase("map");
    round.state().erase("round");
    round.player() = {{"steamid", kSteamId}, {"name", "magic twist"}, {"activity", "menu"}};
    round.post(56.0);
    return round.take();
}

}  // namespace lumo::demo
