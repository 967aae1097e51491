#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace lumo::test {

// How many journal entries record SDK operation `op`.
inline int countOps(const std::vector<nlohmann::json>& journal, const std::string& op) {
    int count = 0;
    for (const nlohmann::json& entry : journal) {
        if (entry.value("op", "") == op) ++count;
    }
    return count;
}

// An options file holding `values` (option path -> value) as heroglow's user chose them.
inline std::string heroglowOptions(const nlohmann::json& values) {
    nlohmann::json options = nlohmann::json::object();
    for (const auto& [path, value] : values.items()) options[path] = {{"value", value}};
    return nlohmann::json{{"heroglow", options}}.dump();
}

// A game-state body from the middle of a match: the handler lights the keys from it.
inline std::string midGameBody(const std::string& padding = "") {
    nlohmann::json body = {
        {"provider", {{"name", "Dota 2"}, {"appid", 570}}},
        {"map", {{"name", "start"}, {"game_state", "DOTA_GAMERULES_STATE_GAME_IN_PROGRESS"}}},
        {"player", {{"team_name", "radiant"}}},
        {"hero", {{"alive", true}, {"health_percent", 60}, {"mana_percent", 40}}},
    };
    if (!padding.empty()) body["padding"] = padding;
    return body.dump();
}

}  // namespace lumo::test
