// heroglow's entry point on Windows: a GUI-subsystem program that never opens a window.
#include "util/windows_support.h"

#include "dota_integration/heroglow.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runHeroglow(); }
