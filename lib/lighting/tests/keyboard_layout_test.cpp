#include <cctype>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "lighting/key_cells.h"
#include "lighting/keyboard_layout.h"

namespace {

using lumo::lighting::keyAtCell;
using lumo::lighting::LayoutKey;

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(KeyboardLayout, TheKeysTheProgramsPaintKeepTheirCells) {
    for (const lumo::lighting::KeyCell& programKey : lumo::lighting::keyCells()) {
        const std::wstring wide = programKey.name;
        const std::string name(wide.begin(), wide.end());
        SCOPED_TRACE(name);
        const LayoutKey* key = keyAtCell(programKey.cell);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(upper(key->label), name);
    }
    // The keys the programs name by scan code or paint as fixed blocks.
    EXPECT_EQ(lumo::lighting::keyWithScanCode(28)->cell, 76);  // Enter, roundglow's chat flash
    EXPECT_STREQ(keyAtCell(0)->label, "Esc");
    EXPECT_STREQ(keyAtCell(15)->label, "Pause");  // the health bar's last cell
    EXPECT_STREQ(keyAtCell(37)->label, "PgUp");   // the mana bar's last cell
    EXPECT_STREQ(keyAtCell(38)->label, "NumLk");  // the bomb block's first cell
    EXPECT_EQ(keyAtCell(122), nullptr);           // left of the keypad's 0, outside the block
    EXPECT_EQ(keyAtCell(-1), nullptr);
    EXPECT_EQ(keyAtCell(126), nullptr);
}

TEST(KeyboardLayout, EachCellAndCodeNamesOneKey) {
    std::set<int> cells, scanCodes, hidCodes;
    std::set<std::string> ledNames;
    for (const LayoutKey& key : lumo::lighting::layoutKeys()) {
        SCOPED_TRACE(key.cell);
        EXPECT_TRUE(cells.insert(key.cell).second);
        EXPECT_TRUE(scanCodes.insert(key.scanCode).second);
        EXPECT_TRUE(hidCodes.insert(key.hidCode).second);
        EXPECT_LT(key.cell, lumo::lighting::kLayoutRows * lumo::lighting::kLayoutColumns);
        EXPECT_LE(std::string(key.label).size(), 5u);
        EXPECT_EQ(lumo::lighting::keyWithScanCode(key.scanCode), &key);
        EXPECT_EQ(lumo::lighting::keyWithHidCode(key.hidCode), &key);
        EXPECT_TRUE(ledNames.insert(key.openRgbName).second);
        EXPECT_EQ(lumo::lighting::keyWithOpenRgbName(key.openRgbName), &key);
    }
}

// Drivers name some keys differently; what no key here answers to is left alone.
TEST(KeyboardLayout, OpenRgbLedNamesFindTheirCells) {
    const struct {
        const char* ledName;
        int cell;  // -1: no key
    } cases[] = {
        {"Key: F1", 1},          {"key: f1", 1},         {"Key: \\ (ANSI)", 55}, {"Key: \\", 55},
        {"Key: #", 55},          {"Key: Enter (ISO)", 76}, {"Key: Right Fn", 115}, {"Key: Right Windows", 115},
        {"Key: Number Pad Enter", 104}, {"Key: Pause/Break", 15}, {"Key: \\ (ISO)", -1}, {"Key: Left Fn", -1},
        {"Key: G1", -1},         {"Logo", -1},           {"F1", -1},             {"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ledName);
        const LayoutKey* key = lumo::lighting::keyWithOpenRgbName(c.ledName);
        EXPECT_EQ(key == nullptr ? -1 : key->cell, c.cell);
    }
}

}  // namespace
