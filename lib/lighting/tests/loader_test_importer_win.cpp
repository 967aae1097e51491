// A signed DLL with an import of its own (lumo-test-import.dll), for the loader's search rules.
extern "C" __declspec(dllimport) int lumoTestImported();

extern "C" __declspec(dllexport) bool LumoLedInit() { return lumoTestImported() == 7; }
