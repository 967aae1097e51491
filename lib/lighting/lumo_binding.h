#pragma once

#include <functional>

// The applets' door to the lighting SDK. Each operation carries the SDK export's name and
// forwards to it with the arguments unchanged, returning its result; while the export is
// not bound (no SDK, a rejected SDK, a missing export, or before LumoLedInit) it does
// nothing and returns false. The option operations add the trailing flag 1 themselves.

// Finds the SDK library through the registry, verifies its signature, loads it and binds all
// 30 exports; then calls the SDK's own LumoLedInit. Silent on failure: false.
bool LumoLedInit();

bool LumoGetConfigOptionNumber(const wchar_t* path, double* value);
bool LumoGetConfigOptionBool(const wchar_t* path, bool* value);
bool LumoGetConfigOptionColor(const wchar_t* path, int* red, int* green, int* blue);
// `bufferSize` in bytes, terminator included.
bool LumoGetConfigOptionKeyInput(const wchar_t* path, wchar_t* buffer, int bufferSize);
bool LumoSetConfigOptionLabel(const wchar_t* path, const wchar_t* label);
bool LumoLedSaveCurrentLighting();
bool LumoLedSetTargetDevice(int mask);
bool LumoLedSetLighting(int red, int green, int blue);
bool LumoLedPulseLighting(int red, int green, int blue, int duration, int interval);
// `bitmap`: lumo::sdk::kBitmapBytes bytes, read only.
bool LumoLedSetLightingFromBitmap(const unsigned char* bitmap);
bool LumoLedFlashSingleKey(int key, int red, int green, int blue, int duration, int interval);
bool LumoLedStopEffectsOnKey(int key);
bool LumoLedStopEffects();

namespace lumo::lighting {

// The registry key whose default value names the SDK library.
inline constexpr const char* kSdkLocationKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary";

// Fills the operation table: entry i becomes lookup(lumo::sdk::kExportNames[i]), in table
// order, null where lookup yields null. LumoLedInit uses it after loading the library;
// tests and benchmarks use it to bind in-process stand-ins.
void bindExports(const std::function<void*(const char* name)>& lookup);

}  // namespace lumo::lighting
