// The simulated keyboard: the 30 SDK operations exported with C linkage, each handing its call
// to the SDK service's operation of the same name, and the sink that writes the state file and
// the journal, installed as the library loads.
#include <type_traits>

#include "keyboard_simulator_export.h"
#include "lighting/lumo_sdk.h"
#include "sdk_service/operations.h"
#include "sdk_service/service.h"
#include "simulator_sink.h"

namespace {

namespace operations = lumo::sdk_service::operations;

// Before any export can be called. Never destroyed, as the service is not.
[[maybe_unused]] const bool sinkInstalled = [] {
    lumo::sdk_service::Service::instance().setSink(new lumo::simulator::SimulatorSink());
    return true;
}();

}  // namespace

extern "C" {

KEYBOARD_SIMULATOR_EXPORT bool LumoLedInit() { return operations::LumoLedInit(); }

KEYBOARD_SIMULATOR_EXPORT bool LumoLedInitWithName(const wchar_t* applicationName) {
    return operations::LumoLedInitWithName(applicationName);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionNumber(const wchar_t* path, double* value, int flag) {
    return operations::LumoGetConfigOptionNumber(path, value, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionBool(const wchar_t* path, bool* value, int flag) {
    return operations::LumoGetConfigOptionBool(path, value, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionColor(const wchar_t* path, int* red, int* green, int* blue,
                                                        int flag) {
    return operations::LumoGetConfigOptionColor(path, red, green, blue, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionRect(const wchar_t* path, int* x, int* y, int* width,
                                                       int* height, int flag) {
    return operations::LumoGetConfigOptionRect(path, x, y, width, height, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionRange(const wchar_t* path, double* value, double minimum,
                                                        double maximum, int flag) {
    return operations::LumoGetConfigOptionRange(path, value, minimum, maximum, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionSelect(const wchar_t* path, wchar_t* value, int valueSize,
                                                         const wchar_t* choices, int flag) {
    return operations::LumoGetConfigOptionSelect(path, value, valueSize, choices, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoGetConfigOptionKeyInput(const wchar_t* path, wchar_t* buffer,
                                                           int bufferSize, int flag) {
    return operations::LumoGetConfigOptionKeyInput(path, buffer, bufferSize, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoSetConfigOptionLabel(const wchar_t* path, const wchar_t* label, int flag) {
    return operations::LumoSetConfigOptionLabel(path, label, flag);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSaveCurrentLighting() {
    return operations::LumoLedSaveCurrentLighting();
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetTargetDevice(int mask) {
    return operations::LumoLedSetTargetDevice(mask);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLighting(int red, int green, int blue) {
    return operations::LumoLedSetLighting(red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedRestoreLighting() { return operations::LumoLedRestoreLighting(); }

KEYBOARD_SIMULATOR_EXPORT bool LumoLedFlashLighting(int red, int green, int blue, int duration,
                                                    int interval) {
    return operations::LumoLedFlashLighting(red, green, blue, duration, interval);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedPulseLighting(int red, int green, int blue, int duration,
                                                    int interval) {
    return operations::LumoLedPulseLighting(red, green, blue, duration, interval);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingFromBitmap(const unsigned char* bitmap) {
    return operations::LumoLedSetLightingFromBitmap(bitmap);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedExcludeKeysFromBitmap(const int* keys, int count) {
    return operations::LumoLedExcludeKeysFromBitmap(keys, count);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingForKeyWithScanCode(int key, int red, int green, int blue) {
    return operations::LumoLedSetLightingForKeyWithScanCode(key, red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingForKeyWithHidCode(int key, int red, int green, int blue) {
    return operations::LumoLedSetLightingForKeyWithHidCode(key, red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingForKeyWithQuartzCode(int key, int red, int green, int blue) {
    return operations::LumoLedSetLightingForKeyWithQuartzCode(key, red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingForKeyWithKeyName(int keyName, int red, int green,
                                                                   int blue) {
    return operations::LumoLedSetLightingForKeyWithKeyName(keyName, red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedPulseSingleKey(int key, int red, int green, int blue, int red2,
                                                     int green2, int blue2, int duration, bool repeat) {
    return operations::LumoLedPulseSingleKey(key, red, green, blue, red2, green2, blue2, duration, repeat);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedFlashSingleKey(int key, int red, int green, int blue, int duration,
                                                     int interval) {
    return operations::LumoLedFlashSingleKey(key, red, green, blue, duration, interval);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedStopEffectsOnKey(int key) {
    return operations::LumoLedStopEffectsOnKey(key);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSaveLightingForKey(int key) {
    return operations::LumoLedSaveLightingForKey(key);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedRestoreLightingForKey(int key) {
    return operations::LumoLedRestoreLightingForKey(key);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedStopEffects() { return operations::LumoLedStopEffects(); }

KEYBOARD_SIMULATOR_EXPORT bool LumoLedSetLightingForTargetZone(unsigned char zone, int red, int green,
                                                               int blue) {
    return operations::LumoLedSetLightingForTargetZone(zone, red, green, blue);
}

KEYBOARD_SIMULATOR_EXPORT bool LumoLedShutdown() { return operations::LumoLedShutdown(); }

}  // extern "C"

// Each export has the SDK's type.
#define LUMO_CHECK_EXPORT(Type, Name) static_assert(std::is_same_v<decltype(&Name), lumo::sdk::Type*>);
LUMO_SDK_EXPORTS(LUMO_CHECK_EXPORT)
#undef LUMO_CHECK_EXPORT
