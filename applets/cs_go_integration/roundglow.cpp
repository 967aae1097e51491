#include "cs_go_integration/roundglow.h"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cs_go_integration/cs_options.h"
#include "cs_go_integration/game_state.h"
#include "cs_go_integration/key_bindings.h"
#include "gamestate/receiver.h"
#include "lighting/lumo_binding.h"

namespace {

constexpr std::uint16_t kGameStatePort = 5000;
constexpr std::chrono::milliseconds kSettleBeforeSaving{500};

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
    GameStateListener listener = openGameStateListener(kGameStatePort);
    if (!listener) return listener.failure() == ListenFailure::resolve ? 1 : -1;

    buildKeyCellTable();
    buildDefaultBindings();
    locateConfigFile(storedConfigPath);
    if (!LumoLedInit()) std::cout << "Could not initialize LED SDK\n";
    registerOptions();
    std::this_thread::sleep_for(kSettleBeforeSaving);
    LumoLedSaveCurrentLighting();
    LumoLedSetLighting(0, 0, 0);

    serveGameState(
        listener, [](char* jsonStart, std::int64_t received) { handleGameState(jsonStart, received); },
        beforeEachAccept);
    return -1;
}
