// roundglow's entry point on Windows: a GUI-subsystem program that never opens a window.
#include "util/windows_support.h"

#include "cs_go_integration/roundglow.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runRoundglow(); }
