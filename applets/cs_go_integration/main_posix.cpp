// roundglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include <iostream>

#include "command_line/command_line.h"
#include "games/games.h"
#include "cs_go_integration/roundglow.h"
#include "util/entry_guard.h"
#include "util/termination.h"

int main(int argc, char** argv) {
    // First, so that every thread started later (the lighting SDK's, the backend's) inherits
    // the blocked ending signals and only the watcher takes them.
    lumo::util::watchTerminationSignals();
    const lumo::games::Game& game = lumo::games::kCounterStrike;
    const lumo::command_line::ProgramFacts facts = lumo::command_line::programFacts(game, "");
    if (const auto status = lumo::command_line::answerArguments(argc, argv, facts, std::cout, std::cerr)) return *status;
    return lumo::util::runGuarded(game.program.data(), roundglow::runRoundglow);
}
