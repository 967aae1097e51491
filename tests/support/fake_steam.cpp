#include "fake_steam.h"

#include "text.h"

namespace lumo::test {

FakeSteam::FakeSteam(const std::string& appId, const std::string& installDir) : appId_(appId) {
    writeFile(
        steam() / "steamapps" / ("appmanifest_" + appId + ".acf"),
        "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"installdir\"\t\t\"" + installDir + "\"\n}\n");
    const std::u8string dir(installDir.begin(), installDir.end());
    game_ = steam() / "steamapps" / "common" / std::filesystem::path(dir);
    std::filesystem::create_directories(game_);
}

std::filesystem::path FakeSteam::userdataCfg(const std::string& account) const {
    return steam() / "userdata" / account / appId_ / "local" / "cfg";
}

std::string FakeSteam::registry() const { return steamRegistrySection(steam()); }

}  // namespace lumo::test
