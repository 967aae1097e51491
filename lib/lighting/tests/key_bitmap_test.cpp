#include <algorithm>
#include <array>
#include <climits>

#include <gtest/gtest.h>

#include "lighting/color_levels.h"
#include "lighting/key_bitmap.h"

namespace {

using lumo::lighting::byteFromPercent;
using lumo::lighting::KeyBitmap;
using lumo::lighting::paintCell;
using lumo::lighting::percentFromChannel;
using Rgb = std::array<int, 3>;

Rgb paintedColor(const KeyBitmap& bitmap, int cell) {
    const unsigned char* bytes = bitmap.data() + 4 * cell;
    EXPECT_EQ(bytes[3], 255) << "cell " << cell << " left unpainted";
    return {bytes[2], bytes[1], bytes[0]};
}

bool allDark(const KeyBitmap& bitmap) {
    return std::all_of(bitmap.begin(), bitmap.end(), [](unsigned char byte) { return byte == 0; });
}

TEST(ColorLevels, ChannelsBecomeTruncatedPercentages) {
    const struct {
        int channel;
        int percent;
    } cases[] = {
        {255, 100}, {25, 9},  {50, 19},   {0, 0},         {128, 50},    {1, 0},
        {3, 1},     {-40, 0}, {300, 100}, {INT_MAX, 100}, {INT_MIN, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channel);
        EXPECT_EQ(percentFromChannel(c.channel), c.percent);
    }
}

TEST(ColorLevels, PercentagesBecomeTruncatedBytes) {
    const struct {
        int percent;
        int byte;
    } cases[] = {
        {100, 255}, {9, 22}, {19, 48}, {0, 0}, {50, 127}, {1, 2}, {-5, 0}, {250, 255}, {INT_MAX, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(byteFromPercent(c.percent), c.byte);
    }
}

TEST(KeyBitmap, PaintWritesBlueGreenRedAlphaAndIgnoresStrayPositions) {
    KeyBitmap bitmap{};
    paintCell(bitmap, 125, 1, 2, 3);
    EXPECT_EQ((std::array<int, 4>{bitmap[500], bitmap[501], bitmap[502], bitmap[503]}),
              (std::array<int, 4>{3, 2, 1, 255}));
    paintCell(bitmap, 5, 300, -1, 256);
    EXPECT_EQ(paintedColor(bitmap, 5), (Rgb{255, 0, 255}));

    bitmap.fill(0);
    paintCell(bitmap, -1, 9, 9, 9);
    paintCell(bitmap, 126, 9, 9, 9);
    paintCell(bitmap, INT_MIN, 9, 9, 9);
    EXPECT_TRUE(allDark(bitmap));
}

}  // namespace
