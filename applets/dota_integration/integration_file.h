#pragma once

namespace heroglow {

// Makes sure Dota 2's cfg/gamestate_integration folder holds the integration file; false
// when the game's folder cannot be found (or the file could not be installed).
bool installIntegrationFile();

}  // namespace heroglow
