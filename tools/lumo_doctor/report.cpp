#include "lumo_doctor/report.h"

#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "games/games.h"

namespace lumo::doctor {

namespace {

const std::map<std::string, std::string>& titles() {
    static const std::map<std::string, std::string> names{
        {"steam", "Steam"},
        {"sdk", "Maker's SDK"},
        {"openrgb", "OpenRGB"},
        {"lighting-settings", "Lighting settings"},
        {"game", "Game"},
        {"integration-file", "Integration file"},
        {"other-integration-files", "Other integration files"},
        {"port", "Port"},
        {"launch-option", "Launch option"},
        {"game-process", "Game process"},
        {"console-log", "Console log"},
        {"program", "Program"},
        {"listen", "Listening"},
        {"platform", "Platform"},
    };
    return names;
}

std::string gameTitle(const std::string& key) {
    const games::Game* game = games::findByKey(key);
    return game == nullptr ? std::string() : std::string(game->title);
}

int count(const std::vector<Check>& checks, Status status) {
    return static_cast<int>(std::count_if(checks.begin(), checks.end(), [&](const Check& c) { return c.status == status; }));
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

}  // namespace

std::string formatText(const std::vector<Check>& checks, bool colour) {
    std::string text;
    for (const Check& check : checks) {
        const char* mark = check.status == Status::ok ? "[✓]" : check.status == Status::warning ? "[!]" : "[✗]";
        const char* paint = check.status == Status::ok ? "\x1b[32m" : check.status == Status::warning ? "\x1b[33m" : "\x1b[31m";
        const auto title = titles().find(check.id);
        const std::string game = gameTitle(check.game);
        text += colour ? std::string(paint) + mark + "\x1b[0m" : std::string(mark);
        text += " " + (title == titles().end() ? check.id : title->second) + (game.empty() ? "" : " (" + game + ")") + ": " +
                check.finding + "\n";
        if (!check.hint.empty()) text += "    • " + check.hint + "\n";
    }
    const int failures = count(checks, Status::failure);
    const int warnings = count(checks, Status::warning);
    text += "\n";
    if (failures == 0 && warnings == 0) {
        text += "No issues found.\n";
    } else {
        text += "Doctor found " + plural(failures, "failure") + " and " + plural(warnings, "warning") + " in " +
                plural(static_cast<int>(checks.size()), "check") + ".\n";
    }
    return text;
}

std::string formatJson(const std::vector<Check>& checks) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Check& check : checks) {
        list.push_back({{"id", check.id},
                        {"game", check.game},
                        {"status", statusName(check.status)},
                        {"finding", check.finding},
                        {"hint", check.hint}});
    }
    const nlohmann::ordered_json report = {
        {"checks", list},
        {"counts", {{"ok", count(checks, Status::ok)}, {"warning", count(checks, Status::warning)}, {"failure", count(checks, Status::failure)}}},
    };
    // Paths from the system may hold bytes that are not UTF-8: keep them replaced, not fatal.
    return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int exitStatus(const std::vector<Check>& checks) { return count(checks, Status::failure) == 0 ? 0 : 1; }

}  // namespace lumo::doctor
