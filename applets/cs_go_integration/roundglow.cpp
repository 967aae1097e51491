#include "cs_go_integration/roundglow.h"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/key_bindings.h"
#include "gamestate/receiver.h"
#include "games/games.h"
#include "lighting/lumo_binding.h"
#include "lighting_choice/lighting_start.h"
#include "status/status_file.h"
#include "steam/integration_file.h"

namespace roundglow {

namespace {

constexpr std::chrono::milliseconds kSettleBeforeSaving{500};

// Why something at start-up failed goes to standard error as one line, apart from the
// messages on standard output.
void reportProblem(const std::string& problem) {
    if (!problem.empty()) std::cerr << lumo::games::kCounterStrike.program << ": " << problem << std::endl;
}

// Without an integration file in the folder the game reads, the game never posts: Counter-
// Strike 2 reads game/csgo/cfg, CS:GO read csgo/cfg. A game that is not found gets nothing.
void installIntegrationFile() {
    std::string problem;
    const lumo::games::Game& game = lumo::games::kCounterStrike;
    const std::string folder = lumo::util::findSteamAppFolderOrEmpty(std::string(game.appId), &problem);
    if (folder.empty()) {
        reportProblem(problem);
        return;
    }
    if (!lumo::util::installGameIntegrationFile(game, folder, &problem)) {
        std::cout << "Could not install the integration config file " << std::endl;
        reportProblem(problem);
    }
}

// Before each accept: a saved config.cfg re-reads the bindings; otherwise the options are
// polled, unless a repaint is still pending (then the next side post takes the change first).
void beforeEachAccept() {
    if (checkConfigFile()) kept.repaint = true;
    if (!kept.repaint) kept.repaint = pollOptions();
}

}  // namespace

int runRoundglow() {
    // The program runs until it is ended from outside, so buffered diagnostics (and the
    // unterminated "Bad JSON received") would never reach a redirected standard output.
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    kept.teamColor = {255, 255, 255};
    lumo::gamestate::GameStateListener listener = lumo::gamestate::openGameStateListener(lumo::games::kCounterStrike.port);
    if (!listener) return listener.failure() == lumo::gamestate::ListenFailure::resolve ? 1 : -1;

    buildKeyCellTable();
    buildDefaultBindings();
    locateBindingFiles();
    installIntegrationFile();
    if (!lumo::lighting::startLighting(lumo::games::kCounterStrike.program.data(), std::cout, std::cerr))
        std::cout << "Could not initialize LED SDK\n";
    registerOptions();
    std::this_thread::sleep_for(kSettleBeforeSaving);
    LumoLedSaveCurrentLighting();
    LumoLedSetLighting(0, 0, 0);

    lumo::status::StatusWriter status(std::string(lumo::games::kCounterStrike.program), lumo::lighting::lightingInUse());
    lumo::gamestate::serveGameState(
        listener,
        [&status](char* jsonStart, std::int64_t /*received*/) {
            handleGameState(jsonStart);
            status.notePost(jsonStart);
        },
        beforeEachAccept);
    return -1;
}

}  // namespace roundglow
