#include "recording_sdk.h"

#include <cstring>
#include <cwchar>
#include <sstream>

#include "lighting/lumo_binding.h"
#include "util/utf.h"

namespace recording_sdk {
namespace {

Recording recording;

std::string narrow(const wchar_t* text) { return lumo::util::toUtf8(std::wstring(text)); }

template <typename... Args>
void record(const char* operation, const Args&... args) {
    std::ostringstream call;
    call << operation << '(';
    bool first = true;
    [[maybe_unused]] const auto append = [&](const auto& argument) {
        call << (first ? "" : ",") << argument;
        first = false;
    };
    (append(args), ...);
    call << ')';
    recording.calls.push_back(call.str());
}

extern "C" {

bool getNumber(const wchar_t* path, double* value, int flag) {
    record("LumoGetConfigOptionNumber", narrow(path), *value, flag);
    if (const auto found = recording.userValues.numbers.find(path);
        found != recording.userValues.numbers.end()) {
        *value = found->second;
    }
    return true;
}

bool getBool(const wchar_t* path, bool* value, int flag) {
    record("LumoGetConfigOptionBool", narrow(path), *value ? "true" : "false", flag);
    if (const auto found = recording.userValues.bools.find(path); found != recording.userValues.bools.end()) {
        *value = found->second;
    }
    return true;
}

bool getColor(const wchar_t* path, int* red, int* green, int* blue, int flag) {
    record("LumoGetConfigOptionColor", narrow(path), *red, *green, *blue, flag);
    if (const auto found = recording.userValues.colors.find(path);
        found != recording.userValues.colors.end()) {
        *red = found->second[0];
        *green = found->second[1];
        *blue = found->second[2];
    }
    return true;
}

bool getKeyInput(const wchar_t* path, wchar_t* buffer, int bufferSize, int flag) {
    record("LumoGetConfigOptionKeyInput", narrow(path), narrow(buffer), bufferSize, flag);
    if (const auto found = recording.userValues.keys.find(path); found != recording.userValues.keys.end()) {
        // Like the real service: at most bufferSize bytes, terminator included.
        const std::size_t capacity = static_cast<std::size_t>(bufferSize) / sizeof(wchar_t);
        if (capacity > 0) {
            const std::size_t length = std::min(found->second.size(), capacity - 1);
            std::wmemcpy(buffer, found->second.data(), length);
            buffer[length] = L'\0';
        }
    }
    return true;
}

bool setLabel(const wchar_t* path, const wchar_t* label, int flag) {
    record("LumoSetConfigOptionLabel", narrow(path), narrow(label), flag);
    return true;
}

bool setTargetDevice(int mask) {
    record("LumoLedSetTargetDevice", mask);
    return true;
}

bool setLighting(int red, int green, int blue) {
    record("LumoLedSetLighting", red, green, blue);
    return true;
}

bool setLightingFromBitmap(const unsigned char* bitmap) {
    record("LumoLedSetLightingFromBitmap");
    std::memcpy(recording.bitmap.data(), bitmap, recording.bitmap.size());
    return true;
}

}  // extern "C"

void* lookup(const char* name) {
    const std::string_view export_name(name);
    if (export_name == "LumoGetConfigOptionNumber") return reinterpret_cast<void*>(&getNumber);
    if (export_name == "LumoGetConfigOptionBool") return reinterpret_cast<void*>(&getBool);
    if (export_name == "LumoGetConfigOptionColor") return reinterpret_cast<void*>(&getColor);
    if (export_name == "LumoGetConfigOptionKeyInput") return reinterpret_cast<void*>(&getKeyInput);
    if (export_name == "LumoSetConfigOptionLabel") return reinterpret_cast<void*>(&setLabel);
    if (export_name == "LumoLedSetTargetDevice") return reinterpret_cast<void*>(&setTargetDevice);
    if (export_name == "LumoLedSetLighting") return reinterpret_cast<void*>(&setLighting);
    if (export_name == "LumoLedSetLightingFromBitmap") return reinterpret_cast<void*>(&setLightingFromBitmap);
    return nullptr;
}

}  // namespace

Recording& bind() {
    recording = Recording{};
    lumo::lighting::bindExports(lookup);
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
