#include "dota_integration/integration_file.h"

#include <iostream>
#include <string>

#include "filesystem/path.h"
#include "steam/integration_file.h"

namespace heroglow {

namespace fs = lumo::filesystem;

bool installIntegrationFile() {
    std::string problem;
    bool installed = false;
    const std::string folder = lumo::util::findSteamAppFolderOrEmpty("570", &problem);
    if (!folder.empty()) {
        const fs::path cfgFolder = fs::path(folder) / fs::path("game") / fs::path("dota") / fs::path("cfg");
        installed = lumo::util::installIntegrationFile(cfgFolder, "gamestate_integration",
                                                       "gamestate_integration_kelvaron.cfg", &problem);
    }
    if (!problem.empty()) std::cerr << "heroglow: " << problem << std::endl;
    return installed;
}

}  // namespace heroglow
