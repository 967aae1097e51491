#include "recording_sdk.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "lighting/lumo_binding.h"
#include "text.h"

namespace recording_sdk {
namespace {

Recording recording;

struct KeyList {
    const int* keys;
    int count;
};

void put(std::ostream& call, bool value) { call << (value ? "true" : "false"); }
void put(std::ostream& call, unsigned char value) { call << int{value}; }
void put(std::ostream& call, const wchar_t* text) {
    call << (text == nullptr ? "null" : lumo::test::narrow(text));
}
void put(std::ostream& call, wchar_t* text) { put(call, static_cast<const wchar_t*>(text)); }
void put(std::ostream& call, const KeyList& list) {
    call << '{';
    for (int i = 0; list.keys != nullptr && i < list.count; ++i) call << (i == 0 ? "" : ",") << list.keys[i];
    call << '}';
}
template <class Value>
void put(std::ostream& call, const Value& value) {
    call << value;
}

template <class... Arguments>
bool record(const char* operation, const Arguments&... arguments) {
    std::ostringstream call;
    call << operation << '(';
    bool first = true;
    [[maybe_unused]] const auto append = [&](const auto& argument) {
        if (!first) call << ',';
        put(call, argument);
        first = false;
    };
    (append(arguments), ...);
    call << ')';
    recording.calls.push_back(call.str());
    return recording.result;
}

template <class Value>
const Value* userValue(const std::map<std::wstring, Value>& values, const wchar_t* path) {
    const auto found = path == nullptr ? values.end() : values.find(path);
    return found == values.end() ? nullptr : &found->second;
}

// Like the real service: at most `bytes` bytes, terminator included.
void copyBounded(const std::wstring& text, wchar_t* buffer, int bytes) {
    const std::size_t capacity = bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(wchar_t) : 0;
    if (buffer == nullptr || capacity == 0) return;
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::wmemcpy(buffer, text.data(), length);
    buffer[length] = L'\0';
}

// The option getters: recorded, then answered from the user's values.
bool getNumber(const wchar_t* path, double* value, int flag) {
    const bool result = record("LumoGetConfigOptionNumber", path, *value, flag);
    if (const double* chosen = userValue(recording.userValues.numbers, path)) *value = *chosen;
    return result;
}

bool getBool(const wchar_t* path, bool* value, int flag) {
    const bool result = record("LumoGetConfigOptionBool", path, *value, flag);
    if (const bool* chosen = userValue(recording.userValues.bools, path)) *value = *chosen;
    return result;
}

bool getColor(const wchar_t* path, int* red, int* green, int* blue, int flag) {
    const bool result = record("LumoGetConfigOptionColor", path, *red, *green, *blue, flag);
    if (const auto* chosen = userValue(recording.userValues.colors, path)) {
        *red = (*chosen)[0];
        *green = (*chosen)[1];
        *blue = (*chosen)[2];
    }
    return result;
}

bool getRect(const wchar_t* path, int* x, int* y, int* width, int* height, int flag) {
    const bool result = record("LumoGetConfigOptionRect", path, *x, *y, *width, *height, flag);
    if (const auto* chosen = userValue(recording.userValues.rects, path)) {
        *x = (*chosen)[0];
        *y = (*chosen)[1];
        *width = (*chosen)[2];
        *height = (*chosen)[3];
    }
    return result;
}

bool getRange(const wchar_t* path, double* value, double minimum, double maximum, int flag) {
    const bool result = record("LumoGetConfigOptionRange", path, *value, minimum, maximum, flag);
    if (const double* chosen = userValue(recording.userValues.numbers, path)) *value = *chosen;
    return result;
}

bool getSelect(const wchar_t* path, wchar_t* value, int valueSize, const wchar_t* choices, int flag) {
    const bool result = record("LumoGetConfigOptionSelect", path, value, valueSize, choices, flag);
    if (const std::wstring* chosen = userValue(recording.userValues.selections, path))
        copyBounded(*chosen, value, valueSize);
    return result;
}

bool getKeyInput(const wchar_t* path, wchar_t* buffer, int bufferSize, int flag) {
    const bool result = record("LumoGetConfigOptionKeyInput", path, buffer, bufferSize, flag);
    if (const std::wstring* chosen = userValue(recording.userValues.keys, path))
        copyBounded(*chosen, buffer, bufferSize);
    return result;
}

bool setLightingFromBitmap(const unsigned char* bitmap) {
    if (bitmap != nullptr) std::memcpy(recording.bitmap.data(), bitmap, recording.bitmap.size());
    return record("LumoLedSetLightingFromBitmap");
}

bool excludeKeysFromBitmap(const int* keys, int count) {
    return record("LumoLedExcludeKeysFromBitmap", KeyList{keys, count}, count);
}

// An export's name as a template argument.
template <std::size_t Size>
struct ExportName {
    constexpr ExportName(const char (&name)[Size]) { std::copy_n(name, Size, text); }
    char text[Size];
};

// A stand-in that only records its call: one for each export type.
template <ExportName name, class Export>
struct Recorded;
template <ExportName name, class... Arguments>
struct Recorded<name, bool(Arguments...)> {
    static bool call(Arguments... arguments) { return record(name.text, arguments...); }
};

// The explicit type makes the compiler check each stand-in against the SDK's declaration.
template <class Export>
std::pair<std::string_view, void*> standIn(std::string_view name, Export* function) {
    return {name, reinterpret_cast<void*>(function)};
}
template <ExportName name, class Export>
std::pair<std::string_view, void*> recorded() {
    return standIn<Export>(name.text, &Recorded<name, Export>::call);
}

// Every stand-in has a name of its own, so an operation wired to its neighbour's export is
// recorded under the wrong name.
const std::map<std::string_view, void*>& standIns() {
    using namespace lumo::sdk;
    static const std::map<std::string_view, void*> table = {
        recorded<"LumoLedInit", LedInit>(),
        recorded<"LumoLedInitWithName", LedInitWithName>(),
        standIn<GetConfigOptionNumber>("LumoGetConfigOptionNumber", &getNumber),
        standIn<GetConfigOptionBool>("LumoGetConfigOptionBool", &getBool),
        standIn<GetConfigOptionColor>("LumoGetConfigOptionColor", &getColor),
        standIn<GetConfigOptionRect>("LumoGetConfigOptionRect", &getRect),
        standIn<GetConfigOptionRange>("LumoGetConfigOptionRange", &getRange),
        standIn<GetConfigOptionSelect>("LumoGetConfigOptionSelect", &getSelect),
        standIn<GetConfigOptionKeyInput>("LumoGetConfigOptionKeyInput", &getKeyInput),
        recorded<"LumoSetConfigOptionLabel", SetConfigOptionLabel>(),
        recorded<"LumoLedSaveCurrentLighting", LedSaveCurrentLighting>(),
        recorded<"LumoLedSetTargetDevice", LedSetTargetDevice>(),
        recorded<"LumoLedSetLighting", LedSetLighting>(),
        recorded<"LumoLedRestoreLighting", LedRestoreLighting>(),
        recorded<"LumoLedFlashLighting", LedFlashLighting>(),
        recorded<"LumoLedPulseLighting", LedPulseLighting>(),
        standIn<LedSetLightingFromBitmap>("LumoLedSetLightingFromBitmap", &setLightingFromBitmap),
        standIn<LedExcludeKeysFromBitmap>("LumoLedExcludeKeysFromBitmap", &excludeKeysFromBitmap),
        recorded<"LumoLedSetLightingForKeyWithScanCode", LedSetLightingForKeyWithScanCode>(),
        recorded<"LumoLedSetLightingForKeyWithHidCode", LedSetLightingForKeyWithHidCode>(),
        recorded<"LumoLedSetLightingForKeyWithQuartzCode", LedSetLightingForKeyWithQuartzCode>(),
        recorded<"LumoLedSetLightingForKeyWithKeyName", LedSetLightingForKeyWithKeyName>(),
        recorded<"LumoLedPulseSingleKey", LedPulseSingleKey>(),
        recorded<"LumoLedFlashSingleKey", LedFlashSingleKey>(),
        recorded<"LumoLedStopEffectsOnKey", LedStopEffectsOnKey>(),
        recorded<"LumoLedSaveLightingForKey", LedSaveLightingForKey>(),
        recorded<"LumoLedRestoreLightingForKey", LedRestoreLightingForKey>(),
        recorded<"LumoLedStopEffects", LedStopEffects>(),
        recorded<"LumoLedSetLightingForTargetZone", LedSetLightingForTargetZone>(),
        recorded<"LumoLedShutdown", LedShutdown>(),
    };
    return table;
}

}  // namespace

Recording& bind(std::string_view missing) {
    recording = Recording{};
    lumo::lighting::bindExports([missing](const char* name) -> void* {
        const auto found = standIns().find(name);
        // A name of the SDK without a stand-in here would leave its operation untested.
        if (found == standIns().end()) throw std::logic_error(std::string("no stand-in for ") + name);
        return name == missing ? nullptr : found->second;
    });
    return recording;
}

void unbind() {
    lumo::lighting::bindExports([](const char*) -> void* { return nullptr; });
}

std::array<int, 4> keyColor(const std::array<unsigned char, lumo::sdk::kBitmapBytes>& bitmap, int position) {
    const unsigned char* cell = bitmap.data() + 4 * position;
    return {cell[2], cell[1], cell[0], cell[3]};
}

}  // namespace recording_sdk
