#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

// The variables of the test's own environment that passedThroughVariables() names, with
// their values; those not set are left out.
std::vector<std::pair<std::string, std::string>> passedThrough();

// What a program run to its end left: its exit code (-1 when it had to be stopped) and
// its standard output and error.
struct ProgramOutcome {
    int exitCode = -1;
    std::string output;
    std::string errors;
};
// Runs `program` with `arguments` to its end (a minute at most), its output captured in
// files under `folder`, with only passedThroughVariables() from the test's environment, in
// `workingDirectory` (empty: the test's own).
ProgramOutcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& folder, const std::filesystem::path& workingDirectory = {});

}  // namespace lumo::test
