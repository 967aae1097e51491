// The order of the checks, and what they share with the report.
#include "lumo_doctor/checks.h"

#include <algorithm>

#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"

namespace lumo::doctor {

const char* statusName(Status status) {
    switch (status) {
    case Status::ok: return "ok";
    case Status::warning: return "warning";
    case Status::failure: return "failure";
    }
    return "failure";
}

bool programRunning(const games::Game& game, const Facts& facts) { return runningProgram(game, facts) != nullptr; }

std::optional<Check> checkLightingSettings(const Facts& facts) {
    if (facts.lightingProblems.empty()) return std::nullopt;
    std::vector<std::string> problems;
    constexpr std::string_view kLead = "Lighting settings: ";
    for (const std::string& problem : facts.lightingProblems) {
        problems.push_back(problem.rfind(kLead, 0) == 0 ? problem.substr(kLead.size()) : problem);
    }
    return makeCheck("lighting-settings", "all", Status::warning, joined(problems, "; "),
                     "The programs pass over these settings too and keep their defaults: correct them (see docs/openrgb.md).");
}

std::vector<Check> checkGame(const games::Game& game, const Facts& facts, const GameRun& run) {
    std::vector<Check> checks{checkGameLocation(game, facts)};
    const auto found = facts.games.find(game.key);
    const std::optional<util::SteamGame>& install = found == facts.games.end() ? std::nullopt : found->second;
    if (install && install->present) {
        GameScene scene{game, facts, gameFolders(game, filesystem::to_std_path(install->folder)), {}, install->foundByPrograms};
        scene.file = inspectIntegrationFile(game, scene.folders);
        checks.push_back(checkIntegrationFile(scene));
        checks.push_back(checkOtherFiles(scene));
        checks.push_back(checkPort(game, facts, run.port));
        if (!game.launchOption.empty()) checks.push_back(checkLaunchOption(game, facts));
        checks.push_back(checkGameProcess(scene));
        checks.push_back(checkConsoleLog(scene));
    } else {
        checks.push_back(checkPort(game, facts, run.port));
    }
    checks.push_back(checkProgram(game, facts));
    if (run.listenSeconds) checks.push_back(checkListen(game, *run.listenSeconds, run.heard));

    const bool allOk = std::all_of(checks.begin(), checks.end(), [](const Check& c) { return c.status == Status::ok; });
    if (game.linuxPostingProblem && facts.onLinux && allOk) {
        checks.push_back(makeCheck("platform", game.key, Status::warning,
                                   std::string(game.title) + " on Linux: a long-open report says the game posts nothing for some players",
                                   "Not a fault of your setup. If no post arrives while every check passes, this is the likely reason."));
    }
    return checks;
}

std::string describeDuration(std::chrono::seconds duration) {
    const long long total = std::max<long long>(0, duration.count());
    if (total < 60) return std::to_string(total) + " s";
    if (total < 3600) return std::to_string(total / 60) + " min";
    const long long minutes = (total % 3600) / 60;
    // Appended piecewise: GCC 12 warns falsely of overlap (-Wrestrict) on " " + text.
    std::string text = std::to_string(total / 3600) + " h";
    if (minutes != 0) {
        text += ' ';
        text += std::to_string(minutes);
        text += " min";
    }
    return text;
}

}  // namespace lumo::doctor
