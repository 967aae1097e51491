#include "lighting/lumo_binding.h"
#include "lighting/lumo_sdk.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recording_sdk.h"

namespace {

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
         "LumoGetConfigOptionNumber(misc/threshold,1.5,1)"},
        {"LumoGetConfigOptionBool",
         [] {
             bool value = true;
             return LumoGetConfigOptionBool(L"misc/show_health", &value);
         },
         "LumoGetConfigOptionBool(misc/show_health,true,1)"},
        {"LumoGetConfigOptionColor",
         [] {
             int red = 200, green = 100, blue = 50;
             return LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue);
         },
         "LumoGetConfigOptionColor(colors/dire,200,100,50,1)"},
        {"LumoGetConfigOptionKeyInput",
         [] {
             wchar_t key[2] = L"Q";
             return LumoGetConfigOptionKeyInput(L"keybinds/ability1", key, 4);
         },
         "LumoGetConfigOptionKeyInput(keybinds/ability1,Q,4,1)"},
        {"LumoSetConfigOptionLabel", [] { return LumoSetConfigOptionLabel(L"colors", L"Colours"); },
         "LumoSetConfigOptionLabel(colors,Colours,1)"},
        {"LumoLedSaveCurrentLighting", [] { return LumoLedSaveCurrentLighting(); },
         "LumoLedSaveCurrentLighting()"},
        {"LumoLedSetTargetDevice", [] { return LumoLedSetTargetDevice(lumo::sdk::kPerKeyDevices); },
         "LumoLedSetTargetDevice(4)"},
        {"LumoLedSetLighting", [] { return LumoLedSetLighting(10, 20, 30); }, "LumoLedSetLighting(10,20,30)"},
        {"LumoLedPulseLighting", [] { return LumoLedPulseLighting(1, 2, 3, 0, 500); },
         "LumoLedPulseLighting(1,2,3,0,500)"},
        {"LumoLedSetLightingFromBitmap", [] { return LumoLedSetLightingFromBitmap(bitmap); },
         "LumoLedSetLightingFromBitmap()"},
        {"LumoLedFlashSingleKey", [] { return LumoLedFlashSingleKey(28, 4, 5, 6, 1000, 250); },
         "LumoLedFlashSingleKey(28,4,5,6,1000,250)"},
        {"LumoLedStopEffectsOnKey", [] { return LumoLedStopEffectsOnKey(28); },
         "LumoLedStopEffectsOnKey(28)"},
        {"LumoLedStopEffects", [] { return LumoLedStopEffects(); }, "LumoLedStopEffects()"},
    };
}

// Each test starts with an empty recording and nothing bound.
class BindingTest : public testing::Test {
protected:
    void SetUp() override {
        sdk = &recording_sdk::bind();
        recording_sdk::unbind();
    }
    void TearDown() override { recording_sdk::unbind(); }

    recording_sdk::Recording* sdk = nullptr;
};

TEST_F(BindingTest, UnboundOperationsReturnFalseWithoutEffect) {
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        EXPECT_FALSE(operation.call());
    }
    EXPECT_TRUE(sdk->calls.empty());

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

// Every export has a stand-in of its own name, so an operation wired to a neighbour's entry
// shows up as the wrong call.
TEST_F(BindingTest, EachOperationForwardsToItsOwnExportAndPassesTheResultBack) {
    sdk = &recording_sdk::bind();
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        for (const bool result : {true, false}) {
            sdk->calls.clear();
            sdk->result = result;
            EXPECT_EQ(operation.call(), result);
            EXPECT_EQ(sdk->calls, std::vector<std::string>{operation.expectedCall});
        }
    }
    EXPECT_EQ(sdk->bitmap[0], 17) << "the bitmap reaches the SDK as passed";
    EXPECT_EQ(sdk->bitmap[lumo::sdk::kBitmapBytes - 1], 255);
}

TEST_F(BindingTest, OptionReadsReceiveTheSdkValues) {
    sdk = &recording_sdk::bind();
    sdk->userValues.numbers[L"misc/threshold"] = 7.25;
    sdk->userValues.bools[L"misc/show_health"] = false;
    sdk->userValues.colors[L"colors/dire"] = {1, 2, 3};
    sdk->userValues.keys[L"keybinds/ability1"] = L"W";
    double number = 1.5;
    bool flag = true;
    int red = 200, green = 100, blue = 50;
    wchar_t key[2] = L"Q";
    EXPECT_TRUE(LumoGetConfigOptionNumber(L"misc/threshold", &number));
    EXPECT_TRUE(LumoGetConfigOptionBool(L"misc/show_health", &flag));
    EXPECT_TRUE(LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue));
    EXPECT_TRUE(LumoGetConfigOptionKeyInput(L"keybinds/ability1", key, sizeof key));
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
        sdk = &recording_sdk::bind(missing.exportName);
        EXPECT_FALSE(missing.call());
        EXPECT_TRUE(sdk->calls.empty());
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
    sdk = &recording_sdk::bind();
    ASSERT_TRUE(LumoLedSetLighting(1, 2, 3));
    recording_sdk::unbind();
    sdk->calls.clear();
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.exportName);
        EXPECT_FALSE(operation.call());
    }
    EXPECT_TRUE(sdk->calls.empty());
}

}  // namespace
