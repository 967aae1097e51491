#include "steam/steam_report.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "filesystem/operations.h"
#include "steam/keyvalues.h"
#include "steam/steam_internal.h"
#include "steam/steam_locations.h"
#include "text/strings.h"

namespace lumo::util {

namespace fs = lumo::filesystem;

namespace {

constexpr const char* kSearchedList = "steamapps/libraryfolders.vdf";
constexpr const char* kOtherList = "config/libraryfolders.vdf";

std::string shown(const fs::path& p) {
    try {
        return p.string();
    } catch (const std::exception&) {
        return "(a path without a UTF-8 form)";
    }
}

bool isFolder(const fs::path& p, std::vector<std::string>& problems) {
    std::error_code ec;
    const bool folder = !p.empty() && fs::is_directory(p, ec);
    if (ec) problems.push_back(shown(p) + " cannot be examined: " + ec.message());
    return folder;
}

bool isDecimal(const std::string& key) {
    return !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
}

// The same library written twice ("D:/Games", "D:\Games\") is one.
std::string sameLibraryKey(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    while (text.size() > 1 && text.back() == '\\') text.pop_back();
    return text;
}

struct Recorded {
    std::string number;
    std::string text;
    bool oldLayout = false;  // "N" "path" rather than "N" { "path" ... }
};

// Every numbered library of a LibraryFolders block in both layouts, by number; entry 0 is
// Steam's own folder.
std::vector<Recorded> recordedLibraries(const KeyValues& block) {
    std::vector<Recorded> recorded;
    for (const auto& [key, value] : block.values()) {
        if (isDecimal(key) && key != "0" && !value.empty()) recorded.push_back({key, value, true});
    }
    for (const auto& [key, child] : block.children()) {
        const std::string path = child.value("path");
        if (isDecimal(key) && key != "0" && !path.empty()) recorded.push_back({key, path, false});
    }
    std::stable_sort(recorded.begin(), recorded.end(), [](const Recorded& a, const Recorded& b) {
        return a.number.size() != b.number.size() ? a.number.size() < b.number.size() : a.number < b.number;
    });
    for (Recorded& library : recorded) library.text = replaceAll(library.text, "\\\\", "\\");
    return recorded;
}

// The LibraryFolders block of `file`; an empty node when the file is missing or unreadable.
KeyValues libraryFoldersBlock(const fs::path& file, std::vector<std::string>& problems) {
    KeyValues list;
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        if (ec) problems.push_back(shown(file) + " cannot be examined: " + ec.message());
        return list;
    }
    try {
        list.parseFile(file.string());
    } catch (const std::exception& error) {
        problems.push_back(shown(file) + " cannot be read: " + error.what());
    }
    return list.child("LibraryFolders");
}

void addLibrary(SteamReport& report, const std::string& text, bool searched, const std::string& whyNot) {
    std::error_code ec;
    const fs::path folder = fs::path_from_utf8(text, ec);
    if (ec) {
        report.problems.push_back("a library's folder is not UTF-8 text: " + text);
        return;
    }
    const std::string key = sameLibraryKey(text);
    for (SteamLibrary& library : report.libraries) {
        if (sameLibraryKey(shown(library.folder)) != key) continue;
        if (searched && !library.searched) {
            library.searched = true;
            library.notSearchedBecause.clear();
        }
        return;
    }
    report.libraries.push_back({folder, isFolder(folder, report.problems), searched, searched ? "" : whyNot});
}

}  // namespace

SteamReport reportSteamAt(const fs::path& root, SteamSource source) {
    SteamReport report;
    report.root = root;
    report.source = source;
    if (root.empty()) return report;
    const bool programsFindSteam = source != SteamSource::snap;
    const std::string inSnap = "Steam was found only in Snap's folder";
    report.libraries.push_back(
        {root, isFolder(root, report.problems), programsFindSteam, programsFindSteam ? "" : inSnap});

    const KeyValues searchedList =
        libraryFoldersBlock(root / fs::path("steamapps") / fs::path("libraryfolders.vdf"), report.problems);
    const std::vector<std::string> searched =
        programsFindSteam ? searchedLibraryTexts(searchedList) : std::vector<std::string>();
    for (const Recorded& library : recordedLibraries(searchedList)) {
        const bool isSearched = std::find(searched.begin(), searched.end(), library.text) != searched.end();
        const std::string whyNot = !programsFindSteam  ? inSnap
                                   : library.oldLayout ? std::string("written in the layout before 2021")
                                                       : std::string("after a gap in the numbering of ") + kSearchedList;
        addLibrary(report, library.text, isSearched, whyNot);
    }
    const KeyValues otherList =
        libraryFoldersBlock(root / fs::path("config") / fs::path("libraryfolders.vdf"), report.problems);
    for (const Recorded& library : recordedLibraries(otherList)) {
        addLibrary(report, library.text, false, programsFindSteam ? std::string("recorded only in ") + kOtherList : inSnap);
    }
    return report;
}

SteamReport reportSteam() {
    SteamReport none;
    SteamSource source = SteamSource::none;
    std::string location;
    try {
        location = locateRegistered(kSteamRegistryKey, kSteamValue, kSteamExe, source);
    } catch (const std::exception& error) {
        // The programs stop here as well: they do not go on to the fallback folders.
        none.problems.push_back(std::string("Steam's registered folder cannot be examined: ") + error.what());
        return none;
    }
    if (location.empty()) location = firstExistingFallbackFolder(source, &none.problems);
    if (location.empty()) {
        std::error_code ec;
        const std::string snap = steamSnapLocation();
        const fs::path folder = fs::path_from_utf8(snap, ec);
        if (!snap.empty() && !ec && isFolder(folder, none.problems)) {
            location = snap;
            source = SteamSource::snap;
        }
    }
    if (location.empty()) return none;

    // As findSteamFolder: the registry may name Steam.exe rather than its folder.
    std::error_code ec;
    fs::path root = fs::path_from_utf8(location, ec);
    const bool there = !ec && fs::exists(root, ec);
    if (ec) none.problems.push_back(location + " cannot be examined: " + ec.message());
    if (!there) return none;
    if (fs::is_regular_file(root, ec)) root = root.parent_path();
    SteamReport report = reportSteamAt(root, source);
    report.problems.insert(report.problems.begin(), none.problems.begin(), none.problems.end());
    return report;
}

std::optional<SteamGame> reportGame(SteamReport& steam, const std::string& appId) {
    if (steam.libraries.empty() || !isNumber(appId)) return std::nullopt;
    std::vector<std::size_t> order;
    for (const bool searched : {true, false}) {
        for (std::size_t i = 0; i < steam.libraries.size(); ++i) {
            if (steam.libraries[i].searched == searched) order.push_back(i);
        }
    }
    // After a failure that ends findSteamAppFolder's search, nothing later is found by it.
    bool searchEnded = false;
    std::optional<SteamGame> missing;
    for (const std::size_t index : order) {
        const SteamLibrary& library = steam.libraries[index];
        SteamGame game;
        game.library = index;
        try {
            game.folder = findAppInSteamLibrary(library.folder, appId, game.installDir);
        } catch (const std::exception& error) {
            steam.problems.push_back("the app manifest of " + appId + " in " + shown(library.folder) +
                                     " cannot be read: " + error.what());
            searchEnded = searchEnded || library.searched;
            continue;
        }
        if (game.folder.empty()) continue;
        std::error_code ec;
        game.present = fs::exists(game.folder, ec);
        if (ec) {
            steam.problems.push_back(shown(game.folder) + " cannot be examined: " + ec.message());
            searchEnded = searchEnded || index == 0;
        }
        game.foundByPrograms = game.present && library.searched && !searchEnded;
        if (game.present) return game;
        if (!missing) missing = game;
    }
    return missing;
}

}  // namespace lumo::util
