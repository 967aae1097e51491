#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

// How a child process starts. Its standard input reads nothing; its standard output and
// standard error go to the files named, created or emptied first.
struct ProcessStart {
    std::string program;                                             // the executable's path
    std::vector<std::string> arguments{};                            // after the program's name
    std::vector<std::pair<std::string, std::string>> environment{};  // all it sees
    std::filesystem::path workingDirectory{};                        // empty: the test's own
    std::filesystem::path output{};
    std::filesystem::path errors{};
    // When set, files the child writes may not grow beyond this many bytes: writes fail as
    // on a full disk, no signal. POSIX systems only: Windows has no such limit, and there the
    // constructor throws.
    std::optional<long> fileSizeLimit{};
};

// One running child process. The destructor stops it (see stop) unless it has ended.
class ChildProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit ChildProcess(const ProcessStart& start);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code (a program's -1 comes back as -1; death by signal N as 128 + N), or
    // nothing when the process still runs after `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Asks the process to end, kills it when it has not ended after `grace`, and reaps it.
    // On Windows it ends at once (TerminateProcess), with the code SIGTERM gives elsewhere.
    void stop(std::chrono::milliseconds grace);

private:
    std::intptr_t process_ = -1;
    std::optional<int> exitCode_;
};

}  // namespace lumo::test
