#include "cs_go_integration/cs2_bindings.h"

#include <charconv>
#include <cstdint>
#include <map>

#include "cs_go_integration/key_bindings.h"
#include "lighting/keyboard_layout.h"
#include "text/ascii.h"

namespace roundglow {

using lumo::util::KeyValues;

namespace {

constexpr std::string_view kUnbound = "<unbound>";
constexpr std::string_view kScancodePrefix = "scancode";
constexpr std::uint64_t kSteamId64Base = 76561197960265728ULL;

// SDL names physical keys by their USB HID usage: the key-cell table's name of the key the
// layout puts at that code, or nullopt when the code is no key the table knows.
std::optional<std::string> keyNameFromScancode(int code) {
    const lumo::lighting::LayoutKey* key = lumo::lighting::keyWithHidCode(code);
    if (key == nullptr) return std::nullopt;
    for (const auto& [name, cell] : keyCellTable) {
        if (cell == key->cell) return name;
    }
    return std::nullopt;
}

// Key (as the file writes it, lowercased by the reader) -> command.
void collectBindings(const KeyValues& file, std::map<std::string, std::string>& keyCommands) {
    // child() hands out copies: keep each block alive while its values are read.
    const KeyValues config = file.child("config");
    const KeyValues bindings = config.child("bindings");
    for (const auto& [key, command] : bindings.values()) keyCommands[key] = command;
}

}  // namespace

std::optional<std::string> keyNameFromVcfg(std::string_view key) {
    if (lumo::util::startsWithIgnoringAsciiCase(key, kScancodePrefix)) {
        const std::string_view digits = key.substr(kScancodePrefix.size());
        int code = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
            return std::string(key);
        return keyNameFromScancode(code);
    }
    for (const auto& [name, cell] : keyCellTable) {
        if (lumo::util::equalsIgnoringAsciiCase(name, key)) return name;
    }
    // Spelled as bind lines spell them, so that arrows are refused here too.
    for (const std::string_view arrow : kArrowKeys) {
        if (lumo::util::equalsIgnoringAsciiCase(arrow, key)) return std::string(arrow);
    }
    return std::string(key);
}

void applyCs2Bindings(const KeyValues& defaults, const KeyValues& user) {
    std::map<std::string, std::string> defaultKeys;
    std::map<std::string, std::string> userKeys;
    collectBindings(defaults, defaultKeys);
    collectBindings(user, userKeys);
    const auto apply = [](const std::string& key, const std::string& command) {
        if (command == kUnbound) return;
        if (const auto name = keyNameFromVcfg(key)) applyBinding(*name, command);
    };
    // A key the player redefined (or unbound) no longer carries the default file's command;
    // the player's bindings come last, so they win over the defaults file's.
    for (const auto& [key, command] : defaultKeys) {
        if (userKeys.count(key) == 0) apply(key, command);
    }
    for (const auto& [key, command] : userKeys) apply(key, command);
}

std::optional<std::uint32_t> accountIdFromSteamId(std::string_view steamId64) {
    std::uint64_t id = 0;
    const auto [end, error] = std::from_chars(steamId64.data(), steamId64.data() + steamId64.size(), id);
    if (error != std::errc() || end != steamId64.data() + steamId64.size() || steamId64.empty())
        return std::nullopt;
    if (id < kSteamId64Base || id - kSteamId64Base > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(id - kSteamId64Base);
}

}  // namespace roundglow
