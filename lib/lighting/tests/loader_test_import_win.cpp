// A DLL that the loader tests' importer links against; the tests plant it where a library's
// imports must never be looked up.
extern "C" __declspec(dllexport) int lumoTestImported() { return 7; }
