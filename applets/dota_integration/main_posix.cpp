// heroglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include <iostream>

#include "command_line/command_line.h"
#include "dota_integration/heroglow.h"
#include "util/entry_guard.h"
#include "util/termination.h"

int main(int argc, char** argv) {
    // First, so that every thread started later (the lighting SDK's, the backend's) inherits
    // the blocked ending signals and only the watcher takes them.
    lumo::util::watchTerminationSignals();
    constexpr lumo::command_line::ProgramFacts kFacts{
        .name = "heroglow",
        .game = "Dota 2",
        .port = 3002,
        .integrationFolder = "game/dota/cfg/gamestate_integration/",
        .doctorGame = "dota",
        .moreEnvironment = "  HEROGLOW_ITEM_FEED_URL   the item catalogue's address\n",
    };
    if (const auto status = lumo::command_line::answerArguments(argc, argv, kFacts, std::cout, std::cerr)) return *status;
    return lumo::util::runGuarded("heroglow", heroglow::runHeroglow);
}
