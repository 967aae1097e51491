// Where Steam is, its libraries, and the library a game sits in, as the programs' own locator
// reports them.
#include "lumo_doctor/check_support.h"
#include "lumo_doctor/doctor_paths.h"

namespace lumo::doctor {

namespace {

std::string describeSource(util::SteamSource source) {
    switch (source) {
    case util::SteamSource::registry: return std::string("the registry (") + util::kSteamRegistryKey + "\\InstallPath)";
    case util::SteamSource::registry32: return std::string("the registry (") + util::kSteamRegistryKey + "\\InstallPath, 32-bit view)";
    case util::SteamSource::linuxFolders: return "Steam's Linux folders";
    case util::SteamSource::flatpak: return "Flatpak's folder";
    case util::SteamSource::snap: return "Snap's folder";
    case util::SteamSource::none: break;
    }
    return "nothing";
}

std::string shown(const filesystem::path& path) { return filesystem::utf8_text(filesystem::to_std_path(path)); }

}  // namespace

Check checkSteam(const Facts& facts) {
    const util::SteamReport& steam = facts.steam;
    const std::string problems = joined(steam.problems, "; ");
    if (steam.root.empty()) {
        return makeCheck("steam", "all", Status::failure, "Steam not found" + (problems.empty() ? "" : " (" + problems + ")"),
                         "Install Steam, or start it once so that it records where it is.");
    }
    const bool snap = steam.source == util::SteamSource::snap;
    std::vector<std::string> libraries;
    bool gone = false;
    for (const util::SteamLibrary& library : steam.libraries) {
        std::string text = shown(library.folder);
        if (!library.present) text += " (missing)";
        if (!library.searched && !snap) text += " (the programs do not search it: " + library.notSearchedBecause + ")";
        libraries.push_back(text);
        gone = gone || !library.present;
    }
    std::string finding = shown(steam.root) + ", found by " + describeSource(steam.source) + "; libraries: " + joined(libraries);
    if (!problems.empty()) finding += "; " + problems;
    if (snap) {
        return makeCheck("steam", "all", Status::failure, finding,
                         "The programs do not look in Snap's folder, so they cannot install the integration files: copy "
                         "each from the program's Applet_Files yourself (see the lines below for where).");
    }
    if (gone) {
        return makeCheck("steam", "all", Status::warning, finding,
                         "Steam lists libraries that are gone (a drive not attached?); games there cannot be found.");
    }
    if (!problems.empty()) {
        return makeCheck("steam", "all", Status::warning, finding,
                         "The programs pass over what they cannot examine or read: check that this user may read those paths.");
    }
    return makeCheck("steam", "all", Status::ok, finding);
}

Check checkGameLocation(const games::Game& game, const Facts& facts) {
    const std::string title(game.title);
    const std::string program(game.program);
    const auto found = facts.games.find(game.key);
    const std::optional<util::SteamGame>& install = found == facts.games.end() ? std::nullopt : found->second;
    if (!install || !install->present) {
        return makeCheck("game", game.key, Status::warning,
                         !install ? title + " is not installed in any Steam library" : shown(install->folder) + " is missing",
                         "Install " + title + " through Steam; the checks of its files are skipped.");
    }
    const util::SteamLibrary& library = facts.steam.libraries[install->library];
    const std::string edition = gameFolders(game, filesystem::to_std_path(install->folder)).edition;
    const std::string finding = edition + " in " + shown(library.folder) + ", installdir \"" + install->installDir + "\"";
    if (install->foundByPrograms) return makeCheck("game", game.key, Status::ok, finding);
    if (facts.steam.source == util::SteamSource::snap) {
        return makeCheck("game", game.key, Status::failure, finding + ", where " + program + " does not look",
                         program + " does not look in Snap's folder: the lines below say where its file goes.");
    }
    if (library.searched) {
        return makeCheck("game", game.key, Status::failure,
                         finding + "; " + program + "'s search ends before it, at what the Steam line names",
                         "Let this user read what the Steam line names, then start " + program + " again.");
    }
    return makeCheck("game", game.key, Status::failure,
                     finding + ", a library " + program + " does not search (" + library.notSearchedBecause + ")",
                     "Move " + title + " to a library " + program + " searches (Steam > Settings > Storage), or remove " +
                         shown(library.folder) + " in Steam and add it again, so that Steam rewrites steamapps/libraryfolders.vdf.");
}

}  // namespace lumo::doctor
