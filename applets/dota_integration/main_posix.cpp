// heroglow's entry point on POSIX systems, where it runs with the simulated keyboard.
#include "dota_integration/heroglow.h"

int main() { return runHeroglow(); }
