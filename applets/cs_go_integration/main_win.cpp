// roundglow's entry point on Windows: a GUI-subsystem program that never opens a window.
#include "util/windows_support.h"

#include "cs_go_integration/roundglow.h"
#include "games/games.h"
#include "util/entry_guard.h"
#include "util/termination.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: DLLs named without a path come from System32 only,
    // never from the working folder or PATH, where anyone could plant one.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    lumo::util::watchTerminationSignals();
    return lumo::util::runGuarded(lumo::games::kCounterStrike.program.data(), roundglow::runRoundglow);
}
