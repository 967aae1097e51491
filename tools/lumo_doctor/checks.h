#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "games/games.h"
#include "lumo_doctor/facts.h"

// The doctor's checks. Each looks at one cause of "the game posts nothing" and returns one
// line: what it found, and for anything not ok what to do. They only read; nothing of the
// player's is written or ended. They are pure functions over the Facts gathered once.

namespace lumo::doctor {

enum class Status { ok, warning, failure };
const char* statusName(Status status);  // "ok", "warning", "failure"

struct Check {
    std::string id;    // "integration-file", ... (stable, documented in docs/lumo-doctor.md)
    std::string game;  // the game's key ("dota", "cs"), or "all" for what both share
    Status status = Status::ok;
    std::string finding;
    std::string hint;  // empty when ok
};

// The checks shared by both games: where Steam is and its libraries; the lighting settings
// (only when reading them found problems).
Check checkSteam(const Facts& facts);
std::optional<Check> checkLightingSettings(const Facts& facts);
// Every check of one game, in the order they are shown.
std::vector<Check> checkGame(const games::Game& game, const Facts& facts, const GameRun& run);

// The lighting checks: the maker's SDK through the programs' own loader, and an OpenRGB
// server at the configured address. These two ask the system themselves.
Check checkMakerSdk(const Facts& facts, bool& usable);
Check checkOpenRgb(const Facts& facts, bool makerSdkUsable);

// Listens on 127.0.0.1:`port` for up to `seconds`, answering 200, and tells about the first
// post. nullopt when the port cannot be bound.
std::optional<HeardPost> listenForPost(std::uint16_t port, int seconds);

// Whether the program of `game` runs, as the process list and its status file say.
bool programRunning(const games::Game& game, const Facts& facts);

// "3 s", "12 min", "2 h 5 min"
std::string describeDuration(std::chrono::seconds duration);

}  // namespace lumo::doctor
