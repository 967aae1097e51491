// What a program run takes from the system, for Windows: values in the real registry.
#include "program_platform.h"

#include <stdexcept>

#include "registry_writer.h"
#include "text.h"
#include "registry/registry_file.h"

namespace lumo::test {

// A program started with its own environment block gets nothing else: without SystemRoot,
// Winsock does not start. The tests run under Wine, whose WINE* variables keep its messages
// out of the program's error output.
std::vector<std::string> passedThroughVariables() {
    return {"PATH",    "SystemRoot",   "SystemDrive", "windir",  "TEMP",    "TMP",       "USERPROFILE",
            "APPDATA", "LOCALAPPDATA", "ProgramData", "ComSpec", "PATHEXT", "WINEDEBUG", "WINEDLLOVERRIDES"};
}

std::string programText(std::string written) {
    std::string text;
    text.reserve(written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n') continue;
        text += written[i];
    }
    return text;
}

struct ProgramRegistry::State {
    explicit State(std::vector<std::string> keys) : writer(std::move(keys)) {}
    RegistryWriter writer;
};

ProgramRegistry::ProgramRegistry(const std::string& text, const std::filesystem::path&) {
    const std::optional<lumo::util::RegistryKeys> keys = lumo::util::parseRegistryFile(text);
    if (!keys) throw std::runtime_error("malformed registry text for a program run:\n" + text);
    std::vector<std::string> owned{kSdkRegistryKey, kSteamRegistryKey};
    for (const auto& [key, values] : *keys) owned.push_back(key);
    state_ = std::make_unique<State>(std::move(owned));
    // Only strings: the programs read nothing else.
    for (const auto& [key, values] : *keys) {
        for (const auto& [name, value] : values) {
            if (value.isString) state_->writer.setString(key, name, value.text);
        }
    }
}

ProgramRegistry::~ProgramRegistry() = default;

std::vector<std::pair<std::string, std::string>> ProgramRegistry::environment() const { return {}; }

}  // namespace lumo::test
