#include "games/games.h"

namespace lumo::games {

std::vector<std::string> components(std::string_view relative) {
    std::vector<std::string> parts;
    while (!relative.empty()) {
        const std::size_t slash = relative.find('/');
        const std::string_view part = relative.substr(0, slash);
        if (!part.empty()) parts.emplace_back(part);
        if (slash == std::string_view::npos) break;
        relative.remove_prefix(slash + 1);
    }
    return parts;
}

const Edition& editionOf(const Game& game, const std::function<bool(std::string_view relative)>& hasFolder) {
    for (const Edition& edition : game.editions) {
        if (edition.marker.empty() || hasFolder(edition.marker)) return edition;
    }
    return game.editions.back();
}

std::string readFolder(const Edition& edition) {
    std::string folder(edition.cfgFolder);
    if (!edition.subfolder.empty()) {
        folder += '/';
        folder += edition.subfolder;
    }
    return folder;
}

const Game* findByKey(std::string_view key) {
    for (const Game& game : all()) {
        if (game.key == key) return &game;
    }
    return nullptr;
}

}  // namespace lumo::games
