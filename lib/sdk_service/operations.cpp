// The 30 operations of the lighting SDK. Each one hands the work to the process's service with
// the way to record its arguments as received, which the service uses only for a sink that
// records calls.
#include "sdk_service/operations.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sdk_service/key_table.h"
#include "sdk_service/service.h"
#include "text/utf.h"
#include "text/wide_buffer.h"

namespace lumo::sdk_service {
namespace {

using Json = Service::Json;

Json text(const wchar_t* value) {
    if (value == nullptr) return nullptr;
    return lumo::util::toUtf8(std::wstring(value));
}

// Wide text in a caller's buffer of `bufferBytes` bytes, which need not hold a terminator.
std::wstring boundedText(const wchar_t* buffer, int bufferBytes) {
    const std::size_t capacity =
        bufferBytes > 0 ? static_cast<std::size_t>(bufferBytes) / sizeof(wchar_t) : 0;
    std::size_t length = 0;
    while (length < capacity && buffer[length] != L'\0') ++length;
    return std::wstring(buffer, length);
}

// Writes `value` into a caller's buffer of `bufferBytes` bytes, cut to fit and terminated;
// returns the text written.
std::string writeBounded(const std::string& value, wchar_t* buffer, int bufferBytes) {
    const std::wstring wide = lumo::util::fromUtf8(value);
    const std::size_t length = lumo::util::copyToWideBuffer(wide, buffer, bufferBytes);
    return lumo::util::toUtf8(wide.substr(0, length));
}

template <typename T>
Json pointee(const T* value) {
    if (value == nullptr) return nullptr;
    return *value;
}

Json hex(const unsigned char* bytes, int count) {
    if (bytes == nullptr) return nullptr;
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
    }
    return out;
}

// The option named by `path` for the running program; nullopt for a null, empty or
// malformed path.
std::optional<OptionPlace> placeOf(const OptionPlace& program, const wchar_t* path) {
    if (path == nullptr) return std::nullopt;
    OptionPlace place = program;
    place.path = lumo::util::toUtf8(std::wstring(path));
    if (place.path.empty()) return std::nullopt;
    return place;
}

bool readOption(OptionStore& store, const OptionPlace& program, const wchar_t* path, OptionType type,
                Json& value) {
    std::optional<OptionPlace> place = placeOf(program, path);
    return place && store.read(*place, type, value);
}

bool lighting(const char* operation, const Service::Arguments& arguments,
              const std::function<bool(Keyboard&)>& change) {
    return Service::instance().lighting(operation, arguments, change);
}

bool option(const char* operation, const Service::Arguments& arguments, const Service::OptionWork& work) {
    return Service::instance().option(operation, arguments, work);
}

RunningEffect effect(const char* kind, std::optional<int> key, Rgb color, int duration,
                     std::optional<int> interval) {
    RunningEffect made;
    made.kind = kind;
    made.key = key;
    made.color = color;
    made.duration = duration;
    made.interval = interval;
    return made;
}

// Runs an operation's whole body: nothing thrown, not even while its arguments are being
// recorded, may reach a caller that is C.
template <typename Body>
bool caught(const Body& body) noexcept {
    try {
        return body();
    } catch (...) {
        return false;
    }
}

}  // namespace

namespace operations {

bool LumoLedInit() {
    return caught(
        [&] { return Service::instance().initialize("LumoLedInit", [] { return Json::array(); }); });
}

bool LumoLedInitWithName(const wchar_t* applicationName) {
    return caught([&] {
        if (applicationName == nullptr)
            return lighting(
                "LumoLedInitWithName", [&] { return Json::array({nullptr}); },
                [](Keyboard&) { return false; });
        return Service::instance().initialize("LumoLedInitWithName",
                                              [&] { return Json::array({text(applicationName)}); });
    });
}

bool LumoGetConfigOptionNumber(const wchar_t* path, double* value, int flag) {
    return caught([&] {
        return option(
            "LumoGetConfigOptionNumber",
            [&] {
                return Json::array({text(path), pointee(value), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (value == nullptr) return false;
                Json stored = *value;
                if (!readOption(store, program, path, OptionType::number, stored)) return false;
                *value = stored.get<double>();
                result = *value;
                return true;
            });
    });
}

bool LumoGetConfigOptionBool(const wchar_t* path, bool* value, int flag) {
    return caught([&] {
        return option(
            "LumoGetConfigOptionBool",
            [&] {
                return Json::array({text(path), pointee(value), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (value == nullptr) return false;
                Json stored = *value;
                if (!readOption(store, program, path, OptionType::boolean, stored)) return false;
                *value = stored.get<bool>();
                result = *value;
                return true;
            });
    });
}

bool LumoGetConfigOptionColor(const wchar_t* path, int* red, int* green, int* blue, int flag) {
    return caught([&] {
        return option(
            "LumoGetConfigOptionColor",
            [&] {
                return Json::array({text(path), pointee(red), pointee(green), pointee(blue), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (red == nullptr || green == nullptr || blue == nullptr) return false;
                Json stored = Json::array({*red, *green, *blue});
                if (!readOption(store, program, path, OptionType::color, stored)) return false;
                *red = stored[0].get<int>();
                *green = stored[1].get<int>();
                *blue = stored[2].get<int>();
                result = Json::array({*red, *green, *blue});
                return true;
            });
    });
}

bool LumoGetConfigOptionRect(const wchar_t* path, int* x, int* y, int* width, int* height, int flag) {
    return caught([&] {
        return option(
            "LumoGetConfigOptionRect",
            [&] {
                return Json::array(
                    {text(path), pointee(x), pointee(y), pointee(width), pointee(height), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (x == nullptr || y == nullptr || width == nullptr || height == nullptr) return false;
                Json stored = Json::array({*x, *y, *width, *height});
                if (!readOption(store, program, path, OptionType::rect, stored)) return false;
                *x = stored[0].get<int>();
                *y = stored[1].get<int>();
                *width = stored[2].get<int>();
                *height = stored[3].get<int>();
                result = Json::array({*x, *y, *width, *height});
                return true;
            });
    });
}

bool LumoGetConfigOptionRange(const wchar_t* path, double* value, double minimum, double maximum, int flag) {
    return caught([&] {
        return option(
            "LumoGetConfigOptionRange",
            [&] {
                return Json::array({text(path), pointee(value), minimum, maximum, flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (value == nullptr || !(minimum <= maximum)) return false;
                Json stored = *value;
                if (!readOption(store, program, path, OptionType::number, stored)) return false;
                const double chosen = stored.get<double>();
                // A value edited outside the range is not handed on.
                if (!(chosen >= minimum && chosen <= maximum)) return false;
                *value = chosen;
                result = chosen;
                return true;
            });
    });
}

bool LumoGetConfigOptionSelect(const wchar_t* path, wchar_t* value, int valueSize, const wchar_t* choices,
                               int flag) {
    return caught([&] {
        Json entry =
            value == nullptr ? Json(nullptr) : Json(lumo::util::toUtf8(boundedText(value, valueSize)));
        return option(
            "LumoGetConfigOptionSelect",
            [&] {
                return Json::array({text(path), entry, valueSize, text(choices), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                if (value == nullptr || choices == nullptr || valueSize < static_cast<int>(sizeof(wchar_t)))
                    return false;
                Json stored = entry;
                if (!readOption(store, program, path, OptionType::select, stored)) return false;
                result = writeBounded(stored.get<std::string>(), value, valueSize);
                return true;
            });
    });
}

bool LumoGetConfigOptionKeyInput(const wchar_t* path, wchar_t* buffer, int bufferSize, int flag) {
    return caught([&] {
        Json entry =
            buffer == nullptr ? Json(nullptr) : Json(lumo::util::toUtf8(boundedText(buffer, bufferSize)));
        return option(
            "LumoGetConfigOptionKeyInput",
            [&] {
                return Json::array({text(path), entry, bufferSize, flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json& result) {
                // Not even a terminator fits: nothing may be written.
                if (buffer == nullptr || bufferSize < static_cast<int>(sizeof(wchar_t))) return false;
                Json stored = entry;
                if (!readOption(store, program, path, OptionType::key, stored)) return false;
                result = writeBounded(stored.get<std::string>(), buffer, bufferSize);
                return true;
            });
    });
}

bool LumoSetConfigOptionLabel(const wchar_t* path, const wchar_t* label, int flag) {
    return caught([&] {
        return option(
            "LumoSetConfigOptionLabel",
            [&] {
                return Json::array({text(path), text(label), flag});
            },
            [&](OptionStore& store, const OptionPlace& program, Json&) {
                std::optional<OptionPlace> place = placeOf(program, path);
                if (!place || label == nullptr) return false;
                const std::string labelText = lumo::util::toUtf8(std::wstring(label));
                // Malformed text converts to nothing; an empty label is not what was meant.
                if (labelText.empty() && *label != L'\0') return false;
                return store.label(*place, labelText);
            });
    });
}

bool LumoLedSaveCurrentLighting() {
    return caught([&] {
        return lighting(
            "LumoLedSaveCurrentLighting", [] { return Json::array(); },
            [](Keyboard& keyboard) {
                keyboard.saveLighting();
                return true;
            });
    });
}

bool LumoLedSetTargetDevice(int mask) {
    return caught([&] {
        return lighting(
            "LumoLedSetTargetDevice", [&] { return Json::array({mask}); },
            [&](Keyboard& keyboard) { return keyboard.setTargetDevice(mask); });
    });
}

bool LumoLedSetLighting(int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLighting",
            [&] {
                return Json::array({red, green, blue});
            },
            [&](Keyboard& keyboard) {
                return keyboard.setLighting({red, green, blue});
            });
    });
}

bool LumoLedRestoreLighting() {
    return caught([&] {
        return lighting(
            "LumoLedRestoreLighting", [] { return Json::array(); },
            [](Keyboard& keyboard) { return keyboard.restoreLighting(); });
    });
}

bool LumoLedFlashLighting(int red, int green, int blue, int duration, int interval) {
    return caught([&] {
        return lighting(
            "LumoLedFlashLighting",
            [&] {
                return Json::array({red, green, blue, duration, interval});
            },
            [&](Keyboard& keyboard) {
                return keyboard.startKeyboardEffect(
                    effect("flash", std::nullopt, {red, green, blue}, duration, interval),
                    Keyboard::Clock::now());
            });
    });
}

bool LumoLedPulseLighting(int red, int green, int blue, int duration, int interval) {
    return caught([&] {
        return lighting(
            "LumoLedPulseLighting",
            [&] {
                return Json::array({red, green, blue, duration, interval});
            },
            [&](Keyboard& keyboard) {
                return keyboard.startKeyboardEffect(
                    effect("pulse", std::nullopt, {red, green, blue}, duration, interval),
                    Keyboard::Clock::now());
            });
    });
}

bool LumoLedSetLightingFromBitmap(const unsigned char* bitmap) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingFromBitmap",
            [&] { return Json::array({hex(bitmap, lumo::sdk::kBitmapBytes)}); },
            [&](Keyboard& keyboard) { return keyboard.setLightingFromBitmap(bitmap); });
    });
}

bool LumoLedExcludeKeysFromBitmap(const int* keys, int count) {
    return caught([&] {
        std::vector<int> scanCodes;
        if (keys != nullptr && count > 0) scanCodes.assign(keys, keys + count);
        return lighting(
            "LumoLedExcludeKeysFromBitmap",
            [&] {
                return Json::array({keys == nullptr ? Json(nullptr) : Json(scanCodes), count});
            },
            [&](Keyboard& keyboard) {
                if (count < 0 || (keys == nullptr && count > 0)) return false;
                return keyboard.excludeKeysFromBitmap(scanCodes);
            });
    });
}

bool LumoLedSetLightingForKeyWithScanCode(int key, int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingForKeyWithScanCode",
            [&] {
                return Json::array({key, red, green, blue});
            },
            [&](Keyboard& keyboard) {
                return keyboard.setKeyLighting(cellOfScanCode(key), {red, green, blue});
            });
    });
}

bool LumoLedSetLightingForKeyWithHidCode(int key, int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingForKeyWithHidCode",
            [&] {
                return Json::array({key, red, green, blue});
            },
            [&](Keyboard& keyboard) {
                return keyboard.setKeyLighting(cellOfHidCode(key), {red, green, blue});
            });
    });
}

// The keyboard knows no key numbering of these two kinds: no key is found.
bool LumoLedSetLightingForKeyWithQuartzCode(int key, int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingForKeyWithQuartzCode",
            [&] {
                return Json::array({key, red, green, blue});
            },
            [](Keyboard&) { return false; });
    });
}

bool LumoLedSetLightingForKeyWithKeyName(int keyName, int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingForKeyWithKeyName",
            [&] {
                return Json::array({keyName, red, green, blue});
            },
            [](Keyboard&) { return false; });
    });
}

bool LumoLedPulseSingleKey(int key, int red, int green, int blue, int red2, int green2, int blue2,
                           int duration, bool repeat) {
    return caught([&] {
        return lighting(
            "LumoLedPulseSingleKey",
            [&] {
                return Json::array({key, red, green, blue, red2, green2, blue2, duration, repeat});
            },
            [&](Keyboard& keyboard) {
                RunningEffect pulse = effect("pulse", key, {red, green, blue}, duration, std::nullopt);
                pulse.color2 = Rgb{red2, green2, blue2};
                pulse.repeat = repeat;
                return keyboard.startKeyEffect(pulse, Keyboard::Clock::now());
            });
    });
}

bool LumoLedFlashSingleKey(int key, int red, int green, int blue, int duration, int interval) {
    return caught([&] {
        return lighting(
            "LumoLedFlashSingleKey",
            [&] {
                return Json::array({key, red, green, blue, duration, interval});
            },
            [&](Keyboard& keyboard) {
                return keyboard.startKeyEffect(effect("flash", key, {red, green, blue}, duration, interval),
                                               Keyboard::Clock::now());
            });
    });
}

bool LumoLedStopEffectsOnKey(int key) {
    return caught([&] {
        return lighting(
            "LumoLedStopEffectsOnKey", [&] { return Json::array({key}); },
            [&](Keyboard& keyboard) { return keyboard.stopEffectsOnKey(key); });
    });
}

bool LumoLedSaveLightingForKey(int key) {
    return caught([&] {
        return lighting(
            "LumoLedSaveLightingForKey", [&] { return Json::array({key}); },
            [&](Keyboard& keyboard) { return keyboard.saveKeyLighting(key); });
    });
}

bool LumoLedRestoreLightingForKey(int key) {
    return caught([&] {
        return lighting(
            "LumoLedRestoreLightingForKey", [&] { return Json::array({key}); },
            [&](Keyboard& keyboard) { return keyboard.restoreKeyLighting(key); });
    });
}

bool LumoLedStopEffects() {
    return caught([&] {
        return lighting(
            "LumoLedStopEffects", [] { return Json::array(); },
            [](Keyboard& keyboard) {
                keyboard.stopEffects();
                return true;
            });
    });
}

// The keyboard has no lighting zones.
bool LumoLedSetLightingForTargetZone(unsigned char zone, int red, int green, int blue) {
    return caught([&] {
        return lighting(
            "LumoLedSetLightingForTargetZone",
            [&] {
                return Json::array({zone, red, green, blue});
            },
            [](Keyboard&) { return false; });
    });
}

bool LumoLedShutdown() {
    return caught([] { return Service::instance().shutdown("LumoLedShutdown"); });
}

}  // namespace operations

void* operationNamed(const char* name) {
    if (name == nullptr) return nullptr;
#define LUMO_OPERATION_NAMED(Type, Name) \
    if (std::strcmp(name, #Name) == 0) return reinterpret_cast<void*>(&operations::Name);
    LUMO_SDK_EXPORTS(LUMO_OPERATION_NAMED)
#undef LUMO_OPERATION_NAMED
    return nullptr;
}

}  // namespace lumo::sdk_service
