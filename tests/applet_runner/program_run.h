#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "child_process.h"
#include "files.h"
#include "loopback.h"
#include "program_platform.h"
#include "run_program.h"

namespace lumo::test {

using namespace std::chrono_literals;

// heroglow's fixed game-state port and the app id Dota 2 posts with.
inline constexpr std::uint16_t kHeroglowPort = 3002;
inline constexpr const char* kDotaAppId = "570";
// roundglow's, and Counter-Strike's.
inline constexpr std::uint16_t kRoundglowPort = 5000;
inline constexpr const char* kCounterStrikeAppId = "730";

// The built programs and files the tests run with.
const char* heroglowBinary();
const char* roundglowBinary();
const char* simulatorLibrary();   // signed stand-in SDK (a .sig file beside it)
const char* lumoSignBinary();     // "" where the build has no lumo-sign
const char* sdkSigningKey();      // key file that lumo-sign takes
const char* appletFilesFolder();  // heroglow's integration file's folder in the source tree

struct ProgramSetup {
    std::string binary{};                      // the program to run
    std::uint16_t port = 0;                    // its game-state port
    std::string appId{};                       // the app id its game posts with ("570", "730")
    bool registerSdk = true;                   // the registry names the signed simulated keyboard
    std::string sdkPathOverride{};             // when set, the registry names this path instead
    std::string optionsJson{};                 // pre-seeded options file content ("" = no file)
    std::string extraRegistry{};               // more .reg text (e.g. Steam's InstallPath section)
    std::filesystem::path workingDirectory{};  // default: the run's folder
    // When set, files the program writes may not grow beyond this many bytes (a full disk,
    // as the program sees it: writes fail, no signal). POSIX systems only.
    std::optional<long> fileSizeLimit{};
    std::vector<std::pair<std::string, std::string>> environment{};  // more variables
};

// `setup` for heroglow: its binary, port 3002 and Dota 2's app id where they are not set,
// and HEROGLOW_ITEM_FEED_URL at a refused address (fast) unless `setup.environment` names it.
ProgramSetup heroglowSetup(ProgramSetup setup = {});
// `setup` for roundglow: its binary, port 5000 and Counter-Strike's app id where not set.
ProgramSetup roundglowSetup(ProgramSetup setup = {});

// One process of a program (the real binary) in its own temp folder: temp HOME, its
// registry (ProgramRegistry), LUMO_OPTIONS, LUMO_SIM_STATE, LUMO_SIM_JOURNAL, the setup's
// variables (which win over passed-through ones of the same name), and stdout+stderr captured to files (stdout.txt, stderr.txt in folder()). Only
// passedThroughVariables() come from the test's environment. The destructor stops the
// process (see ChildProcess::stop), reports a sanitizer finding on its standard error as a
// test failure, prints its output when the test has failed, removes its registry values and
// the folder.
class ProgramRun {
public:
    explicit ProgramRun(ProgramSetup setup);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    const std::filesystem::path& folder() const;
    // The options file LUMO_OPTIONS names (it exists once the program has declared options).
    std::filesystem::path optionsPath() const;
    // Rewrites the options file with a strictly later modification time, so the simulated
    // keyboard notices the change even within one tick of the file system's clock.
    void writeOptions(const std::string& text);
    // True once stdout contains `text`; false after `timeout`, or early when the process ended
    // without writing it.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = 10s);
    // "Server connected\n\n" seen and the setup's port listening (checked without connecting).
    bool waitUntilListening();
    // Sends one HTTP POST as the game does (gameStatePost with the setup's app id and port)
    // and returns after the program closed the connection.
    void post(const std::string& jsonBody);
    std::string output() const;                   // stdout so far
    std::string errors() const;                   // stderr so far
    nlohmann::json keyboard() const;              // LUMO_SIM_STATE content (null when absent)
    std::vector<nlohmann::json> journal() const;  // LUMO_SIM_JOURNAL lines
    // The exit code (a program's -1 comes back as -1; death by signal N as 128 + N), or
    // nothing when the process still runs after `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Asks the program to end as a service manager does (SIGTERM; on Windows it is terminated),
    // killing it when it has not ended within 2 s, and returns its exit code as above.
    std::optional<int> stop();
    // The variables the program was started with, for running a tool that must see what it
    // sees (its registry, home and state folders).
    const std::vector<std::pair<std::string, std::string>>& environment() const { return environment_; }

private:
    ProgramSetup setup_;
    std::vector<std::pair<std::string, std::string>> environment_;
    TempFolder folder_;
    std::unique_ptr<ProgramRegistry> registry_;
    std::unique_ptr<ChildProcess> process_;
};

// Key cell helpers over the state file: the [r,g,b] of key position p.
std::array<int, 3> keyColor(const nlohmann::json& keyboard, int position);
std::array<int, 3> deviceColor(const nlohmann::json& keyboard);

}  // namespace lumo::test
