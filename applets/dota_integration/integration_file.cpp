#include "dota_integration/integration_file.h"

#include <iostream>
#include <string>

#include "games/games.h"
#include "steam/integration_file.h"

namespace heroglow {

bool installIntegrationFile() {
    std::string problem;
    bool installed = false;
    const lumo::games::Game& game = lumo::games::kDota;
    const std::string folder = lumo::util::findSteamAppFolderOrEmpty(std::string(game.appId), &problem);
    if (!folder.empty()) installed = lumo::util::installGameIntegrationFile(game, folder, &problem);
    if (!problem.empty()) std::cerr << game.program << ": " << problem << std::endl;
    return installed;
}

}  // namespace heroglow
