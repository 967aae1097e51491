#pragma once

// heroglow's integration file and the Steam trees its tests install it into.

#include <filesystem>
#include <string>

#include "fake_steam.h"
#include "program_run.h"

namespace lumo::test {

constexpr const char* kFileName = "gamestate_integration_kelvaron.cfg";
constexpr const char* kNotInstalled = "Could not install the integration config file \n";

// A Steam folder that knows Dota 2 under `installDir`, with the game's cfg folder unless
// told otherwise.
class DotaSteam : public FakeSteam {
public:
    explicit DotaSteam(const std::string& installDir = "dota 2 beta", bool withCfgFolder = true)
        : FakeSteam(kDotaAppId, installDir) {
        if (withCfgFolder) std::filesystem::create_directories(cfg());
    }

    std::filesystem::path cfg() const { return game() / "game" / "dota" / "cfg"; }
    std::filesystem::path target() const { return cfg() / "gamestate_integration" / kFileName; }
    // Where the game keeps the hotkeys the player set for `account`.
    std::filesystem::path hotkeyFile(const std::string& account) const {
        return steam() / "userdata" / account / "570" / "remote" / "cfg" / "dotakeys_personal.lst";
    }
};

}  // namespace lumo::test
