#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

// The variables of the test's own environment that passedThroughVariables() names, with
// their values; those not set are left out.
std::vector<std::pair<std::string, std::string>> passedThrough();
// `variables`, then the passed-through ones they do not name: a test that gives one of those
// (LOCALAPPDATA for a state folder of its own) must not see the child read the test's.
std::vector<std::pair<std::string, std::string>> withPassedThrough(std::vector<std::pair<std::string, std::string>> variables);

// What a program run to its end left: its exit code (-1 when it had to be stopped) and
// its standard output and error.
struct ProgramOutcome {
    int exitCode = -1;
    std::string output;
    std::string errors;
};
// Runs `program` with `arguments` to its end (a minute at most), its output captured in
// files under `folder`, in `workingDirectory` (empty: the test's own), with `environment`
// and the passedThroughVariables() it does not name.
ProgramOutcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& folder, const std::filesystem::path& workingDirectory = {},
                          std::vector<std::pair<std::string, std::string>> environment = {});

}  // namespace lumo::test
