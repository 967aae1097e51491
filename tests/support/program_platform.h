#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

// Variables of the test's own environment that a program run sees as well: what the system
// needs to run a program, and the sanitizers' options.
std::vector<std::string> passedThroughVariables();

// A program's standard output or error as the tests compare it: on Windows the C runtime
// writes each "\n" of a program as "\r\n", which comes back as "\n" here.
std::string programText(std::string written);

// The registry a program run reads, given as registry export text (see registryFile). On POSIX
// it is the file `folder`/registry.reg, named by LUMO_REGISTRY. On Windows the programs read
// the real registry: the text's string values are written there, into keys emptied first
// along with the keys where the programs look for the SDK and Steam, and all of them are
// removed again when this goes; so such runs must not overlap in time. Throws
// std::runtime_error when the text cannot be written (on Windows also when it is malformed).
class ProgramRegistry {
public:
    ProgramRegistry(const std::string& text, const std::filesystem::path& folder);
    ~ProgramRegistry();
    ProgramRegistry(const ProgramRegistry&) = delete;
    ProgramRegistry& operator=(const ProgramRegistry&) = delete;

    // The variables that point the program at it.
    std::vector<std::pair<std::string, std::string>> environment() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lumo::test
