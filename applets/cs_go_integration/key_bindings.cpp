#include "cs_go_integration/key_bindings.h"

#include <algorithm>

#include "cs_go_integration/cs2_bindings.h"
#include "filesystem/path.h"
#include "keybinds/player_file.h"
#include "keybinds/user_files.h"
#include "lighting/key_cells.h"
#include "steam/keyvalues.h"
#include "text/strings.h"
#include "text/utf.h"

namespace roundglow {

namespace fs = lumo::filesystem;
using lumo::keybinds::PlayerFile;

std::map<std::string, int> keyCellTable;
std::map<std::string, std::string> bindingTable;
namespace {

// The files the bindings come from, followed for the player at the keyboard: CS:GO's
// config.cfg, and Counter-Strike 2's defaults and player's files, which where either exists
// decide alone (config.cfg is then a leftover of the older game).
struct BindingFiles {
    PlayerFile config;
    PlayerFile cs2Defaults;
    PlayerFile cs2User;
    bool fromCs2 = false;  // the table was last built from Counter-Strike 2's files
};
BindingFiles files;

constexpr std::pair<const char*, const char*> kDefaultBindings[] = {
    {"slot1", "1"},      {"slot2", "2"},       {"slot3", "3"},     {"slot4", "4"},
    {"slot5", "5"},      {"+moveleft", "a"},   {"+left", "a"},     {"buymenu", "b"},
    {"+moveright", "d"}, {"+right", "d"},      {"+use", "e"},      {"+lookatweapon", "f"},
    {"drop", "g"},       {"lastinv", "q"},     {"+reload", "r"},   {"+back", "s"},
    {"+forward", "w"},   {"messagemode", "y"}, {"+jump", "SPACE"}, {"+showscores", "TAB"},
    {"+speed", "SHIFT"}, {"+duck", "CTRL"},
};

// config.cfg looked for afresh, of the account the posts named.
PlayerFile freshConfigFile() {
    return PlayerFile(
        lumo::keybinds::steamFolderOrEmpty(),
        lumo::keybinds::csConfigPlace(lumo::keybinds::gameFolderOrEmpty(lumo::games::kCounterStrike)),
        files.config.account());
}

void applyBindLines(const std::string& text) {
    for (const std::string_view line : lumo::util::splitLines(text)) {
        const auto [key, command] = parseBindLine(line);
        applyBinding(key, command);
    }
}

lumo::util::KeyValues readKeyValues(const PlayerFile& file) {
    lumo::util::KeyValues root;
    if (const auto text = file.read()) root.parse(*text);
    return root;
}

}  // namespace

void buildKeyCellTable() {
    for (const lumo::lighting::KeyCell& key : lumo::lighting::keyCells()) {
        std::string name = lumo::util::toUtf8(key.name);
        // The game writes letters in lower case and named keys in upper case.
        if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
            name[0] = static_cast<char>(name[0] - 'A' + 'a');
        keyCellTable[name] = key.cell;
    }
}

void buildDefaultBindings() {
    for (const auto& [command, key] : kDefaultBindings) bindingTable[command] = key;
}

std::pair<std::string, std::string> parseBindLine(std::string_view line) {
    if (line.find("bind ") == std::string_view::npos) return {};
    // npos + 1 wraps to 0: a search after a missing quote starts again from the line's start.
    constexpr auto npos = std::string_view::npos;
    const std::size_t first = line.find('"');
    const std::size_t second = line.find('"', first + 1);
    const std::size_t third = line.find('"', second + 1);
    const std::size_t fourth = line.find('"', third + 1);
    const auto between = [line](std::size_t open, std::size_t close) {
        const std::size_t start = open + 1;
        if (start > line.size()) return std::string();
        return std::string(line.substr(start, close == npos ? npos : close - open - 1));
    };
    return {between(first, second), between(third, fourth)};
}

void readBindings() {
    PlayerFile fresh = freshConfigFile();
    fresh.check();
    if (const auto text = fresh.read()) applyBindLines(*text);
}

void applyBinding(const std::string& key, const std::string& command) {
    if (key.empty() || command.empty()) return;
    const auto binding = bindingTable.find(command);
    if (binding == bindingTable.end()) return;
    if (std::find(std::begin(kArrowKeys), std::end(kArrowKeys), key) != std::end(kArrowKeys)) return;
    binding->second = key;
}

void locateBindingFiles() {
    const fs::path steam = lumo::keybinds::steamFolderOrEmpty();
    const fs::path game = lumo::keybinds::gameFolderOrEmpty(lumo::games::kCounterStrike);
    files.config = PlayerFile(steam, lumo::keybinds::csConfigPlace(game));
    files.cs2Defaults = PlayerFile({}, lumo::keybinds::cs2DefaultKeysPlace(game));
    files.cs2User = PlayerFile(steam, lumo::keybinds::cs2UserKeysPlace());
}

void preferAccount(std::uint32_t accountId) {
    files.config.followAccount(accountId);
    files.cs2User.followAccount(accountId);
}

bool checkConfigFile() {
    // Both are checked, so that one check takes in a save of either file.
    const bool defaultsSaved = files.cs2Defaults.check();
    const bool userSaved = files.cs2User.check();
    if (!files.cs2Defaults.current().empty() || !files.cs2User.current().empty()) {
        if (files.fromCs2 && !defaultsSaved && !userSaved) return false;
        files.fromCs2 = true;
        buildDefaultBindings();
        roundglow::applyCs2Bindings(readKeyValues(files.cs2Defaults), readKeyValues(files.cs2User),
                                    keyCellTable, bindingTable);
        return true;
    }

    if (!files.config.check() && !files.fromCs2) return false;
    files.fromCs2 = false;
    buildDefaultBindings();
    if (const auto text = files.config.read()) applyBindLines(*text);
    return true;
}

std::optional<int> cellOfCommand(const std::string& command) {
    const auto binding = bindingTable.find(command);
    if (binding == bindingTable.end()) return std::nullopt;
    const auto cell = keyCellTable.find(binding->second);
    if (cell == keyCellTable.end()) return std::nullopt;
    return cell->second;
}

void resetKeyBindings() {
    files = BindingFiles{};
    keyCellTable.clear();
    bindingTable.clear();
}

}  // namespace roundglow
