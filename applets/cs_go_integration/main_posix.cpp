// roundglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include "cs_go_integration/roundglow.h"
#include "util/entry_guard.h"

int main() { return lumo::util::runGuarded("roundglow", roundglow::runRoundglow); }
