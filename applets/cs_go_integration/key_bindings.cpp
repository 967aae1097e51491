#include "cs_go_integration/key_bindings.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "cs_go_integration/cs2_bindings.h"
#include "filesystem/file_time.h"
#include "filesystem/operations.h"
#include "filesystem/path.h"
#include "io/whole_file.h"
#include "keybinds/user_files.h"
#include "lighting/key_cells.h"
#include "steam/integration_file.h"
#include "steam/keyvalues.h"
#include "text/strings.h"
#include "text/utf.h"

namespace roundglow {

namespace fs = lumo::filesystem;

std::map<std::string, int> keyCellTable;
std::map<std::string, std::string> bindingTable;
namespace {

// config.cfg as found at start-up ("" when not found), its last-write time when last read
// (0 before), and whether the bindings have yet to be read from it.
std::wstring storedConfigPath;
fs::file_time storedConfigTime = 0;
bool firstBindingRead = true;

// Counter-Strike 2's binding files: the game's defaults and the player's own, each with its
// path (none when absent) and when it was last read.
lumo::keybinds::WatchedFile cs2DefaultsFile;
lumo::keybinds::WatchedFile cs2UserFile;

constexpr const char* kGameAppId = "730";

constexpr std::pair<const char*, const char*> kDefaultBindings[] = {
    {"slot1", "1"},      {"slot2", "2"},       {"slot3", "3"},     {"slot4", "4"},
    {"slot5", "5"},      {"+moveleft", "a"},   {"+left", "a"},     {"buymenu", "b"},
    {"+moveright", "d"}, {"+right", "d"},      {"+use", "e"},      {"+lookatweapon", "f"},
    {"drop", "g"},       {"lastinv", "q"},     {"+reload", "r"},   {"+back", "s"},
    {"+forward", "w"},   {"messagemode", "y"}, {"+jump", "SPACE"}, {"+showscores", "TAB"},
    {"+speed", "SHIFT"}, {"+duck", "CTRL"},
};

// A failing query (a folder without permission, say) is no reason to stop: the candidate is
// simply not used.
bool existsQuietly(const fs::path& candidate) {
    std::error_code ec;
    return fs::exists(candidate, ec);
}

std::optional<std::uint32_t> preferredAccount;
std::optional<std::uint32_t> accountOfLocatedFiles;

// `relative` below the userdata folder of the preferred account when it has that file, else of
// the account that wrote its copy last; empty when no account has one.
fs::path userdataFile(std::initializer_list<const char*> relative) {
    return lumo::keybinds::findUserFile(lumo::keybinds::steamFolderOrEmpty(), relative, preferredAccount);
}

lumo::util::KeyValues readKeyValues(const fs::path& file) {
    lumo::util::KeyValues root;
    if (file.empty()) return root;
    if (const auto text = lumo::util::readSharedFile(file)) root.parse(*text);
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

bool locateConfigFile(std::wstring& path) {
    path.clear();
    const std::string game = lumo::util::findSteamAppFolderOrEmpty(kGameAppId);
    if (!game.empty()) {
        try {
            for (const fs::path& candidate :
                 {fs::join(fs::path(game), {"csgo", "cfg", "config.cfg"}),
                  fs::join(fs::path(game), {"game", "csgo", "cfg", "config.cfg"})}) {
                if (existsQuietly(candidate)) {
                    path = candidate.wstring();
                    return true;
                }
            }
        } catch (const std::exception&) {
            // A game folder the path rules refuse has no config.cfg we could open.
        }
    }
    const fs::path saved = userdataFile({kGameAppId, "local", "cfg", "config.cfg"});
    if (saved.empty()) return false;
    path = saved.wstring();
    return true;
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
    std::wstring located;
    if (!locateConfigFile(located)) return;
    const auto text = lumo::util::readSharedFile(fs::path(located));
    if (!text) return;
    for (const std::string_view line : lumo::util::splitLines(*text)) {
        const auto [key, command] = parseBindLine(line);
        applyBinding(key, command);
    }
}

void applyBinding(const std::string& key, const std::string& command) {
    if (key.empty() || command.empty()) return;
    const auto binding = bindingTable.find(command);
    if (binding == bindingTable.end()) return;
    if (std::find(std::begin(kArrowKeys), std::end(kArrowKeys), key) != std::end(kArrowKeys)) return;
    binding->second = key;
}

namespace {

// The player's file, of the preferred account when it has one; its stored time starts at 0, so
// the next check reads it.
void locateCs2UserFile() {
    cs2UserFile = {userdataFile({kGameAppId, "local", "cfg", "cs2_user_keys_0_slot0.vcfg"})};
    accountOfLocatedFiles = preferredAccount;
}

}  // namespace

void rememberConfigFile() { locateConfigFile(storedConfigPath); }

void locateCs2BindingFiles() {
    cs2DefaultsFile = {};
    const std::string game = lumo::util::findSteamAppFolderOrEmpty(kGameAppId);
    if (!game.empty()) {
        try {
            const fs::path defaults =
                fs::join(fs::path(game), {"game", "csgo", "cfg", "user_keys_default.vcfg"});
            if (existsQuietly(defaults)) cs2DefaultsFile.path = defaults;
        } catch (const std::exception&) {
        }
    }
    locateCs2UserFile();
}

void preferAccount(std::uint32_t accountId) { preferredAccount = accountId; }

bool checkConfigFile() {
    if (preferredAccount != accountOfLocatedFiles && !cs2UserFile.path.empty()) locateCs2UserFile();
    if (!cs2DefaultsFile.path.empty() || !cs2UserFile.path.empty()) {
        // Both times are taken, so that one check takes in a save of either file.
        const bool defaultsSaved = cs2DefaultsFile.takeNewerTime();
        const bool userSaved = cs2UserFile.takeNewerTime();
        if (!defaultsSaved && !userSaved) return false;
        buildDefaultBindings();
        roundglow::applyCs2Bindings(readKeyValues(cs2DefaultsFile.path), readKeyValues(cs2UserFile.path),
                                    keyCellTable, bindingTable);
        firstBindingRead = false;
        return true;
    }

    if (storedConfigPath.empty()) return false;
    const auto written = fs::last_write_time(fs::path(storedConfigPath));
    if (!written || !fs::is_newer(*written, storedConfigTime)) return false;
    storedConfigTime = *written;
    if (!firstBindingRead) buildDefaultBindings();
    readBindings();
    firstBindingRead = false;
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
    cs2DefaultsFile = {};
    cs2UserFile = {};
    preferredAccount.reset();
    accountOfLocatedFiles.reset();
    keyCellTable.clear();
    bindingTable.clear();
    storedConfigPath.clear();
    storedConfigTime = 0;
    firstBindingRead = true;
}

}  // namespace roundglow
