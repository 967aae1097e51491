#pragma once

#include <string>

#include "filesystem/path.h"
#include "games/games.h"

namespace lumo::util {

// A Steam game's installation folder as UTF-8, or "" when Steam or the game cannot be found;
// Steam files that exist but cannot be read count as not found. `problem`, when given, is ""
// afterwards unless reading failed, and then says why in one line. Never throws.
std::string findSteamAppFolderOrEmpty(const std::string& appId, std::string* problem = nullptr);

// Makes sure `cfgFolder` (or its `subFolder`, created when missing; "" for none) holds the
// Game State Integration file `fileName`, copied from the program's Applet_Files folder: the
// one in the working folder, else the one beside the executable. `cfgFolder` must exist (the
// game made it). A file already there, even an empty one, is the user's and stays. A copy
// that fails part way is removed again, so that it cannot pass as installed at the next
// start. True when the file is in place; false otherwise, and then `problem`, when given,
// says why in one line that names the path concerned ("" after success). Never throws.
bool installIntegrationFile(const filesystem::path& cfgFolder, const std::string& subFolder,
                            const std::string& fileName, std::string* problem = nullptr);

// installIntegrationFile for `game` installed in `gameFolder` (UTF-8): into the cfg folder and
// subfolder of the first of the game's editions whose marker folder exists there.
bool installGameIntegrationFile(const games::Game& game, const std::string& gameFolder, std::string* problem = nullptr);

}  // namespace lumo::util
