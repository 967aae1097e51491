#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <sys/types.h>

#include "loopback.h"
#include "temp_folder.h"

namespace lumo::test {

using namespace std::chrono_literals;

// heroglow's fixed game-state port.
inline constexpr std::uint16_t kHeroglowPort = 3002;

// The built programs and files the black-box tests run with.
const char* heroglowBinary();
const char* simulatorLibrary();  // signed stand-in SDK (a .sig file beside it)
const char* lumoSignBinary();
const char* sdkSigningKey();      // key file that lumo-sign takes
const char* appletFilesFolder();  // the integration file's source folder in the source tree

struct HeroglowSetup {
    bool registerSdk = true;                          // registry file names the signed simulated keyboard
    std::string sdkPathOverride{};                    // when set, the registry names this path instead
    std::string optionsJson{};                        // pre-seeded options file content ("" = no file)
    std::string itemFeedUrl = "http://127.0.0.1:9/";  // HEROGLOW_ITEM_FEED_URL (refused: fast)
    std::string extraRegistry{};                      // more .reg lines (e.g. Steam's InstallPath section)
    std::filesystem::path workingDirectory{};         // default: the temp folder
    // When set, files the program writes may not grow beyond this many bytes (a full disk,
    // as the program sees it: writes fail, no signal).
    std::optional<long> fileSizeLimit{};
};

// One heroglow process (the real binary) in its own temp folder: temp HOME, LUMO_REGISTRY,
// LUMO_OPTIONS, LUMO_SIM_STATE, LUMO_SIM_JOURNAL, stdout+stderr captured to files (stdout.txt,
// stderr.txt in folder()). Only PATH and the sanitizers' options pass through from the test's
// environment. The destructor kills the process (SIGTERM, then SIGKILL), reaps it, reports a
// sanitizer finding on its standard error as a test failure, prints its output when the test
// has failed, and removes the folder.
class HeroglowRun {
public:
    explicit HeroglowRun(HeroglowSetup setup = {});
    ~HeroglowRun();
    HeroglowRun(const HeroglowRun&) = delete;
    HeroglowRun& operator=(const HeroglowRun&) = delete;

    const std::filesystem::path& folder() const;
    // True once stdout contains `text`; false after `timeout`, or early when the process ended
    // without writing it.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = 10s);
    // "Server connected\n\n" seen and port 3002 listening (checked without connecting).
    bool waitUntilListening();
    // Sends one HTTP POST as Dota 2 does (POST / HTTP/1.1, Content-Type: application/json,
    // Content-Length, Host 127.0.0.1:3002) and returns after the program closed the connection.
    void post(const std::string& jsonBody);
    std::string output() const;                   // stdout so far
    std::string errors() const;                   // stderr so far
    nlohmann::json keyboard() const;              // LUMO_SIM_STATE content (null when absent)
    std::vector<nlohmann::json> journal() const;  // LUMO_SIM_JOURNAL lines
    // The exit code (a program's -1 comes back as -1; death by signal N as 128 + N), or
    // nothing when the process still runs after `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

private:
    TempFolder folder_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// The request Dota 2 sends for `jsonBody`, header and body in one text.
std::string gameStatePost(const std::string& jsonBody);

// Key cell helpers over the state file: the [r,g,b] of key position p.
std::array<int, 3> keyColor(const nlohmann::json& keyboard, int position);
std::array<int, 3> deviceColor(const nlohmann::json& keyboard);

// A .reg section that makes the Steam locator find `steamFolder` (backslashes escaped).
std::string steamRegistrySection(const std::filesystem::path& steamFolder);
// Text quoted for a .reg value: backslashes and double quotes escaped.
std::string regQuoted(const std::string& text);

}  // namespace lumo::test
