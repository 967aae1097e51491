#pragma once

#include <filesystem>
#include <string>

#include "files.h"

namespace lumo::test {

// A Steam folder in a temp folder that knows one game: the app manifest names `installDir`,
// and the game's folder exists (empty). registry() is the .reg section that makes the Steam
// locator find it.
class FakeSteam {
public:
    FakeSteam(const std::string& appId, const std::string& installDir);

    std::filesystem::path steam() const { return root_.path() / "Steam"; }
    const std::filesystem::path& game() const { return game_; }
    // <Steam>/userdata/<account>/<app id>/local/cfg, where the game saves the player's files.
    std::filesystem::path userdataCfg(const std::string& account) const;
    std::string registry() const;

private:
    TempFolder root_{"lumo-steam"};
    std::string appId_;
    std::filesystem::path game_;
};

}  // namespace lumo::test
