// A small DLL that the Windows loader tests sign in several ways; it exports one SDK name.
extern "C" __declspec(dllexport) bool LumoLedInit() { return true; }
