#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lumo_doctor/steam_facts.h"
#include "lumo_doctor/system_facts.h"

// The doctor's checks. Each looks at one cause of "the game posts nothing" and returns one
// line: what it found, and for anything not ok what to do. They only read; nothing of the
// player's is written or ended. What the operating system says comes in through Facts, so
// the checks run the same over a fake Steam tree in a test.

namespace lumo::doctor {

enum class Status { ok, warning, failure };
const char* statusName(Status status);  // "ok", "warning", "failure"

struct Check {
    std::string id;    // "integration-file", ... (stable, documented in docs/lumo-doctor.md)
    std::string game;  // "dota", "cs", or "all" for what both share
    Status status = Status::ok;
    std::string finding;
    std::string hint;  // empty when ok
};

inline constexpr const char* kIntegrationFileName = "gamestate_integration_kelvaron.cfg";

struct GameSpec {
    std::string key;    // "dota", "cs"
    std::string title;  // "Dota 2", "Counter-Strike"
    std::string appId;
    std::uint16_t port = 0;
    std::string program;                    // the program that serves it
    std::vector<std::string> processNames;  // the game's, without ".exe"
    std::string_view installedFile;         // the integration file the program installs
};
const GameSpec& dotaGame();
const GameSpec& counterStrikeGame();

// Where a game's integration file belongs, and where players misplace it.
struct GameFolders {
    std::string edition;                 // "Dota 2", "Counter-Strike 2", "CS:GO"
    std::filesystem::path readFolder;    // the folder the game reads
    std::vector<std::filesystem::path> wrongFolders;
    std::filesystem::path consoleLog;    // where -condebug writes
};
GameFolders gameFolders(const GameSpec& game, const std::filesystem::path& gameFolder);

struct PortFacts {
    std::optional<std::uint32_t> listener;  // see portListener()
    int bindError = 0;                      // binding 127.0.0.1 when nobody listens; 0: it worked
};
PortFacts probePort(std::uint16_t port);

// What the checks compare with, gathered once per run.
struct Facts {
    SteamRoot steam;
    std::vector<SteamLibrary> libraries;
    std::vector<ProcessInfo> processes;
    std::filesystem::path stateFolder;  // where the programs keep their status files (<state>/lumo)
    std::chrono::system_clock::time_point now;
    bool onLinux = false;
};
Facts gatherFacts();

// A result the listening check produced (see listenForPost).
struct HeardPost {
    bool received = false;
    std::chrono::milliseconds after{0};
    std::string appId;
    std::vector<std::string> sections;  // the top-level members of the post's JSON
    std::string body;
};

struct GameRun {
    PortFacts port;
    std::optional<HeardPost> heard;  // set when --listen ran
    std::optional<int> listenSeconds;
};

// The checks shared by both games: where Steam is, and its libraries.
Check checkSteam(const Facts& facts);
// Every check of one game, in the order they are shown. `listen`, when given, is run in place
// of the listening check's wait (tests pass a result, the program a real listen).
std::vector<Check> checkGame(const GameSpec& game, const Facts& facts, const GameRun& run);

// The lighting checks: the maker's SDK through the programs' own loader, and an OpenRGB
// server at the configured address.
Check checkMakerSdk(bool& usable);
Check checkOpenRgb(bool makerSdkUsable);

// Listens on 127.0.0.1:`port` for up to `seconds`, answering 200, and tells about the first
// post. nullopt when the port cannot be bound.
std::optional<HeardPost> listenForPost(std::uint16_t port, int seconds);

// Whether the program of `game` runs, as the process list and its status file say.
bool programRunning(const GameSpec& game, const Facts& facts);

// "3 s", "12 min", "2 h 5 min"
std::string describeDuration(std::chrono::seconds duration);

}  // namespace lumo::doctor
