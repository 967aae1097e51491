#include "cs_go_integration/cs2_bindings.h"

#include <tuple>
#include <utility>
#include <vector>

#include "keybinds/key_names.h"
#include "text/ascii.h"

using lumo::util::KeyValues;

namespace roundglow {
namespace {

constexpr std::string_view kUnbound = "<unbound>";

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries bindingEntries(const KeyValues& file) {
    // child() hands out copies: keep each block alive while its entries are read.
    const KeyValues config = file.child("config");
    const KeyValues bindings = config.child("bindings");
    return bindings.entriesInOrder();
}

// One physical key however a file spells it: by its cell when it has one, else by name.
std::string keyIdentity(std::string_view key) {
    if (const auto cell = lumo::keybinds::cellOfKeyName(key)) {
        std::string identity(1, '#');
        identity += std::to_string(*cell);
        return identity;
    }
    return lumo::util::lowercaseAscii(key);
}

std::string_view tableCommand(std::string_view command) { return command == "+sprint" ? "+speed" : command; }

struct Binding {
    std::string key;  // as the file writes it
    std::optional<std::string> tableName;
    std::string command;
    int sequence;  // defaults file first, each file in its own order
};

}  // namespace

std::optional<std::string> tableKeyName(std::string_view key, const std::map<std::string, int>& keyCells) {
    const auto cell = lumo::keybinds::cellOfKeyName(key);
    if (!cell) return std::nullopt;
    for (const auto& [name, tableCell] : keyCells)
        if (tableCell == *cell) return name;
    return std::nullopt;
}

void applyCs2Bindings(const KeyValues& defaults, const KeyValues& user,
                      const std::map<std::string, int>& keyCells,
                      std::map<std::string, std::string>& bindings) {
    Entries defaultEntries = bindingEntries(defaults);
    if (defaultEntries.empty())
        for (const auto& [command, key] : bindings) defaultEntries.emplace_back(key, command);

    // Key identity -> what the key carries once the player's file has been laid over the
    // defaults file.
    std::map<std::string, Binding> effective;
    int sequence = 0;
    for (const Entries& entries : {defaultEntries, bindingEntries(user)}) {
        for (const auto& [key, command] : entries) {
            const std::string identity = keyIdentity(key);
            if (command == kUnbound) {
                effective.erase(identity);
            } else {
                effective[identity] = {key, tableKeyName(key, keyCells), std::string(tableCommand(command)),
                                       sequence};
            }
            ++sequence;
        }
    }

    for (auto& [command, key] : bindings) {
        const Binding* best = nullptr;
        for (const auto& [identity, binding] : effective) {
            if (binding.command != command) continue;
            if (best == nullptr || std::tuple(binding.tableName.has_value(), binding.sequence) >
                                       std::tuple(best->tableName.has_value(), best->sequence))
                best = &binding;
        }
        key = best == nullptr ? std::string() : best->tableName.value_or(best->key);
    }
}

}  // namespace roundglow
