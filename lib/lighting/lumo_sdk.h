#pragma once

// The keyboard maker's lighting SDK as its library exports it: C linkage, every operation
// returns bool. Percentages are ints 0-100, times are milliseconds, a key is its scan code.
// Option paths and labels are wide text: a group ("colors") or group/name ("colors/dire");
// the option calls take a trailing int flag, always 1.
//
// The types below describe each export; a program never links the SDK but binds these
// names at run time (lumo_binding.h). The stand-in SDK defines them. LUMO_SDK_EXPORTS lists all
// 30 once; the name table, the binding's positions and every definition's type check come from it.

namespace lumo::sdk {

// Device-class masks for LumoLedSetTargetDevice.
inline constexpr int kDevicesWithoutPerKey = 3;
inline constexpr int kPerKeyDevices = 4;
inline constexpr int kAllDevices = 7;

// Key bitmap of LumoLedSetLightingFromBitmap: 6 rows of 21 keys from the function-key row
// down; key (row, column) at byte 4 * (row * 21 + column), bytes blue, green, red, alpha.
inline constexpr int kBitmapRows = 6;
inline constexpr int kBitmapColumns = 21;
inline constexpr int kBitmapKeys = kBitmapRows * kBitmapColumns;
inline constexpr int kBitmapBytes = 4 * kBitmapKeys;

extern "C" {
using LedInit = bool();
using LedInitWithName = bool(const wchar_t* applicationName);
using GetConfigOptionNumber = bool(const wchar_t* path, double* value, int flag);
using GetConfigOptionBool = bool(const wchar_t* path, bool* value, int flag);
using GetConfigOptionColor = bool(const wchar_t* path, int* red, int* green, int* blue, int flag);
using GetConfigOptionRect = bool(const wchar_t* path, int* x, int* y, int* width, int* height, int flag);
using GetConfigOptionRange = bool(const wchar_t* path, double* value, double minimum, double maximum,
                                  int flag);
using GetConfigOptionSelect = bool(const wchar_t* path, wchar_t* value, int valueSize, const wchar_t* choices,
                                   int flag);
// `bufferSize` is in bytes, terminator included; the SDK writes at most that many.
using GetConfigOptionKeyInput = bool(const wchar_t* path, wchar_t* buffer, int bufferSize, int flag);
using SetConfigOptionLabel = bool(const wchar_t* path, const wchar_t* label, int flag);
using LedSaveCurrentLighting = bool();
using LedSetTargetDevice = bool(int mask);
using LedSetLighting = bool(int red, int green, int blue);
using LedRestoreLighting = bool();
using LedFlashLighting = bool(int red, int green, int blue, int duration, int interval);
// duration 0: until stopped.
using LedPulseLighting = bool(int red, int green, int blue, int duration, int interval);
using LedSetLightingFromBitmap = bool(const unsigned char* bitmap);
using LedExcludeKeysFromBitmap = bool(const int* keys, int count);
using LedSetLightingForKeyWithScanCode = bool(int key, int red, int green, int blue);
using LedSetLightingForKeyWithHidCode = bool(int key, int red, int green, int blue);
using LedSetLightingForKeyWithQuartzCode = bool(int key, int red, int green, int blue);
using LedSetLightingForKeyWithKeyName = bool(int keyName, int red, int green, int blue);
using LedPulseSingleKey = bool(int key, int red, int green, int blue, int red2, int green2, int blue2,
                               int duration, bool repeat);
using LedFlashSingleKey = bool(int key, int red, int green, int blue, int duration, int interval);
using LedStopEffectsOnKey = bool(int key);
using LedSaveLightingForKey = bool(int key);
using LedRestoreLightingForKey = bool(int key);
using LedStopEffects = bool();
using LedSetLightingForTargetZone = bool(unsigned char zone, int red, int green, int blue);
using LedShutdown = bool();
}

// X(Type, Name): each export's function type (the aliases above) and its name, in the order the
// binding looks them up.
#define LUMO_SDK_EXPORTS(X) \
    X(LedInit, LumoLedInit) \
    X(LedInitWithName, LumoLedInitWithName) \
    X(GetConfigOptionNumber, LumoGetConfigOptionNumber) \
    X(GetConfigOptionBool, LumoGetConfigOptionBool) \
    X(GetConfigOptionColor, LumoGetConfigOptionColor) \
    X(GetConfigOptionRect, LumoGetConfigOptionRect) \
    X(GetConfigOptionRange, LumoGetConfigOptionRange) \
    X(GetConfigOptionSelect, LumoGetConfigOptionSelect) \
    X(GetConfigOptionKeyInput, LumoGetConfigOptionKeyInput) \
    X(SetConfigOptionLabel, LumoSetConfigOptionLabel) \
    X(LedSaveCurrentLighting, LumoLedSaveCurrentLighting) \
    X(LedSetTargetDevice, LumoLedSetTargetDevice) \
    X(LedSetLighting, LumoLedSetLighting) \
    X(LedRestoreLighting, LumoLedRestoreLighting) \
    X(LedFlashLighting, LumoLedFlashLighting) \
    X(LedPulseLighting, LumoLedPulseLighting) \
    X(LedSetLightingFromBitmap, LumoLedSetLightingFromBitmap) \
    X(LedExcludeKeysFromBitmap, LumoLedExcludeKeysFromBitmap) \
    X(LedSetLightingForKeyWithScanCode, LumoLedSetLightingForKeyWithScanCode) \
    X(LedSetLightingForKeyWithHidCode, LumoLedSetLightingForKeyWithHidCode) \
    X(LedSetLightingForKeyWithQuartzCode, LumoLedSetLightingForKeyWithQuartzCode) \
    X(LedSetLightingForKeyWithKeyName, LumoLedSetLightingForKeyWithKeyName) \
    X(LedPulseSingleKey, LumoLedPulseSingleKey) \
    X(LedFlashSingleKey, LumoLedFlashSingleKey) \
    X(LedStopEffectsOnKey, LumoLedStopEffectsOnKey) \
    X(LedSaveLightingForKey, LumoLedSaveLightingForKey) \
    X(LedRestoreLightingForKey, LumoLedRestoreLightingForKey) \
    X(LedStopEffects, LumoLedStopEffects) \
    X(LedSetLightingForTargetZone, LumoLedSetLightingForTargetZone) \
    X(LedShutdown, LumoLedShutdown)

// The 30 export names, in the order the binding looks them up.
#define LUMO_SDK_EXPORT_NAME(Type, Name) #Name,
inline constexpr const char* kExportNames[] = {LUMO_SDK_EXPORTS(LUMO_SDK_EXPORT_NAME)};
#undef LUMO_SDK_EXPORT_NAME
inline constexpr int kExportCount = sizeof(kExportNames) / sizeof(kExportNames[0]);
static_assert(kExportCount == 30);

}  // namespace lumo::sdk
