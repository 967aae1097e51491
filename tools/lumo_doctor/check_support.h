#pragma once

// What the checks share, for the checks' own sources only.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "games/games.h"
#include "lumo_doctor/checks.h"
#include "steam/keyvalues.h"

namespace lumo::doctor {

Check makeCheck(std::string id, std::string_view game, Status status, std::string finding, std::string hint = {});
// Raises `check` to `status` (never lowers it), adding the finding and the hint.
void add(Check& check, Status status, const std::string& finding, const std::string& hint = {});
std::string joined(const std::vector<std::string>& parts, const char* separator = ", ");

std::string processName(const Facts& facts, std::uint32_t pid);
// The first process named one of `names` (ASCII case ignored); null for none.
const ProcessInfo* findProcess(const Facts& facts, std::span<const std::string_view> names);
// The game's program: the process its status file names, else any process of its name.
const ProcessInfo* runningProgram(const games::Game& game, const Facts& facts);
const std::optional<status::ProgramStatus>& programStatus(const games::Game& game, const Facts& facts);

std::optional<std::filesystem::file_time_type> writeTime(const std::filesystem::path& file);
// The file clock's time on the system clock, close enough for minutes.
std::chrono::system_clock::time_point systemTime(std::filesystem::file_time_type time);

struct Uri {
    std::string host;
    int port = 0;
};
// "http://HOST:PORT/PATH"; nullopt when it is not of that form.
std::optional<Uri> parseUri(const std::string& text);

// The one block at the top of an integration file (its name is free); null for none.
const util::KeyValues* integrationBlock(const util::KeyValues& file);
// The integration file the game's program installs, as its Applet_Files hold it.
std::string_view installedIntegrationFile(const games::Game& game);
// The data sections the program's own file asks for, in its order.
std::vector<std::string> wantedSections(const games::Game& game);

// Where a game's integration file belongs, and where players misplace it.
struct GameFolders {
    std::string edition;  // "Dota 2", "Counter-Strike 2", "CS:GO"
    std::filesystem::path readFolder;
    std::vector<std::filesystem::path> wrongFolders;
    std::filesystem::path consoleLog;
};
GameFolders gameFolders(const games::Game& game, const std::filesystem::path& gameFolder);

struct IntegrationFacts {
    std::filesystem::path file;  // in the folder the game reads; empty when missing
    std::optional<std::filesystem::file_time_type> written;
    std::vector<std::filesystem::path> misplaced;  // copies the game does not read
};
IntegrationFacts inspectIntegrationFile(const games::Game& game, const GameFolders& folders);

// One installed game, as the checks of its files see it.
struct GameScene {
    const games::Game& game;
    const Facts& facts;
    GameFolders folders;
    IntegrationFacts file;
    bool programInstalls = false;  // the program finds the game, so it puts its file there
};

// The program's own copy, for a player who puts it in place by hand:
// "heroglow's Applet_Files/gamestate_integration_kelvaron.cfg".
std::string ownCopy(const games::Game& game);

// The checks of one game, each in the file named after it.
Check checkGameLocation(const games::Game& game, const Facts& facts);
Check checkIntegrationFile(const GameScene& scene);
Check checkOtherFiles(const GameScene& scene);
Check checkPort(const games::Game& game, const Facts& facts, const PortFacts& port);
Check checkLaunchOption(const games::Game& game, const Facts& facts);
Check checkGameProcess(const GameScene& scene);
Check checkConsoleLog(const GameScene& scene);
Check checkProgram(const games::Game& game, const Facts& facts);
Check checkListen(const games::Game& game, int seconds, const std::optional<HeardPost>& heard);

}  // namespace lumo::doctor
