#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "files.h"
#include "sdk_service/key_table.h"
#include "sdk_service/option_store.h"
#include "sdk_service/program_name.h"

namespace lumo::sdk_service::test {
namespace {

TEST(ProgramName, IsTheExecutablesBaseNameWithoutExe) {
    const struct {
        const char* executable;
        const char* name;
    } cases[] = {
        {"/usr/local/bin/roundglow", "roundglow"},
        {"apps/heroglow.exe", "heroglow"},
        {"apps/HEROGLOW.EXE", "HEROGLOW"},
        {"apps/heroglow.Exe", "heroglow"},
        {"apps/heroglow.exe.old", "heroglow.exe.old"},
        {"apps/.exe", ".exe"},
        {"apps/glow.exes", "glow.exes"},
        {"", "unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        EXPECT_EQ(programNameFromExecutable(c.executable), c.name);
    }
}

TEST(KeyTable, ScanAndHidCodesReachTheirCellsOfTheFullSizeLayout) {
    const struct {
        const char* key;
        int scanCode;
        int hidCode;
        int cell;
    } cases[] = {
        {"Escape", 0x01, 41, 0},  {"F1", 0x3B, 58, 1},
        {"F12", 0x58, 69, 12},    {"grave", 0x29, 53, 21},
        {"1", 0x02, 30, 22},      {"0", 0x0B, 39, 31},
        {"Tab", 0x0F, 43, 42},    {"Q", 0x10, 20, 43},
        {"I", 0x17, 12, 50},      {"P", 0x19, 19, 52},
        {"A", 0x1E, 4, 64},       {"J", 0x24, 13, 70},
        {"Shift", 0x2A, 225, 85}, {"Z", 0x2C, 29, 86},
        {"N", 0x31, 17, 91},      {"full stop", 0x34, 55, 94},
        {"Ctrl", 0x1D, 224, 105}, {"Alt", 0x38, 226, 108},
        {"Space", 0x39, 44, 110}, {"Enter", 0x1C, 40, 76},
        {"Up", 0xE048, 82, 99},   {"keypad Enter", 0xE01C, 88, 104},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(cellOfScanCode(c.scanCode), c.cell);
        EXPECT_EQ(cellOfHidCode(c.hidCode), c.cell);
    }
    EXPECT_EQ(cellOfScanCode(0), std::nullopt);
    EXPECT_EQ(cellOfHidCode(0), std::nullopt);
}

TEST(OptionStore, TextLoadedWithoutAFileIsJudgedAsAFilesContent) {
    const OptionPlace place{{}, "heroglow", "misc/show_health"};
    OptionStore store;
    store.loadText(
        R"({"heroglow": {"misc/show_health": {"type": "bool", "default": true, "value": false}}})");
    nlohmann::ordered_json show = true;
    EXPECT_TRUE(store.read(place, OptionType::boolean, show));
    EXPECT_EQ(show, false);
    nlohmann::ordered_json percent = 30.0;
    EXPECT_TRUE(store.read({{}, "heroglow", "misc/flash_health_percent"}, OptionType::number, percent));
    EXPECT_EQ(percent, 30.0);

    store.loadText("{\"heroglow\": ");
    show = true;
    EXPECT_FALSE(store.read(place, OptionType::boolean, show));
    EXPECT_EQ(show, true);
}

}  // namespace
}  // namespace lumo::sdk_service::test
