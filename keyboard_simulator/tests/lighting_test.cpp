#include <array>
#include <chrono>
#include <thread>

#include "simulator_fixture.h"

namespace lumo::simulator::test {
namespace {

using LightingTest = SimulatorTest;
using Bitmap = std::array<unsigned char, sdk::kBitmapBytes>;

Json rgb(int red, int green, int blue) { return Json::array({red, green, blue}); }

Json allKeys(int red, int green, int blue) {
    Json keys = Json::array();
    for (int i = 0; i < sdk::kBitmapKeys; ++i) keys.push_back(rgb(red, green, blue));
    return keys;
}

// The running effects without their start times, which only the next test checks.
Json effectsOf(const Json& state) {
    Json effects = state.at("effects");
    for (Json& effect : effects) effect.erase("started");
    return effects;
}

void paint(Bitmap& bitmap, int cell, int red, int green, int blue, int alpha = 255) {
    bitmap[4 * cell + 0] = static_cast<unsigned char>(blue);
    bitmap[4 * cell + 1] = static_cast<unsigned char>(green);
    bitmap[4 * cell + 2] = static_cast<unsigned char>(red);
    bitmap[4 * cell + 3] = static_cast<unsigned char>(alpha);
}

TEST_F(LightingTest, FreshKeyboardTargetsAllDevicesAndIsDark) {
    const Json start = state();
    EXPECT_EQ(start.at("initialized"), true);
    EXPECT_EQ(start.at("mask"), 7);
    EXPECT_EQ(start.at("device"), rgb(0, 0, 0));
    EXPECT_EQ(start.at("keys"), allKeys(0, 0, 0));
    EXPECT_TRUE(start.at("saved").is_null());
    EXPECT_EQ(start.at("effects"), Json::array());
}

TEST_F(LightingTest, TargetMaskDecidesWhichDevicesTakeTheColour) {
    struct Case {
        int mask;
        bool deviceChanges;
        bool keysChange;
    };
    const Case cases[] = {
        {3, true, false}, {4, false, true}, {7, true, true}, {1, true, false}, {0, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        ASSERT_TRUE(sdk.LumoLedSetTargetDevice(7));
        ASSERT_TRUE(sdk.LumoLedSetLighting(0, 0, 0));
        ASSERT_TRUE(sdk.LumoLedSetTargetDevice(c.mask));
        EXPECT_TRUE(sdk.LumoLedSetLighting(100, 50, 9));

        const Json now = state();
        EXPECT_EQ(now.at("mask"), c.mask);
        EXPECT_EQ(now.at("device"), c.deviceChanges ? rgb(100, 50, 9) : rgb(0, 0, 0));
        // Percent to byte truncates: 50% is 127, 9% is 22.
        EXPECT_EQ(now.at("keys"), c.keysChange ? allKeys(255, 127, 22) : allKeys(0, 0, 0));
    }
}

TEST_F(LightingTest, OutOfRangeArgumentsAreRefusedWithoutEffect) {
    ASSERT_TRUE(sdk.LumoLedSetLighting(10, 20, 30));
    EXPECT_FALSE(sdk.LumoLedSetLighting(101, 0, 0));
    EXPECT_FALSE(sdk.LumoLedSetLighting(0, -1, 0));
    EXPECT_FALSE(sdk.LumoLedSetTargetDevice(8));
    EXPECT_FALSE(sdk.LumoLedSetTargetDevice(-1));
    EXPECT_FALSE(sdk.LumoLedPulseLighting(0, 0, 200, 0, 500));
    EXPECT_FALSE(sdk.LumoLedFlashSingleKey(28, 0, 0, 100, -1, 300));
    EXPECT_FALSE(sdk.LumoLedFlashSingleKey(0, 0, 0, 100, 0, 300));

    const Json now = state();
    EXPECT_EQ(now.at("mask"), 7);
    EXPECT_EQ(now.at("device"), rgb(10, 20, 30));
    EXPECT_EQ(now.at("effects"), Json::array());
}

TEST_F(LightingTest, BitmapBytesAreBlueGreenRedAlpha) {
    Bitmap bitmap{};
    paint(bitmap, 0, 1, 2, 3);
    paint(bitmap, 43, 200, 100, 50);
    paint(bitmap, 125, 255, 255, 255);
    paint(bitmap, 64, 9, 9, 9, 0);  // no alpha: dark whatever the colour bytes say
    ASSERT_TRUE(sdk.LumoLedSetLighting(100, 100, 100));
    ASSERT_TRUE(sdk.LumoLedSetTargetDevice(4));
    EXPECT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));

    Json expected = allKeys(0, 0, 0);
    expected[0] = rgb(1, 2, 3);
    expected[43] = rgb(200, 100, 50);
    expected[125] = rgb(255, 255, 255);
    const Json now = state();
    EXPECT_EQ(now.at("keys"), expected);
    EXPECT_EQ(now.at("device"), rgb(100, 100, 100));
}

TEST_F(LightingTest, BitmapIsIgnoredUnlessPerKeyDevicesAreTargeted) {
    Bitmap bitmap{};
    paint(bitmap, 10, 255, 0, 0);
    ASSERT_TRUE(sdk.LumoLedSetTargetDevice(3));
    EXPECT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));
    EXPECT_EQ(state().at("keys"), allKeys(0, 0, 0));
}

TEST_F(LightingTest, ExcludedKeysKeepTheirColourUnderLaterBitmaps) {
    ASSERT_TRUE(sdk.LumoLedSetLighting(100, 0, 0));
    const int q = 16;  // scan code of Q, cell 43
    ASSERT_TRUE(sdk.LumoLedExcludeKeysFromBitmap(&q, 1));
    Bitmap bitmap{};
    EXPECT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));
    Json expected = allKeys(0, 0, 0);
    expected[43] = rgb(255, 0, 0);
    EXPECT_EQ(state().at("keys"), expected);

    ASSERT_TRUE(sdk.LumoLedExcludeKeysFromBitmap(nullptr, 0));
    EXPECT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));
    EXPECT_EQ(state().at("keys"), allKeys(0, 0, 0));
}

TEST_F(LightingTest, SingleKeysAreFoundByScanCodeAndHidCode) {
    EXPECT_TRUE(sdk.LumoLedSetLightingForKeyWithScanCode(0x10, 100, 0, 0));  // Q
    EXPECT_TRUE(sdk.LumoLedSetLightingForKeyWithHidCode(44, 0, 100, 0));     // Space
    EXPECT_FALSE(sdk.LumoLedSetLightingForKeyWithScanCode(0x7F, 100, 0, 0));
    Json expected = allKeys(0, 0, 0);
    expected[43] = rgb(255, 0, 0);
    expected[110] = rgb(0, 255, 0);
    EXPECT_EQ(state().at("keys"), expected);

    ASSERT_TRUE(sdk.LumoLedSaveLightingForKey(0x10));
    ASSERT_TRUE(sdk.LumoLedSetLighting(0, 0, 100));
    EXPECT_TRUE(sdk.LumoLedRestoreLightingForKey(0x10));
    EXPECT_FALSE(sdk.LumoLedRestoreLightingForKey(0x11));
    EXPECT_EQ(state().at("keys")[43], rgb(255, 0, 0));
    EXPECT_EQ(state().at("keys")[44], rgb(0, 0, 255));
}

TEST_F(LightingTest, SavedLightingComesBackOnRestore) {
    EXPECT_FALSE(sdk.LumoLedRestoreLighting());

    Bitmap bitmap{};
    paint(bitmap, 5, 10, 20, 30);
    ASSERT_TRUE(sdk.LumoLedSetLighting(40, 50, 60));
    ASSERT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));
    EXPECT_TRUE(sdk.LumoLedSaveCurrentLighting());
    const Json before = state();
    EXPECT_EQ(before.at("saved").at("device"), rgb(40, 50, 60));
    EXPECT_EQ(before.at("saved").at("keys"), before.at("keys"));

    ASSERT_TRUE(sdk.LumoLedSetLighting(0, 0, 0));
    EXPECT_TRUE(sdk.LumoLedRestoreLighting());
    const Json after = state();
    EXPECT_EQ(after.at("device"), rgb(40, 50, 60));
    EXPECT_EQ(after.at("keys")[5], rgb(10, 20, 30));
    EXPECT_EQ(after.at("keys")[6], rgb(0, 0, 0));
}

TEST_F(LightingTest, EffectsCarryTheWallClockTimeTheyStarted) {
    using namespace std::chrono;
    const auto before = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    ASSERT_TRUE(sdk.LumoLedPulseLighting(100, 0, 0, 0, 500));
    std::this_thread::sleep_for(milliseconds(20));
    ASSERT_TRUE(sdk.LumoLedSetLighting(0, 0, 0));
    const auto after = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const long long started = state().at("effects").at(0).at("started");
    EXPECT_GE(started, before - 2);
    EXPECT_LE(started, after - 20 + 2);
}

TEST_F(LightingTest, EffectsRunUntilStopped) {
    ASSERT_TRUE(sdk.LumoLedPulseLighting(100, 0, 0, 0, 500));
    ASSERT_TRUE(sdk.LumoLedFlashSingleKey(28, 0, 0, 100, 0, 350));
    ASSERT_TRUE(sdk.LumoLedFlashSingleKey(2, 0, 100, 0, 0, 300));
    EXPECT_EQ(effectsOf(state()), Json::parse(R"([
        {"kind": "pulse", "color": [100, 0, 0], "duration": 0, "interval": 500},
        {"kind": "flash", "key": 28, "color": [0, 0, 100], "duration": 0, "interval": 350},
        {"kind": "flash", "key": 2, "color": [0, 100, 0], "duration": 0, "interval": 300}])"));

    // A new effect replaces the earlier one of the same key, or the whole keyboard's.
    ASSERT_TRUE(sdk.LumoLedFlashSingleKey(28, 100, 100, 100, 0, 100));
    ASSERT_TRUE(sdk.LumoLedPulseLighting(0, 0, 50, 0, 250));
    EXPECT_EQ(effectsOf(state()), Json::parse(R"([
        {"kind": "flash", "key": 2, "color": [0, 100, 0], "duration": 0, "interval": 300},
        {"kind": "flash", "key": 28, "color": [100, 100, 100], "duration": 0, "interval": 100},
        {"kind": "pulse", "color": [0, 0, 50], "duration": 0, "interval": 250}])"));

    EXPECT_TRUE(sdk.LumoLedStopEffectsOnKey(28));
    EXPECT_EQ(effectsOf(state()), Json::parse(R"([
        {"kind": "flash", "key": 2, "color": [0, 100, 0], "duration": 0, "interval": 300},
        {"kind": "pulse", "color": [0, 0, 50], "duration": 0, "interval": 250}])"));

    EXPECT_TRUE(sdk.LumoLedStopEffects());
    EXPECT_EQ(state().at("effects"), Json::array());
}

TEST_F(LightingTest, EffectWithADurationEndsByItself) {
    ASSERT_TRUE(sdk.LumoLedPulseLighting(100, 0, 0, 1, 500));
    ASSERT_TRUE(sdk.LumoLedPulseSingleKey(16, 100, 0, 0, 0, 0, 100, 0, true));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(sdk.LumoLedSetLighting(0, 0, 0));
    EXPECT_EQ(effectsOf(state()), Json::parse(R"([
        {"kind": "pulse", "key": 16, "color": [100, 0, 0], "color2": [0, 0, 100], "duration": 0, "repeat": true}])"));
}

TEST_F(LightingTest, ShutdownEndsEverythingAndCallsThenNeedInitAgain) {
    ASSERT_TRUE(sdk.LumoLedSetLighting(50, 50, 50));
    ASSERT_TRUE(sdk.LumoLedSaveCurrentLighting());
    ASSERT_TRUE(sdk.LumoLedFlashSingleKey(28, 0, 0, 100, 0, 350));
    EXPECT_TRUE(sdk.LumoLedShutdown());

    const Json down = state();
    EXPECT_EQ(down.at("initialized"), false);
    EXPECT_EQ(down.at("effects"), Json::array());
    EXPECT_TRUE(down.at("saved").is_null());

    EXPECT_FALSE(sdk.LumoLedSetLighting(10, 10, 10));
    EXPECT_FALSE(sdk.LumoLedStopEffects());
    EXPECT_EQ(state().at("device"), rgb(0, 0, 0));
    EXPECT_TRUE(sdk.LumoLedInitWithName(L"test"));
    EXPECT_TRUE(sdk.LumoLedSetLighting(10, 10, 10));
}

}  // namespace
}  // namespace lumo::simulator::test
