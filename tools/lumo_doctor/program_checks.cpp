// The game's program, as its status file tells, and a post heard while listening in its place.
#include <algorithm>

#include "lumo_doctor/check_support.h"

namespace lumo::doctor {

using std::chrono::duration_cast;
using std::chrono::seconds;

Check checkProgram(const games::Game& game, const Facts& facts) {
    const std::string program(game.program);
    const std::string title(game.title);
    const std::optional<status::ProgramStatus>& status = programStatus(game, facts);
    const ProcessInfo* process = runningProgram(game, facts);
    if (process == nullptr) {
        return makeCheck("program", game.key, Status::warning, program + " is not running",
                         "Start " + program + "; without it nothing lights the keyboard.");
    }
    std::string who = program + " (pid " + std::to_string(process->pid);
    if (!status || status->processId != process->pid) {
        return makeCheck("program", game.key, Status::ok, who + ") is running; it has written no status file");
    }
    who += ", lighting through " + status->backend + ")";
    const auto now = duration_cast<seconds>(facts.now.time_since_epoch()).count();
    if (status->posts == 0) {
        const bool gameRunning = findProcess(facts, game.processNames) != nullptr;
        return makeCheck("program", game.key, gameRunning ? Status::warning : Status::ok,
                         who + " has had no post since it started " + describeDuration(seconds(now - status->started)) + " ago",
                         title + " runs but does not post: the checks above name the usual causes. " +
                             (game.silentOutsideMatches ? title + " " + std::string(game.postsWhen) + "." : ""));
    }
    std::string finding = who + ": last post " + describeDuration(seconds(std::max<std::int64_t>(0, now - status->lastPost))) +
                          " ago, " + std::to_string(status->posts) + " since it started";
    if (!status->providerAppId.empty()) finding += " (app id " + status->providerAppId + ")";
    if (!status->providerAppId.empty() && status->providerAppId != game.appId) {
        return makeCheck("program", game.key, Status::warning, finding + ", not " + title + "'s " + std::string(game.appId),
                         "Another game's integration file posts to port " + std::to_string(game.port) + ": change its uri.");
    }
    return makeCheck("program", game.key, Status::ok, finding);
}

namespace {

// A post's data as section names the integration file uses: Counter-Strike's player_id,
// player_state and player_weapons arrive as parts of "player".
bool carriesSection(const std::vector<std::string>& members, const std::string& body, const std::string& section) {
    if (std::find(members.begin(), members.end(), section) != members.end()) return true;
    constexpr std::string_view kPlayer = "player_";
    if (section.rfind(kPlayer, 0) != 0 || std::find(members.begin(), members.end(), "player") == members.end()) return false;
    const std::string part = section.substr(kPlayer.size());
    return body.find("\"" + (part == "id" ? std::string("steamid") : part) + "\"") != std::string::npos;
}

}  // namespace

Check checkListen(const games::Game& game, int seconds, const std::optional<HeardPost>& heard) {
    const std::string port = std::to_string(game.port);
    const std::string title(game.title);
    if (!heard) {
        return makeCheck("listen", game.key, Status::failure, "could not listen on port " + port,
                         "The port check names what holds it.");
    }
    if (!heard->received) {
        return makeCheck("listen", game.key, Status::failure, "no post on port " + port + " in " + std::to_string(seconds) + " s",
                         "The checks above name the usual causes; " + title + " " + std::string(game.postsWhen) + ".");
    }
    std::vector<std::string> carried, absent;
    for (const std::string& section : wantedSections(game)) {
        (carriesSection(heard->sections, heard->body, section) ? carried : absent).push_back(section);
    }
    std::string finding = "first post after " + describeDuration(duration_cast<std::chrono::seconds>(heard->after)) +
                          ": app id " + (heard->appId.empty() ? "none" : heard->appId) + ", data " +
                          (carried.empty() ? "none" : joined(carried));
    if (!absent.empty()) finding += " (not in it: " + joined(absent) + ")";
    if (heard->appId != game.appId) {
        return makeCheck("listen", game.key, Status::warning, finding,
                         "The post did not come from " + title + " (app id " + std::string(game.appId) +
                             "): another integration file names this port.");
    }
    return makeCheck("listen", game.key, Status::ok, finding);
}

}  // namespace lumo::doctor
