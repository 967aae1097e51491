// roundglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include <iostream>

#include "command_line/command_line.h"
#include "cs_go_integration/roundglow.h"
#include "util/entry_guard.h"
#include "util/termination.h"

int main(int argc, char** argv) {
    // First, so that every thread started later (the lighting SDK's, the backend's) inherits
    // the blocked ending signals and only the watcher takes them.
    lumo::util::watchTerminationSignals();
    constexpr lumo::command_line::ProgramFacts kFacts{
        .name = "roundglow",
        .game = "Counter-Strike",
        .port = 5000,
        .integrationFolder = "game/csgo/cfg/",
        .doctorGame = "cs",
        .moreEnvironment = "",
    };
    if (const auto status = lumo::command_line::answerArguments(argc, argv, kFacts, std::cout, std::cerr)) return *status;
    return lumo::util::runGuarded("roundglow", roundglow::runRoundglow);
}
