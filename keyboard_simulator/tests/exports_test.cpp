#include <thread>

#include "lighting/sdk_library.h"
#include "simulator_fixture.h"

namespace lumo::simulator::test {
namespace {

using ExportsTest = SimulatorTest;

TEST_F(ExportsTest, EveryOperationIsExportedByName) {
    for (const char* name : sdk::kExportNames) {
        SCOPED_TRACE(name);
        EXPECT_NE(lumo::lighting::findExport(sdk.handle, name), nullptr);
    }
    // The helpers inside stay hidden, so nothing else can bind to them.
    EXPECT_EQ(lumo::lighting::findExport(sdk.handle, "_ZN4lumo11sdk_service11programNameB5cxx11Ev"), nullptr);
    EXPECT_EQ(lumo::lighting::findExport(
                  sdk.handle,
                  "_ZN4lumo11sdk_service10reportOnceERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"),
              nullptr);
    // Nor the service's operations of the same names behind the exports.
    EXPECT_EQ(lumo::lighting::findExport(sdk.handle, "_ZN4lumo11sdk_service10operations11LumoLedInitEv"),
              nullptr);
}

TEST_F(ExportsTest, CallsBeforeInitDoNothingAndFail) {
    ASSERT_TRUE(sdk.LumoLedSetLighting(10, 20, 30));
    ASSERT_TRUE(sdk.LumoLedShutdown());
    EXPECT_FALSE(sdk.LumoLedShutdown());

    int red = 1, green = 2, blue = 3;
    wchar_t key[4] = L"Q";
    EXPECT_FALSE(sdk.LumoLedSetLighting(100, 100, 100));
    EXPECT_FALSE(sdk.LumoLedSetTargetDevice(4));
    EXPECT_FALSE(sdk.LumoLedSaveCurrentLighting());
    EXPECT_FALSE(sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1));
    EXPECT_FALSE(sdk.LumoGetConfigOptionKeyInput(L"keybinds/ability0", key, sizeof(key), 1));
    EXPECT_FALSE(sdk.LumoSetConfigOptionLabel(L"colors", L"Colors", 1));

    EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{1, 2, 3}));
    EXPECT_STREQ(key, L"Q");
    EXPECT_FALSE(std::filesystem::exists(optionsPath));
    const Json now = state();
    EXPECT_EQ(now.at("initialized"), false);
    EXPECT_EQ(now.at("mask"), 7);
    EXPECT_TRUE(now.at("saved").is_null());
}

TEST_F(ExportsTest, NullPointersAreRefused) {
    int value = 0;
    bool flag = false;
    double number = 0;
    wchar_t buffer[4] = L"Q";
    const struct {
        const char* call;
        bool returned;
    } cases[] = {
        {"InitWithName", sdk.LumoLedInitWithName(nullptr)},
        {"Number path", sdk.LumoGetConfigOptionNumber(nullptr, &number, 1)},
        {"Number value", sdk.LumoGetConfigOptionNumber(L"misc/a", nullptr, 1)},
        {"Bool path", sdk.LumoGetConfigOptionBool(nullptr, &flag, 1)},
        {"Bool value", sdk.LumoGetConfigOptionBool(L"misc/b", nullptr, 1)},
        {"Color green", sdk.LumoGetConfigOptionColor(L"colors/c", &value, nullptr, &value, 1)},
        {"Color path", sdk.LumoGetConfigOptionColor(nullptr, &value, &value, &value, 1)},
        {"Empty path", sdk.LumoGetConfigOptionColor(L"", &value, &value, &value, 1)},
        {"KeyInput path", sdk.LumoGetConfigOptionKeyInput(nullptr, buffer, sizeof(buffer), 1)},
        {"KeyInput buffer", sdk.LumoGetConfigOptionKeyInput(L"keybinds/x", nullptr, 8, 1)},
        {"Label path", sdk.LumoSetConfigOptionLabel(nullptr, L"x", 1)},
        {"Label text", sdk.LumoSetConfigOptionLabel(L"misc", nullptr, 1)},
        {"Bitmap", sdk.LumoLedSetLightingFromBitmap(nullptr)},
        {"Exclude", sdk.LumoLedExcludeKeysFromBitmap(nullptr, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_FALSE(c.returned);
    }
    // Nothing was declared by the refused calls.
    EXPECT_FALSE(std::filesystem::exists(optionsPath));
}

TEST_F(ExportsTest, MalformedWideTextIsRefused) {
    // A lone surrogate is malformed in UTF-16 and UTF-32 alike.
    const wchar_t lone[] = {L'c', L'/', static_cast<wchar_t>(0xD800), L'\0'};
    int red = 1, green = 2, blue = 3;
    wchar_t buffer[4] = {static_cast<wchar_t>(0xDC00), L'\0'};
    EXPECT_FALSE(sdk.LumoGetConfigOptionColor(lone, &red, &green, &blue, 1));
    EXPECT_FALSE(sdk.LumoSetConfigOptionLabel(L"misc", lone, 1));
    EXPECT_FALSE(sdk.LumoGetConfigOptionKeyInput(lone, buffer, sizeof buffer, 1));
    EXPECT_EQ(red + green + blue, 6);
    EXPECT_FALSE(std::filesystem::exists(optionsPath));
    // Each call was still recorded, the malformed text as empty text.
    const std::vector<Json> lines = journal();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back().at("op"), "LumoGetConfigOptionKeyInput");
    EXPECT_EQ(lines.back().at("args")[0], "");
}

TEST_F(ExportsTest, CallsFromTwoThreadsLeaveConsistentFiles) {
    auto lighting = [this] {
        for (int i = 0; i < 100; ++i) sdk.LumoLedSetLighting(i % 101, 0, 0);
    };
    auto reads = [this] {
        for (int i = 0; i < 100; ++i) {
            int red = 1, green = 2, blue = 3;
            sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1);
        }
    };
    std::thread first(lighting);
    std::thread second(reads);
    first.join();
    second.join();

    EXPECT_EQ(state().at("device"), Json::parse("[99, 0, 0]"));
    EXPECT_EQ(options().at(program()).at("colors/dire").at("value"), Json::parse("[1, 2, 3]"));
    EXPECT_EQ(journal().size(), 201u);  // and the Init of the set-up
}

}  // namespace
}  // namespace lumo::simulator::test
