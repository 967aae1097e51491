#include "lighting/option_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_sdk.h"

namespace lumo::lighting {
namespace {

OptionColor color;
bool flag;
double number;

// A group, then one option of each kind.
const Option kTable[] = {
    {L"colors", L"Colors"},
    {L"colors/team", L"Team", OptionSetting<OptionColor>{&color, {1, 2, 3}}},
    {L"misc", L"Miscellaneous"},
    {L"misc/flag", L"Flag", OptionSetting<bool>{&flag, true}},
    {L"misc/percent", L"Percent", OptionSetting<double>{&number, 30.0}},
};

class OptionTable : public ::testing::Test {
protected:
    void SetUp() override {
        restoreOptionDefaults(kTable);
        sdk = &recording_sdk::bind();
    }
    void TearDown() override { recording_sdk::unbind(); }
    recording_sdk::Recording* sdk = nullptr;
};

TEST_F(OptionTable, DefaultsComeBackOverAnyValue) {
    color = {9, 9, 9};
    flag = false;
    number = -1.0;
    restoreOptionDefaults(kTable);
    EXPECT_EQ(color, (OptionColor{1, 2, 3}));
    EXPECT_TRUE(flag);
    EXPECT_EQ(number, 30.0);
}

TEST_F(OptionTable, ReadsInTableOrderAndStopsAtAChangeOnlyWhenAsked) {
    const std::string readColor = "LumoGetConfigOptionColor(colors/team,1,2,3,1)";
    const std::string readFlag = "LumoGetConfigOptionBool(misc/flag,true,1)";
    const std::string readNumber = "LumoGetConfigOptionNumber(misc/percent,30,1)";
    const struct {
        const char* name;
        bool colorChanges;
        bool stopAtChange;
        bool changed;
        std::vector<std::string> calls;
    } cases[] = {
        {"nothing changes", false, true, false, {readColor, readFlag, readNumber}},
        {"first changes, stopping", true, true, true, {readColor}},
        {"first changes, reading on", true, false, true, {readColor, readFlag, readNumber}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restoreOptionDefaults(kTable);
        sdk->calls.clear();
        sdk->userValues.colors.clear();
        if (c.colorChanges) sdk->userValues.colors[L"colors/team"] = {4, 5, 6};
        EXPECT_EQ(readOptions(kTable, c.stopAtChange), c.changed);
        EXPECT_EQ(sdk->calls, c.calls);
        EXPECT_EQ(color, c.colorChanges ? (OptionColor{4, 5, 6}) : (OptionColor{1, 2, 3}));
    }
}

TEST_F(OptionTable, LabelsEveryRowGroupsIncluded) {
    setOptionLabels(kTable);
    const std::vector<std::string> expected = {
        "LumoSetConfigOptionLabel(colors,Colors,1)",   "LumoSetConfigOptionLabel(colors/team,Team,1)",
        "LumoSetConfigOptionLabel(misc,Miscellaneous,1)", "LumoSetConfigOptionLabel(misc/flag,Flag,1)",
        "LumoSetConfigOptionLabel(misc/percent,Percent,1)",
    };
    EXPECT_EQ(sdk->calls, expected);
}

}  // namespace
}  // namespace lumo::lighting
