#include "cs_go_integration/roundglow.h"

#include <cstdint>
#include <exception>
#include <system_error>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/key_bindings.h"
#include "gamestate/receiver.h"
#include "filesystem/operations.h"
#include "filesystem/path.h"
#include "lighting/lumo_binding.h"
#include "openrgb_lighting/lighting_start.h"
#include "steam/integration_file.h"

namespace roundglow {

namespace fs = lumo::filesystem;

namespace {

constexpr std::uint16_t kGameStatePort = 5000;
constexpr std::chrono::milliseconds kSettleBeforeSaving{500};

// Without an integration file in the folder the game reads, the game never posts: Counter-
// Strike 2 reads game/csgo/cfg, CS:GO read csgo/cfg. A game that is not found gets nothing.
void installIntegrationFile() {
    const std::string game = lumo::util::findSteamAppFolderOrEmpty("730");
    if (game.empty()) return;
    bool installed = false;
    try {
        const fs::path cs2 = fs::path(game) / fs::path("game") / fs::path("csgo");
        std::error_code ec;
        const fs::path cfg =
            (fs::exists(cs2, ec) ? cs2 : fs::path(game) / fs::path("csgo")) / fs::path("cfg");
        installed = lumo::util::installIntegrationFile(cfg, "", "gamestate_integration_kelvaron.cfg");
    } catch (const std::exception&) {
    }
    if (!installed) std::cout << "Could not install the integration config file " << std::endl;
}

// Before each accept: a saved config.cfg re-reads the bindings; otherwise the options are
// polled, unless a repaint is still pending (then the next side post takes the change first).
void beforeEachAccept() {
    checkConfigFile();
    if (!kept.repaint) kept.repaint = pollOptions();
}

}  // namespace

int runRoundglow() {
    // The program runs until it is ended from outside, so buffered diagnostics (and the
    // unterminated "Bad JSON received") would never reach a redirected standard output.
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    kept.teamColor = {255, 255, 255};
    lumo::gamestate::GameStateListener listener = lumo::gamestate::openGameStateListener(kGameStatePort);
    if (!listener) return listener.failure() == lumo::gamestate::ListenFailure::resolve ? 1 : -1;

    buildKeyCellTable();
    buildDefaultBindings();
    locateConfigFile(storedConfigPath);
    locateCs2BindingFiles();
    installIntegrationFile();
    if (!startLighting("roundglow", std::cout, std::cerr)) std::cout << "Could not initialize LED SDK\n";
    registerOptions();
    std::this_thread::sleep_for(kSettleBeforeSaving);
    LumoLedSaveCurrentLighting();
    LumoLedSetLighting(0, 0, 0);

    lumo::gamestate::serveGameState(
        listener, [](char* jsonStart, std::int64_t received) { handleGameState(jsonStart, received); },
        beforeEachAccept);
    return -1;
}

}  // namespace roundglow
