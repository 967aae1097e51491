#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "games/games.h"
#include "lumo_doctor/system_facts.h"
#include "lighting_choice/lighting_settings.h"
#include "status/status_file.h"
#include "steam/steam_report.h"

// What the checks compare with, gathered once per run: nothing below reads a file or asks the
// system again, so the checks run the same over a fake Steam tree in a test.

namespace lumo::doctor {

struct PortFacts {
    std::optional<std::uint32_t> listener;  // see portListener()
    int bindError = 0;                      // binding 127.0.0.1 when nobody listens; 0: it worked
};
PortFacts probePort(std::uint16_t port);

struct Facts {
    util::SteamReport steam;  // the programs' own locator, telling its steps
    // Where each game sits among Steam's libraries, by game key; nullopt when no manifest
    // names it (or Steam is not found).
    std::map<std::string_view, std::optional<util::SteamGame>> games;
    std::vector<ProcessInfo> processes;
    std::filesystem::path stateFolder;  // where the programs keep their status files (<state>/lumo)
    // Each program's status file as read, by program; nullopt when there is none or it is not one.
    std::map<std::string_view, std::optional<status::ProgramStatus>> statuses;
    lighting::LightingSettings lighting;
    std::vector<std::string> lightingProblems;  // what reading the lighting settings found wrong
    std::chrono::system_clock::time_point now;
    bool onLinux = false;
};

// Everything, from this system.
Facts gatherFacts();
// The facts that follow from facts.steam and facts.stateFolder: the games' places and the
// programs' status files. gatherFacts calls it; tests call it over a tree they laid out.
void readSteamAndStatusFiles(Facts& facts);

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

}  // namespace lumo::doctor
