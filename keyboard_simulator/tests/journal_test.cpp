#include <array>

#include "simulator_fixture.h"

namespace lumo::simulator::test {
namespace {

using JournalTest = SimulatorTest;

TEST_F(JournalTest, EachCallIsOneLineWithItsArgumentsResultAndReturn) {
    std::array<unsigned char, sdk::kBitmapBytes> bitmap{};
    bitmap[0] = 0xAB;
    bitmap[sdk::kBitmapBytes - 1] = 0x0F;
    int red = 255, green = 25, blue = 25;
    wchar_t key[64 / sizeof(wchar_t)] = L"Q";
    writeOptions(Json{{program(), {{"keybinds/ability0", {{"value", "W"}}}}}}.dump());

    ASSERT_TRUE(sdk.LumoLedSetLighting(30, 3, 1));
    ASSERT_TRUE(sdk.LumoLedSetTargetDevice(3));
    ASSERT_TRUE(sdk.LumoLedSetLightingFromBitmap(bitmap.data()));
    ASSERT_TRUE(sdk.LumoGetConfigOptionColor(L"colors/dire", &red, &green, &blue, 1));
    ASSERT_TRUE(sdk.LumoGetConfigOptionKeyInput(L"keybinds/ability0", key, 64, 1));
    ASSERT_TRUE(sdk.LumoSetConfigOptionLabel(L"colors", L"Colors", 1));
    ASSERT_FALSE(sdk.LumoLedRestoreLighting());

    const std::vector<Json> lines = journal();
    ASSERT_EQ(lines.size(), 8u);
    std::string hex = "ab" + std::string(2 * sdk::kBitmapBytes - 4, '0') + "0f";
    const Json expected[] = {
        Json::parse(R"({"op": "LumoLedInit", "args": [], "ret": true})"),
        Json::parse(R"({"op": "LumoLedSetLighting", "args": [30, 3, 1], "ret": true})"),
        Json::parse(R"({"op": "LumoLedSetTargetDevice", "args": [3], "ret": true})"),
        Json{{"op", "LumoLedSetLightingFromBitmap"}, {"args", {hex}}, {"ret", true}},
        Json::parse(R"({"op": "LumoGetConfigOptionColor", "args": ["colors/dire", 255, 25, 25, 1],
                        "result": [255, 25, 25], "ret": true})"),
        Json::parse(R"({"op": "LumoGetConfigOptionKeyInput", "args": ["keybinds/ability0", "Q", 64, 1],
                        "result": "W", "ret": true})"),
        Json::parse(R"({"op": "LumoSetConfigOptionLabel", "args": ["colors", "Colors", 1], "ret": true})"),
        Json::parse(R"({"op": "LumoLedRestoreLighting", "args": [], "ret": false})"),
    };
    long long previous = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        Json line = lines[i];
        ASSERT_TRUE(line.contains("t") && line.at("t").is_number_integer()) << line;
        const long long t = line.at("t").get<long long>();
        EXPECT_GE(t, previous);
        previous = t;
        line.erase("t");
        EXPECT_EQ(line, expected[i]);
    }
    EXPECT_EQ(lines[3].at("args")[0].get<std::string>().size(), 2u * sdk::kBitmapBytes);
}

TEST_F(JournalTest, RefusedOptionCallHasNoResult) {
    ASSERT_TRUE(sdk.LumoLedShutdown());
    bool show = true;
    EXPECT_FALSE(sdk.LumoGetConfigOptionBool(L"misc/show_health", &show, 1));
    const Json last = journal().back();
    EXPECT_EQ(last.at("op"), "LumoGetConfigOptionBool");
    EXPECT_EQ(last.at("args"), Json::parse(R"(["misc/show_health", true, 1])"));
    EXPECT_EQ(last.at("ret"), false);
    EXPECT_FALSE(last.contains("result"));
}

TEST_F(JournalTest, JournalFileMayChangeBetweenCalls) {
    const std::filesystem::path second = folder / "elsewhere" / "second.jsonl";
    ASSERT_TRUE(sdk.LumoLedSetLighting(1, 1, 1));
    {
        const lumo::test::ScopedEnvironment moved("LUMO_SIM_JOURNAL", second.string());
        ASSERT_TRUE(sdk.LumoLedSetLighting(2, 2, 2));
    }
    const lumo::test::ScopedUnsetEnvironment none("LUMO_SIM_JOURNAL");
    ASSERT_TRUE(sdk.LumoLedSetLighting(3, 3, 3));

    EXPECT_EQ(journal().size(), 2u);  // Init and the first call
    const std::string moved = lumo::test::readFile(second);
    EXPECT_EQ(std::count(moved.begin(), moved.end(), '\n'), 1);
    EXPECT_NE(moved.find("[2,2,2]"), std::string::npos) << moved;
}

}  // namespace
}  // namespace lumo::simulator::test
