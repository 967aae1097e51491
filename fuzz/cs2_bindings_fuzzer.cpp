// Counter-Strike 2's binding files, the defaults file and the player's (split at the input's
// first NUL byte): the binding table keeps its 22 commands, each on no key or on a key that one
// of the files (or the built-in defaults standing in for the defaults file) names, and
// SteamID64 texts convert both ways.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "cs_go_integration/cs2_bindings.h"
#include "cs_go_integration/key_bindings.h"
#include "keybinds/key_names.h"
#include "keybinds/user_files.h"
#include "text/ascii.h"
#include "steam/keyvalues.h"

using namespace roundglow;

using lumo::util::KeyValues;

namespace {

std::map<std::string, std::string>* defaults = nullptr;

std::vector<std::pair<std::string, std::string>> fileBindings(const KeyValues& file) {
    return file.child("config").child("bindings").entriesInOrder();
}

// A file's key is the table's key in another spelling, or the very name the file wrote.
bool namedBy(const std::vector<std::pair<std::string, std::string>>& bindings, const std::string& key) {
    for (const auto& [name, command] : bindings) {
        if (name == key || roundglow::tableKeyName(name, keyCellTable) == key) return true;
    }
    return false;
}

// Leading zeros are allowed; the number is what counts.
void checkSteamId(std::string_view text) {
    const auto account = lumo::keybinds::accountIdFromSteamId(text);
    if (account)
        FUZZ_CHECK(std::to_string(76561197960265728ULL + *account) ==
                   text.substr(text.find_first_not_of('0')));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    buildKeyCellTable();
    buildDefaultBindings();
    defaults = new std::map<std::string, std::string>(bindingTable);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t split = text.find('\0');
    KeyValues defaultsFile;
    KeyValues userFile;
    defaultsFile.parse(text.substr(0, split));
    if (split != std::string::npos) userFile.parse(text.substr(split + 1));

    buildDefaultBindings();
    roundglow::applyCs2Bindings(defaultsFile, userFile, keyCellTable, bindingTable);
    const auto fromDefaults = fileBindings(defaultsFile);
    const auto fromUser = fileBindings(userFile);
    FUZZ_CHECK(bindingTable.size() == defaults->size());
    auto original = defaults->begin();
    for (const auto& [command, key] : bindingTable) {
        FUZZ_CHECK(command == original->first);
        FUZZ_CHECK(key.empty() || key == original->second || namedBy(fromDefaults, key) || namedBy(fromUser, key));
        ++original;
    }

    for (const auto& bindings : {fromDefaults, fromUser}) {
        for (const auto& [key, command] : bindings) {
            if (const auto name = roundglow::tableKeyName(key, keyCellTable))
                FUZZ_CHECK(lumo::keybinds::cellOfKeyName(key) == keyCellTable.at(*name));
        }
    }
    checkSteamId(std::string_view(text).substr(0, split));
    return 0;
}
