// lumo-doctor: tells a player why the keyboard does not react to the game. Reads only.
#include <cstdio>
#include <future>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lumo_doctor/checks.h"
#include "lumo_doctor/report.h"

namespace {

using namespace lumo::doctor;

std::string usage() {
    std::string keys, programs;
    for (const lumo::games::Game& game : lumo::games::all()) {
        keys += std::string(game.key) + "|";
        programs += (programs.empty() ? "" : " or ") + std::string(game.program) + " (" + std::string(game.title) + ")";
    }
    return "usage: lumo-doctor [--game " + keys + "all] [--listen SECONDS] [--json]\n"
           "Checks why a game's posts may not reach " + programs + ".\n"
           "  --game      which game to check (default: all)\n"
           "  --listen    when the program is not running, listen on its port for a post this long\n"
           "  --json      one JSON object instead of text (see docs/lumo-doctor.md)\n";
}

std::vector<const lumo::games::Game*> allGames() {
    std::vector<const lumo::games::Game*> games;
    for (const lumo::games::Game& game : lumo::games::all()) games.push_back(&game);
    return games;
}

struct Options {
    std::vector<const lumo::games::Game*> games = allGames();
    std::optional<int> listenSeconds;
    bool json = false;
};

// nullopt (after a message) for arguments that do not make sense.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--json") {
            options.json = true;
        } else if (argument == "--game" && hasValue) {
            const std::string game = arguments[++i];
            if (const lumo::games::Game* chosen = lumo::games::findByKey(game)) options.games = {chosen};
            else if (game != "all") return std::nullopt;
        } else if (argument == "--listen" && hasValue) {
            const std::string seconds = arguments[++i];
            if (seconds.empty() || seconds.size() > 4 || seconds.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
            options.listenSeconds = std::stoi(seconds);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

int run(const Options& options) {
    const Facts facts = gatherFacts();
    std::vector<Check> checks{checkSteam(facts)};
    if (std::optional<Check> settings = checkLightingSettings(facts)) checks.push_back(std::move(*settings));
    bool sdkUsable = false;
    checks.push_back(checkMakerSdk(facts, sdkUsable));
    checks.push_back(checkOpenRgb(facts, sdkUsable));

    // Both games' ports are listened on at once, so --listen takes its time once.
    std::map<const lumo::games::Game*, GameRun> runs;
    std::map<const lumo::games::Game*, std::future<std::optional<HeardPost>>> listening;
    for (const lumo::games::Game* game : options.games) {
        GameRun& run = runs[game];
        run.port = probePort(game->port);
        if (options.listenSeconds && !programRunning(*game, facts) && !run.port.listener) {
            run.listenSeconds = options.listenSeconds;
            listening[game] = std::async(std::launch::async, listenForPost, game->port, *options.listenSeconds);
        }
    }
    for (auto& [game, heard] : listening) runs[game].heard = heard.get();
    for (const lumo::games::Game* game : options.games) {
        for (Check& check : checkGame(*game, facts, runs[game])) checks.push_back(std::move(check));
    }

    if (options.json) {
        std::cout << formatJson(checks);
    } else {
        prepareConsole();
        std::cout << formatText(checks, standardOutputIsTerminal());
    }
    std::cout.flush();
    return exitStatus(checks);
}

}  // namespace

int main(int argc, char** argv) {
    restrictLibrarySearch();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::cout << usage();
            return 0;
        }
    }
    const std::optional<Options> options = parseOptions(arguments);
    if (!options) {
        std::cerr << usage();
        return 2;
    }
    try {
        return run(*options);
    } catch (const std::exception& error) {
        std::cerr << "lumo-doctor: " << error.what() << "\n";
        return 2;
    }
}
