#include "lighting/lumo_binding.h"
#include "lighting/lumo_sdk.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Every stand-in appends one line naming its export and arguments, and returns sdkResult.
std::vector<std::string> calls;
bool sdkResult = true;

std::string narrow(const wchar_t* text) {
    std::string result;
    for (; *text != L'\0'; ++text) {
        result += static_cast<char>(*text);
    }
    return result;
}

template <class... Arguments>
bool record(const char* name, const Arguments&... arguments) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << arguments), ...);
    calls.push_back(line.str());
    return sdkResult;
}

bool getNumber(const wchar_t* path, double* value, int flag) {
    const bool result = record("LumoGetConfigOptionNumber", narrow(path), *value, flag);
    *value = 7.25;
    return result;
}
bool getBool(const wchar_t* path, bool* value, int flag) {
    const bool result = record("LumoGetConfigOptionBool", narrow(path), *value, flag);
    *value = !*value;
    return result;
}
bool getColor(const wchar_t* path, int* red, int* green, int* blue, int flag) {
    const bool result = record("LumoGetConfigOptionColor", narrow(path), *red, *green, *blue, flag);
    *red = 1;
    *green = 2;
    *blue = 3;
    return result;
}
bool getKeyInput(const wchar_t* path, wchar_t* buffer, int size, int flag) {
    const bool result = record("LumoGetConfigOptionKeyInput", narrow(path), narrow(buffer), size, flag);
    buffer[0] = L'W';
    return result;
}
bool setLabel(const wchar_t* path, const wchar_t* label, int flag) {
    return record("LumoSetConfigOptionLabel", narrow(path), narrow(label), flag);
}
bool saveLighting() { return record("LumoLedSaveCurrentLighting"); }
bool setTarget(int mask) { return record("LumoLedSetTargetDevice", mask); }
bool setLighting(int red, int green, int blue) { return record("LumoLedSetLighting", red, green, blue); }
bool pulse(int red, int green, int blue, int duration, int interval) {
    return record("LumoLedPulseLighting", red, green, blue, duration, interval);
}
bool setBitmap(const unsigned char* bitmap) {
    return record("LumoLedSetLightingFromBitmap", int{bitmap[0]}, int{bitmap[lumo::sdk::kBitmapBytes - 1]});
}
bool flashKey(int key, int red, int green, int blue, int duration, int interval) {
    return record("LumoLedFlashSingleKey", key, red, green, blue, duration, interval);
}
bool stopKey(int key) { return record("LumoLedStopEffectsOnKey", key); }
bool stopEffects() { return record("LumoLedStopEffects"); }
// Bound-only exports: no operation may ever reach them.
bool boundOnly() { return record("bound-only export called"); }

const std::map<std::string, void*>& standIns() {
    static const std::map<std::string, void*> table = [] {
        std::map<std::string, void*> result;
        for (const char* name : lumo::sdk::kExportNames) {
            result[name] = reinterpret_cast<void*>(&boundOnly);
        }
        result["LumoGetConfigOptionNumber"] = reinterpret_cast<void*>(&getNumber);
        result["LumoGetConfigOptionBool"] = reinterpret_cast<void*>(&getBool);
        result["LumoGetConfigOptionColor"] = reinterpret_cast<void*>(&getColor);
        result["LumoGetConfigOptionKeyInput"] = reinterpret_cast<void*>(&getKeyInput);
        result["LumoSetConfigOptionLabel"] = reinterpret_cast<void*>(&setLabel);
        result["LumoLedSaveCurrentLighting"] = reinterpret_cast<void*>(&saveLighting);
        result["LumoLedSetTargetDevice"] = reinterpret_cast<void*>(&setTarget);
        result["LumoLedSetLighting"] = reinterpret_cast<void*>(&setLighting);
        result["LumoLedPulseLighting"] = reinterpret_cast<void*>(&pulse);
        result["LumoLedSetLightingFromBitmap"] = reinterpret_cast<void*>(&setBitmap);
        result["LumoLedFlashSingleKey"] = reinterpret_cast<void*>(&flashKey);
        result["LumoLedStopEffectsOnKey"] = reinterpret_cast<void*>(&stopKey);
        result["LumoLedStopEffects"] = reinterpret_cast<void*>(&stopEffects);
        return result;
    }();
    return table;
}

// Binds every stand-in except the export `missing`.
void bindStandIns(const std::string& missing = "") {
    lumo::lighting::bindExports(
        [&missing](const char* name) -> void* { return name == missing ? nullptr : standIns().at(name); });
}

void unbindAll() {
    lumo::lighting::bindExports([](const char*) -> void* { return nullptr; });
}

struct Operation {
    const char* exportName;
    std::function<bool()> call;
    std::string expectedCall;
};

unsigned char bitmap[lumo::sdk::kBitmapBytes];

// The operations the applets use, each with arguments that tell every position apart.
// LumoLedInit is left out: it also runs the loading sequence (see the loader tests).
std::vector<Operation> operations() {
    bitmap[0] = 17;
    bitmap[lumo::sdk::kBitmapBytes - 1] = 255;
    return {
        {"LumoGetConfigOptionNumber",
         [] {
             double value = 1.5;
             return LumoGetConfigOptionNumber(L"misc/threshold", &value);
         },
         "LumoGetConfigOptionNumber misc/threshold 1.5 1"},
        {"LumoGetConfigOptionBool",
         [] {
             bool value = true;
             return LumoGetConfigOptionBool(L"misc/show_health", &value);
         },
         "LumoGetConfigOptionBool misc/show_health 1 1"},
        {"LumoGetConfigOptionColor",
         [] {
             int red = 200, green = 100, blue = 50;
             return LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue);
         },
         "LumoGetConfigOptionColor colors/dire 200 100 50 1"},
        {"LumoGetConfigOptionKeyInput",
         [] {
             wchar_t key[2] = L"Q";
             return LumoGetConfigOptionKeyInput(L"keybinds/ability1", key, 4);
         },
         "LumoGetConfigOptionKeyInput keybinds/ability1 Q 4 1"},
        {"LumoSetConfigOptionLabel", [] { return LumoSetConfigOptionLabel(L"colors", L"Colours"); },
         "LumoSetConfigOptionLabel colors Colours 1"},
        {"LumoLedSaveCurrentLighting", [] { return LumoLedSaveCurrentLighting(); },
         "LumoLedSaveCurrentLighting"},
        {"LumoLedSetTargetDevice", [] { return LumoLedSetTargetDevice(lumo::sdk::kPerKeyDevices); },
         "LumoLedSetTargetDevice 4"},
        {"LumoLedSetLighting", [] { return LumoLedSetLighting(10, 20, 30); }, "LumoLedSetLighting 10 20 30"},
        {"LumoLedPulseLighting", [] { return LumoLedPulseLighting(1, 2, 3, 0, 500); },
         "LumoLedPulseLighting 1 2 3 0 500"},
        {"LumoLedSetLightingFromBitmap", [] { return LumoLedSetLightingFromBitmap(bitmap); },
         "LumoLedSetLightingFromBitmap 17 255"},
        {"LumoLedFlashSingleKey", [] { return LumoLedFlashSingleKey(28, 4, 5, 6, 1000, 250); },
         "LumoLedFlashSingleKey 28 4 5 6 1000 250"},
        {"LumoLedStopEffectsOnKey", [] { return LumoLedStopEffectsOnKey(28); }, "LumoLedStopEffectsOnKey 28"},
        {"LumoLedStopEffects", [] { return LumoLedStopEffects(); }, "LumoLedStopEffects"},
    };
}

class BindingTest : public testing::Test {
protected:
    void SetUp() override {
        unbindAll();
        calls.clear();
        sdkResult = true;
    }
    void TearDown() override { unbindAll(); }
};

TEST_F(BindingTest, UnboundOperationsReturnFalseWithoutEffect) {
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        EXPECT_FALSE(operation.call());
    }
    EXPECT_TRUE(calls.empty());

    // Option reads keep the caller's defaults.
    double number = 1.5;
    bool flag = true;
    int red = 200, green = 100, blue = 50;
    wchar_t key[2] = L"Q";
    EXPECT_FALSE(LumoGetConfigOptionNumber(L"misc/threshold", &number));
    EXPECT_FALSE(LumoGetConfigOptionBool(L"misc/show_health", &flag));
    EXPECT_FALSE(LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue));
    EXPECT_FALSE(LumoGetConfigOptionKeyInput(L"keybinds/ability1", key, 4));
    EXPECT_EQ(number, 1.5);
    EXPECT_TRUE(flag);
    EXPECT_EQ(red, 200);
    EXPECT_EQ(green, 100);
    EXPECT_EQ(blue, 50);
    EXPECT_EQ(key[0], L'Q');
}

TEST_F(BindingTest, EachOperationForwardsToItsOwnExportAndPassesTheResultBack) {
    bindStandIns();
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        for (const bool result : {true, false}) {
            calls.clear();
            sdkResult = result;
            EXPECT_EQ(operation.call(), result);
            EXPECT_EQ(calls, std::vector<std::string>{operation.expectedCall});
        }
    }
}

TEST_F(BindingTest, OptionReadsReceiveTheSdkValues) {
    bindStandIns();
    double number = 1.5;
    bool flag = true;
    int red = 200, green = 100, blue = 50;
    wchar_t key[2] = L"Q";
    EXPECT_TRUE(LumoGetConfigOptionNumber(L"misc/threshold", &number));
    EXPECT_TRUE(LumoGetConfigOptionBool(L"misc/show_health", &flag));
    EXPECT_TRUE(LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue));
    EXPECT_TRUE(LumoGetConfigOptionKeyInput(L"keybinds/ability1", key, 4));
    EXPECT_EQ(number, 7.25);
    EXPECT_FALSE(flag);
    EXPECT_EQ(red, 1);
    EXPECT_EQ(green, 2);
    EXPECT_EQ(blue, 3);
    EXPECT_EQ(key[0], L'W');
}

TEST_F(BindingTest, AMissingExportDisablesOnlyItsOwnOperation) {
    for (const Operation& missing : operations()) {
        SCOPED_TRACE(std::string("missing ") + missing.exportName);
        bindStandIns(missing.exportName);
        calls.clear();
        EXPECT_FALSE(missing.call());
        EXPECT_TRUE(calls.empty());
        for (const Operation& other : operations()) {
            if (other.exportName == missing.exportName) {
                continue;
            }
            SCOPED_TRACE(other.exportName);
            EXPECT_TRUE(other.call());
        }
    }
}

TEST_F(BindingTest, BindingAgainReplacesEveryEntry) {
    bindStandIns();
    ASSERT_TRUE(LumoLedSetLighting(1, 2, 3));
    unbindAll();
    calls.clear();
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        EXPECT_FALSE(operation.call());
    }
    EXPECT_TRUE(calls.empty());
}

}  // namespace
