#pragma once

namespace heroglow {

// Makes sure Dota 2's cfg/gamestate_integration folder holds the integration file; false
// when the game's folder cannot be found (or the file could not be installed). Why, when
// there is more to say than "not found", goes to standard error as one line.
bool installIntegrationFile();

}  // namespace heroglow
