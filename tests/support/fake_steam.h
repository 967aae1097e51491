#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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

    // Moves the game (its manifest and folder) into the library `library`, made when missing.
    void moveGameTo(const std::filesystem::path& library);
    // Writes Steam's library list `relative` ("steamapps/libraryfolders.vdf" or
    // "config/libraryfolders.vdf") naming each (number, folder): as numbered blocks holding
    // "path", or in the layout before 2021 as numbered values.
    enum class Layout { blocks, values };
    void writeLibraryList(const std::string& relative, const std::vector<std::pair<std::string, std::filesystem::path>>& libraries,
                          Layout layout = Layout::blocks) const;

private:
    TempFolder root_{"lumo-steam"};
    std::string appId_;
    std::string installDir_;
    std::filesystem::path game_;
};

}  // namespace lumo::test
