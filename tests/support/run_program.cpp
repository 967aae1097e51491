#include "run_program.h"

#include <chrono>
#include <optional>

#include <gtest/gtest.h>

#include "child_process.h"
#include "environment.h"
#include "files.h"
#include "program_platform.h"

namespace lumo::test {

using namespace std::chrono_literals;

namespace {

constexpr auto kToolTimeout = 60s;

}  // namespace

std::vector<std::pair<std::string, std::string>> passedThrough() {
    std::vector<std::pair<std::string, std::string>> variables;
    for (const std::string& name : passedThroughVariables()) {
        if (std::optional<std::string> value = environmentValue(name)) variables.emplace_back(name, *value);
    }
    return variables;
}

ProgramOutcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& folder, const std::filesystem::path& workingDirectory) {
    const std::filesystem::path out = folder / "program.out";
    const std::filesystem::path err = folder / "program.err";
    ProgramOutcome outcome;
    {
        ChildProcess child({.program = program,
                            .arguments = arguments,
                            .environment = passedThrough(),
                            .workingDirectory = workingDirectory,
                            .output = out,
                            .errors = err});
        if (const std::optional<int> code = child.waitForExit(kToolTimeout)) {
            outcome.exitCode = *code;
        } else {
            ADD_FAILURE() << program << " did not end";
        }
    }
    outcome.output = programText(readFile(out));
    outcome.errors = programText(readFile(err));
    return outcome;
}

}  // namespace lumo::test
