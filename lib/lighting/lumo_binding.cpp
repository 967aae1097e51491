#include "lighting/lumo_binding.h"

#include "lighting/lumo_sdk.h"
#include "lighting/sdk_library.h"
#include "registry/registry.h"

#include <string>

namespace {

namespace sdk = lumo::sdk;

// Positions in the operation table, kLedInit for LedInit and so on: the order of sdk::kExportNames.
enum Export : int {
#define LUMO_EXPORT_POSITION(Type, Name) k##Type,
    LUMO_SDK_EXPORTS(LUMO_EXPORT_POSITION)
#undef LUMO_EXPORT_POSITION
};

// A non-null entry is the only sign that an operation is available; all null until bound.
void* operations[sdk::kExportCount] = {};

// The trailing argument of every option call.
constexpr int kOptionFlag = 1;

// The SDK's function type of each position.
template <Export position>
struct Signature;
#define LUMO_EXPORT_SIGNATURE(Type, Name) \
    template <>                           \
    struct Signature<k##Type> {           \
        using type = sdk::Type;           \
    };
LUMO_SDK_EXPORTS(LUMO_EXPORT_SIGNATURE)
#undef LUMO_EXPORT_SIGNATURE

template <Export position>
typename Signature<position>::type* entry() {
    return reinterpret_cast<typename Signature<position>::type*>(operations[position]);
}

constexpr const char* kSdkLocationKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary";

// Every failure stops silently and leaves the table as it was.
void loadSdk() {
    // The default value; the text is the path as stored: no quote removal, no expansion.
    const std::string libraryPath = lumo::util::readRegistryString(kSdkLocationKey, "", 0);
    if (libraryPath.empty()) {
        return;
    }
    void* library = lumo::lighting::loadVerifiedLibrary(libraryPath);
    if (library == nullptr) {
        return;
    }
    lumo::lighting::bindExports(
        [library](const char* name) { return lumo::lighting::findExport(library, name); });
}

}  // namespace

namespace lumo::lighting {

void bindExports(const std::function<void*(const char* name)>& lookup) {
    for (int i = 0; i < sdk::kExportCount; ++i) {
        operations[i] = lookup(sdk::kExportNames[i]);
    }
}

}  // namespace lumo::lighting

bool LumoLedInit() {
    loadSdk();
    auto* function = entry<kLedInit>();
    return function != nullptr && function();
}

bool LumoGetConfigOptionNumber(const wchar_t* path, double* value) {
    auto* function = entry<kGetConfigOptionNumber>();
    return function != nullptr && function(path, value, kOptionFlag);
}

bool LumoGetConfigOptionBool(const wchar_t* path, bool* value) {
    auto* function = entry<kGetConfigOptionBool>();
    return function != nullptr && function(path, value, kOptionFlag);
}

bool LumoGetConfigOptionColor(const wchar_t* path, int* red, int* green, int* blue) {
    auto* function = entry<kGetConfigOptionColor>();
    return function != nullptr && function(path, red, green, blue, kOptionFlag);
}

bool LumoGetConfigOptionKeyInput(const wchar_t* path, wchar_t* buffer, int bufferSize) {
    auto* function = entry<kGetConfigOptionKeyInput>();
    return function != nullptr && function(path, buffer, bufferSize, kOptionFlag);
}

bool LumoSetConfigOptionLabel(const wchar_t* path, const wchar_t* label) {
    auto* function = entry<kSetConfigOptionLabel>();
    return function != nullptr && function(path, label, kOptionFlag);
}

bool LumoLedSaveCurrentLighting() {
    auto* function = entry<kLedSaveCurrentLighting>();
    return function != nullptr && function();
}

bool LumoLedSetTargetDevice(int mask) {
    auto* function = entry<kLedSetTargetDevice>();
    return function != nullptr && function(mask);
}

bool LumoLedSetLighting(int red, int green, int blue) {
    auto* function = entry<kLedSetLighting>();
    return function != nullptr && function(red, green, blue);
}

bool LumoLedPulseLighting(int red, int green, int blue, int duration, int interval) {
    auto* function = entry<kLedPulseLighting>();
    return function != nullptr && function(red, green, blue, duration, interval);
}

bool LumoLedSetLightingFromBitmap(const unsigned char* bitmap) {
    auto* function = entry<kLedSetLightingFromBitmap>();
    return function != nullptr && function(bitmap);
}

bool LumoLedFlashSingleKey(int key, int red, int green, int blue, int duration, int interval) {
    auto* function = entry<kLedFlashSingleKey>();
    return function != nullptr && function(key, red, green, blue, duration, interval);
}

bool LumoLedStopEffectsOnKey(int key) {
    auto* function = entry<kLedStopEffectsOnKey>();
    return function != nullptr && function(key);
}

bool LumoLedStopEffects() {
    auto* function = entry<kLedStopEffects>();
    return function != nullptr && function();
}
