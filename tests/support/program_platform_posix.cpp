// What a program run takes from the system, for POSIX systems: a registry export file.
#include "program_platform.h"

#include "files.h"

namespace lumo::test {

std::vector<std::string> passedThroughVariables() {
    return {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};
}

std::string programText(std::string written) { return written; }

struct ProgramRegistry::State {
    std::filesystem::path file;
};

ProgramRegistry::ProgramRegistry(const std::string& text, const std::filesystem::path& folder)
    : state_(std::make_unique<State>(State{folder / "registry.reg"})) {
    writeFile(state_->file, text);
}

ProgramRegistry::~ProgramRegistry() = default;

std::vector<std::pair<std::string, std::string>> ProgramRegistry::environment() const {
    return {{"LUMO_REGISTRY", state_->file.string()}};
}

}  // namespace lumo::test
