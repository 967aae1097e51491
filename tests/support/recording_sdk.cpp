#include "recording_sdk.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <sstream>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "lighting/lumo_binding.h"
#include "text/wide_buffer.h"
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

// An export's name as a template argument.
template <std::size_t Size>
struct ExportName {
    constexpr ExportName(const char (&name)[Size]) { std::copy_n(name, Size, text); }
    char text[Size];
};

// The stand-in for each export: by default it only records its call; the specialisations
// below also answer, as the option getters do from the user's values.
template <ExportName name, class Export>
struct StandIn;
template <ExportName name, class... Arguments>
struct StandIn<name, bool(Arguments...)> {
    static bool call(Arguments... arguments) { return record(name.text, arguments...); }
};

template <>
struct StandIn<"LumoGetConfigOptionNumber", lumo::sdk::GetConfigOptionNumber> {
    static bool call(const wchar_t* path, double* value, int flag) {
        const bool result = record("LumoGetConfigOptionNumber", path, *value, flag);
        if (const double* chosen = userValue(recording.userValues.numbers, path)) *value = *chosen;
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionBool", lumo::sdk::GetConfigOptionBool> {
    static bool call(const wchar_t* path, bool* value, int flag) {
        const bool result = record("LumoGetConfigOptionBool", path, *value, flag);
        if (const bool* chosen = userValue(recording.userValues.bools, path)) *value = *chosen;
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionColor", lumo::sdk::GetConfigOptionColor> {
    static bool call(const wchar_t* path, int* red, int* green, int* blue, int flag) {
        const bool result = record("LumoGetConfigOptionColor", path, *red, *green, *blue, flag);
        if (const auto* chosen = userValue(recording.userValues.colors, path)) {
            *red = (*chosen)[0];
            *green = (*chosen)[1];
            *blue = (*chosen)[2];
        }
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionRect", lumo::sdk::GetConfigOptionRect> {
    static bool call(const wchar_t* path, int* x, int* y, int* width, int* height, int flag) {
        const bool result = record("LumoGetConfigOptionRect", path, *x, *y, *width, *height, flag);
        if (const auto* chosen = userValue(recording.userValues.rects, path)) {
            *x = (*chosen)[0];
            *y = (*chosen)[1];
            *width = (*chosen)[2];
            *height = (*chosen)[3];
        }
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionRange", lumo::sdk::GetConfigOptionRange> {
    static bool call(const wchar_t* path, double* value, double minimum, double maximum, int flag) {
        const bool result = record("LumoGetConfigOptionRange", path, *value, minimum, maximum, flag);
        if (const double* chosen = userValue(recording.userValues.numbers, path)) *value = *chosen;
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionSelect", lumo::sdk::GetConfigOptionSelect> {
    static bool call(const wchar_t* path, wchar_t* value, int valueSize, const wchar_t* choices, int flag) {
        const bool result = record("LumoGetConfigOptionSelect", path, value, valueSize, choices, flag);
        if (const std::wstring* chosen = userValue(recording.userValues.selections, path))
            lumo::util::copyToWideBuffer(*chosen, value, valueSize);
        return result;
    }
};

template <>
struct StandIn<"LumoGetConfigOptionKeyInput", lumo::sdk::GetConfigOptionKeyInput> {
    static bool call(const wchar_t* path, wchar_t* buffer, int bufferSize, int flag) {
        const bool result = record("LumoGetConfigOptionKeyInput", path, buffer, bufferSize, flag);
        if (const std::wstring* chosen = userValue(recording.userValues.keys, path))
            lumo::util::copyToWideBuffer(*chosen, buffer, bufferSize);  // as the real service
        return result;
    }
};

template <>
struct StandIn<"LumoLedSetLightingFromBitmap", lumo::sdk::LedSetLightingFromBitmap> {
    static bool call(const unsigned char* bitmap) {
        if (bitmap != nullptr) std::memcpy(recording.bitmap.data(), bitmap, recording.bitmap.size());
        return record("LumoLedSetLightingFromBitmap");
    }
};

template <>
struct StandIn<"LumoLedExcludeKeysFromBitmap", lumo::sdk::LedExcludeKeysFromBitmap> {
    static bool call(const int* keys, int count) {
        return record("LumoLedExcludeKeysFromBitmap", KeyList{keys, count}, count);
    }
};

// One stand-in per export, each under its own name, so an operation wired to its neighbour's
// export is recorded under the wrong name.
const std::map<std::string_view, void*>& standIns() {
#define LUMO_STAND_IN(Type, Name)                                                                      \
    static_assert(std::is_same_v<decltype(&StandIn<#Name, lumo::sdk::Type>::call), lumo::sdk::Type*>); \
    table.emplace(#Name, reinterpret_cast<void*>(&StandIn<#Name, lumo::sdk::Type>::call));
    static const std::map<std::string_view, void*> standIns = [] {
        std::map<std::string_view, void*> table;
        LUMO_SDK_EXPORTS(LUMO_STAND_IN)
        return table;
    }();
#undef LUMO_STAND_IN
    return standIns;
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
