#include "dota_integration/integration_file.h"

#include "filesystem/path.h"
#include "steam/integration_file.h"

namespace heroglow {

namespace fs = lumo::filesystem;

bool installIntegrationFile() {
    const std::string folder = lumo::util::findSteamAppFolderOrEmpty("570");
    if (folder.empty()) return false;
    const fs::path cfgFolder = fs::path(folder) / fs::path("game") / fs::path("dota") / fs::path("cfg");
    return lumo::util::installIntegrationFile(cfgFolder, "gamestate_integration",
                                              "gamestate_integration_kelvaron.cfg");
}

}  // namespace heroglow
