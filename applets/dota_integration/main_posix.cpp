// heroglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include "dota_integration/heroglow.h"
#include "util/entry_guard.h"

int main() { return lumo::util::runGuarded("heroglow", heroglow::runHeroglow); }
