#include <array>
#include <climits>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "dota_integration/bars.h"
#include "dota_integration/game_state.h"
#include "lighting/key_bitmap.h"
#include "lighting/key_cells.h"
#include "dota_integration/key_names.h"
#include "text/utf.h"

namespace heroglow {

using lumo::lighting::paintCell;

namespace {

using Rgb = std::array<int, 3>;

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};

Rgb paintedColor(int position) {
    const unsigned char* cell = keyBitmap.data() + 4 * position;
    EXPECT_EQ(cell[3], 255) << "position " << position << " left unpainted";
    return {cell[2], cell[1], cell[0]};
}

// The colours of `count` keys from `first`.
std::vector<Rgb> barColors(int first, int count) {
    std::vector<Rgb> colors;
    for (int i = 0; i < count; ++i) colors.push_back(paintedColor(first + i));
    return colors;
}

std::vector<Rgb> filledThenUnfilled(int filled, int count, Rgb on, Rgb off) {
    std::vector<Rgb> colors(count, off);
    std::fill_n(colors.begin(), filled, on);
    return colors;
}

bool keysOutsideUntouched(int first, int count) {
    for (int position = 0; position < lumo::sdk::kBitmapKeys; ++position) {
        if (position >= first && position < first + count) continue;
        for (int b = 0; b < 4; ++b) {
            if (keyBitmap[4 * position + b] != 0) return false;
        }
    }
    return true;
}

TEST(HealthBar, SteppedFillsKeysHealthHasReached) {
    const struct {
        int health;
        BarLayout layout;
        int filled;
    } cases[] = {
        {50, kHealthOnTopRow, 8},         {49, kHealthOnTopRow, 7},       {53, kHealthOnTopRow, 8},
        {100, kHealthOnTopRow, 16},       {0, kHealthOnTopRow, 0},        {6, kHealthOnTopRow, 0},
        {7, kHealthOnTopRow, 1},          {150, kHealthOnTopRow, 16},     {INT_MAX, kHealthOnTopRow, 16},
        {50, kHealthOnFunctionKeys, 6},   {49, kHealthOnFunctionKeys, 5}, {53, kHealthOnFunctionKeys, 6},
        {100, kHealthOnFunctionKeys, 12}, {0, kHealthOnFunctionKeys, 0},  {99, kHealthOnFunctionKeys, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("health " + std::to_string(c.health) + " on " + std::to_string(c.layout.count) +
                     " keys");
        keyBitmap.fill(0);
        paintHealthBar(keyBitmap, c.health, c.layout, false, 255);
        EXPECT_EQ(barColors(c.layout.first, c.layout.count),
                  filledThenUnfilled(c.filled, c.layout.count, kGreen, kRed));
        EXPECT_TRUE(keysOutsideUntouched(c.layout.first, c.layout.count));
    }
}

TEST(HealthBar, SteppedUnfilledKeysTakeTheFlashLevel) {
    for (const int red : {0, 255}) {
        SCOPED_TRACE(red);
        keyBitmap.fill(0);
        paintHealthBar(keyBitmap, 25, kHealthOnTopRow, false, red);
        EXPECT_EQ(barColors(0, 16), filledThenUnfilled(4, 16, kGreen, Rgb{red, 0, 0}));
    }
}

TEST(HealthBar, SmoothBlendsTheBoundaryKey) {
    const struct {
        int health;
        BarLayout layout;
        int red;
        int whole;
        Rgb boundary;
    } cases[] = {
        // 0.53f * 16 is 8.4799995: the ninth key is about half way.
        {53, kHealthOnTopRow, 255, 8, {132, 122, 0}},
        // Exactly 8.0: the boundary key has nothing of green.
        {50, kHealthOnTopRow, 255, 8, {255, 0, 0}},
        {0, kHealthOnTopRow, 255, 0, {255, 0, 0}},
        {53, kHealthOnTopRow, 0, 8, {0, 122, 0}},
        {-20, kHealthOnTopRow, 255, 0, {255, 0, 0}},
        // Where single and double precision part ways (double would give 203, 51 and 51, 203).
        {45, kHealthOnTopRow, 255, 7, {204, 50, 0}},
        {15, kHealthOnFunctionKeys, 255, 1, {50, 204, 0}},
        {90, kHealthOnFunctionKeys, 0, 10, {0, 203, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("health " + std::to_string(c.health) + " on " + std::to_string(c.layout.count) +
                     " keys, red " + std::to_string(c.red));
        keyBitmap.fill(0);
        paintHealthBar(keyBitmap, c.health, c.layout, true, c.red);
        std::vector<Rgb> expected(c.layout.count, Rgb{c.red, 0, 0});
        std::fill_n(expected.begin(), c.whole, kGreen);
        expected[c.whole] = c.boundary;
        EXPECT_EQ(barColors(c.layout.first, c.layout.count), expected);
    }
}

TEST(HealthBar, SmoothFullHealthIsAllGreenOnBothLayouts) {
    for (const BarLayout layout : {kHealthOnTopRow, kHealthOnFunctionKeys}) {
        SCOPED_TRACE(layout.count);
        keyBitmap.fill(0);
        paintHealthBar(keyBitmap, 100, layout, true, 255);
        EXPECT_EQ(barColors(layout.first, layout.count), std::vector<Rgb>(layout.count, kGreen));
        paintHealthBar(keyBitmap, 1000, layout, true, 255);
        EXPECT_EQ(barColors(layout.first, layout.count), std::vector<Rgb>(layout.count, kGreen));
        EXPECT_TRUE(keysOutsideUntouched(layout.first, layout.count));
    }
}

TEST(ManaBar, BlueForManaWhiteForTheRest) {
    const struct {
        int mana;
        BarLayout layout;
        int filled;
    } cases[] = {
        {100, kManaOnNumberRow, 17}, {0, kManaOnNumberRow, 0}, {71, kManaOnNumberRow, 12},
        {50, kManaOnNumberRow, 8},   {100, kManaOnDigits, 13}, {0, kManaOnDigits, 0},
        {50, kManaOnDigits, 6},      {77, kManaOnDigits, 10},  {-3, kManaOnDigits, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mana " + std::to_string(c.mana) + " on " + std::to_string(c.layout.count) + " keys");
        keyBitmap.fill(0);
        paintManaBar(keyBitmap, c.mana, c.layout);
        EXPECT_EQ(barColors(c.layout.first, c.layout.count),
                  filledThenUnfilled(c.filled, c.layout.count, kBlue, kWhite));
        EXPECT_TRUE(keysOutsideUntouched(c.layout.first, c.layout.count));
    }
}

TEST(KeyNames, TranslateToBitmapPositions) {
    const struct {
        const wchar_t* name;
        int position;
    } cases[] = {
        {L"J", 70}, {L"I", 50},   {L"Q", 43},     {L"N", 91},     {L"`", 21},    {L"0", 31},
        {L".", 94}, {L"TAB", 42}, {L"SHIFT", 85}, {L"CTRL", 105}, {L"ALT", 108}, {L"SPACE", 110},
        {L"F1", 0}, {L"q", 0},    {L"", 0},       {L"SPAC", 0},   {L"S", 65},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(lumo::util::toUtf8(c.name));
        EXPECT_EQ(keyPositionForName(c.name), c.position);
    }
}

TEST(KeyNames, TableHasDistinctNamesAndPositionsInsideTheBitmap) {
    const auto table = lumo::lighting::keyCells();
    ASSERT_EQ(table.size(), 44u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(lumo::util::toUtf8(table[i].name));
        // A key-input buffer must hold every name the table knows.
        EXPECT_LT(std::wstring_view(table[i].name).size(), static_cast<std::size_t>(kKeyNameCapacity));
        EXPECT_GT(table[i].cell, 0);
        EXPECT_LT(table[i].cell, lumo::sdk::kBitmapKeys);
        EXPECT_EQ(keyPositionForName(table[i].name), table[i].cell);
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_NE(table[i].cell, table[j].cell);
        }
    }
}

}  // namespace

}  // namespace heroglow
