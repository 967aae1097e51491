// Counter-Strike 2's binding files, the defaults file and the player's (split at the input's
// first NUL byte): the binding table keeps its 22 commands, each on a usable key that one of
// the files names, and SteamID64 texts convert both ways.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "binding_checks.h"
#include "cs_go_integration/cs2_bindings.h"
#include "cs_go_integration/key_bindings.h"
#include "text/ascii.h"
#include "steam/keyvalues.h"

using namespace roundglow;

using lumo::util::KeyValues;

namespace {

std::map<std::string, std::string>* defaults = nullptr;

std::map<std::string, std::string> fileBindings(const KeyValues& file) {
    return file.child("config").child("bindings").values();
}

// A file's key names a table key in any letter case, or a key-cell key by scancode.
bool namedBy(const std::map<std::string, std::string>& bindings, const std::string& key) {
    for (const auto& [name, command] : bindings) {
        if (lumo::util::equalsIgnoringAsciiCase(name, key)) return true;
        if (lumo::util::startsWithIgnoringAsciiCase(name, "scancode") && keyCellTable.count(key) != 0)
            return true;
    }
    return false;
}

// Leading zeros are allowed; the number is what counts.
void checkSteamId(std::string_view text) {
    const auto account = accountIdFromSteamId(text);
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
    applyCs2Bindings(defaultsFile, userFile);
    const auto fromDefaults = fileBindings(defaultsFile);
    const auto fromUser = fileBindings(userFile);
    checkBindingTable(*defaults, [&](const std::string& key) {
        return namedBy(fromDefaults, key) || namedBy(fromUser, key);
    });

    for (const auto& bindings : {fromDefaults, fromUser}) {
        for (const auto& [key, command] : bindings) {
            const auto name = keyNameFromVcfg(key);
            if (name && !lumo::util::startsWithIgnoringAsciiCase(key, "scancode"))
                FUZZ_CHECK(lumo::util::equalsIgnoringAsciiCase(*name, key));
        }
    }
    checkSteamId(std::string_view(text).substr(0, split));
    return 0;
}
