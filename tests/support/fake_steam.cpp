#include "fake_steam.h"

#include "text.h"

namespace lumo::test {

namespace {

std::string manifest(const std::string& appId, const std::string& installDir) {
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"installdir\"\t\t\"" + installDir + "\"\n}\n";
}

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

FakeSteam::FakeSteam(const std::string& appId, const std::string& installDir) : appId_(appId), installDir_(installDir) {
    writeFile(steam() / "steamapps" / ("appmanifest_" + appId + ".acf"), manifest(appId, installDir));
    const std::u8string dir(installDir.begin(), installDir.end());
    game_ = steam() / "steamapps" / "common" / std::filesystem::path(dir);
    std::filesystem::create_directories(game_);
}

std::filesystem::path FakeSteam::userdataCfg(const std::string& account) const {
    return steam() / "userdata" / account / appId_ / "local" / "cfg";
}

std::string FakeSteam::registry() const { return steamRegistrySection(steam()); }

void FakeSteam::moveGameTo(const std::filesystem::path& library) {
    const std::filesystem::path steamapps = game_.parent_path().parent_path();
    std::filesystem::remove(steamapps / ("appmanifest_" + appId_ + ".acf"));
    std::filesystem::remove_all(game_);
    writeFile(library / "steamapps" / ("appmanifest_" + appId_ + ".acf"), manifest(appId_, installDir_));
    const std::u8string dir(installDir_.begin(), installDir_.end());
    game_ = library / "steamapps" / "common" / std::filesystem::path(dir);
    std::filesystem::create_directories(game_);
}

void FakeSteam::writeLibraryList(const std::string& relative,
                                 const std::vector<std::pair<std::string, std::filesystem::path>>& libraries,
                                 Layout layout) const {
    std::string text = "\"libraryfolders\"\n{\n";
    for (const auto& [number, folder] : libraries) {
        // Steam doubles the backslashes of Windows paths.
        const std::string path = regQuoted(utf8(folder));
        text += layout == Layout::blocks ? "\t\"" + number + "\"\n\t{\n\t\t\"path\"\t\t\"" + path + "\"\n\t}\n"
                                         : "\t\"" + number + "\"\t\t\"" + path + "\"\n";
    }
    writeFile(steam() / std::filesystem::path(relative), text + "}\n");
}

}  // namespace lumo::test
