#include "dota_integration/heroglow.h"

#include <cstdint>
#include <cstdio>
#include <iostream>

#include <curl/curl.h>

#include "dota_integration/dota_hotkeys.h"
#include "dota_integration/dota_options.h"
#include "dota_integration/game_state.h"
#include "gamestate/receiver.h"
#include "gamestate/request_text.h"
#include "dota_integration/integration_file.h"
#include "dota_integration/item_feed.h"
#include "games/games.h"
#include "lighting/lumo_binding.h"
#include "lighting_choice/lighting_start.h"
#include "status/status_file.h"

namespace heroglow {

int runHeroglow() {
    // The program runs until it is ended from outside, so buffered diagnostics (and the
    // unterminated "Bad JSON received") would never reach a redirected standard output.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // libcurl's global set-up is not thread-safe: do it before anything else runs.
    curl_global_init(CURL_GLOBAL_DEFAULT);

    if (!installIntegrationFile()) std::cout << "Could not install the integration config file " << std::endl;
    if (!lumo::lighting::startLighting(lumo::games::kDota.program.data(), std::cout, std::cerr))
        std::cout << "Could not initialize the LED SDK " << std::endl;
    declareAndReadOptions();
    heroglow::locateGameHotkeys();
    fetchItemData();
    showIdleColor();

    lumo::gamestate::GameStateListener listener = lumo::gamestate::openGameStateListener(lumo::games::kDota.port);
    if (!listener) return 0;
    lumo::status::StatusWriter status(std::string(lumo::games::kDota.program), lumo::lighting::lightingInUse());
    lumo::gamestate::serveGameState(listener, [&status](char* jsonStart, std::int64_t) {
        if (jsonStart != nullptr) handleGameState(lumo::gamestate::widenRequestText(jsonStart).c_str());
        status.notePost(jsonStart);
    });
    return -1;
}

}  // namespace heroglow
