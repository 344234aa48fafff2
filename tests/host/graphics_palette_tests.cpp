// The popularity palette, the hue-saturation-value conversion and the inverse
// colour map.
#include <gtest/gtest.h>

#include <vector>

#include "setup/graphics/color_map.h"
#include "setup/graphics/popularity_palette.h"

namespace {

// Bottom-up 24-bit pixels of `width` × `height`, rows padded with 0xEE bytes
// (a colour of its own, which must never be counted).
struct Picture24 {
    uint32_t width, height, stride;
    std::vector<uint8_t> bytes;
    Picture24(uint32_t w, uint32_t h) : width(w), height(h), stride(DibStride(24, w)), bytes(size_t(stride) * h, 0xEE)
    {
    }
    void Set(uint32_t i, uint32_t rgb)   // pixel i in row order
    {
        uint8_t* p = &bytes[size_t(i / width) * stride + 3 * (i % width)];
        p[0] = uint8_t(rgb);
        p[1] = uint8_t(rgb >> 8);
        p[2] = uint8_t(rgb >> 16);
    }
};

uint32_t Rgb(const DibColor& c)
{
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

TEST(BuildPopularityPalette, SaturatedCountsStillRankTheMostFrequentCellFirst)
{
    // 70000 pixels of one colour and 10000 of another: the first count stops
    // at 65535 instead of wrapping below the second.
    Picture24 p(400, 200);
    for (uint32_t i = 0; i < 80000; ++i) p.Set(i, i < 70000 ? 0x20A040 : 0xC03010);
    DibColor table[256];
    uint32_t count = 0;
    ASSERT_TRUE(BuildPopularityPalette(5, p.width, p.height, p.bytes.data(), 1, &count, table));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(0x20A040u, Rgb(table[0]));
}

TEST(BuildPopularityPalette, AveragesRoundHalfUpAndExcludedCellsCountNowhere)
{
    // Cell of blue 0..7: values 1, 2 (sum 3 over 2 gives 2). Cell of green
    // 8..15: 9, 9, 9, 10 (sum 37 over 4 gives 9.25, so 9). Cell of red 16..23:
    // 17, 17, 17, 18, 18 (17.4, so 17). The single (0, 0, 200) does not make
    // a palette of three and changes no average.
    Picture24 p(3, 4);
    const uint32_t pixels[] = {0x000001, 0x000002, 0x000900, 0x000900, 0x000900, 0x000A00,
                               0x110000, 0x110000, 0x110000, 0x120000, 0x120000, 0x0000C8};
    for (uint32_t i = 0; i < 12; ++i) p.Set(i, pixels[i]);
    DibColor table[256];
    memset(table, 0x77, sizeof table);
    uint32_t count = 0;
    ASSERT_TRUE(BuildPopularityPalette(5, 3, 4, p.bytes.data(), 3, &count, table));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(0x110000u, Rgb(table[0]));   // five pixels
    EXPECT_EQ(0x000900u, Rgb(table[1]));   // four
    EXPECT_EQ(0x000002u, Rgb(table[2]));   // two
    EXPECT_EQ(0, table[2].reserved);
    EXPECT_EQ(0x77, table[3].red);         // nothing written past the palette
}

TEST(BuildPopularityPalette, FewerOccupiedCellsThanColoursGiveThatManyColours)
{
    Picture24 p(7, 3);
    for (uint32_t i = 0; i < 21; ++i) p.Set(i, i % 3 == 0 ? 0xFFFFFF : i % 3 == 1 ? 0x808080 : 0x000000);
    DibColor table[256];
    uint32_t count = 0;
    ASSERT_TRUE(BuildPopularityPalette(5, 7, 3, p.bytes.data(), 256, &count, table));
    EXPECT_EQ(3u, count);
}

TEST(BuildPopularityPalette, RefusesWhatItCannotBuild)
{
    uint8_t pixels[12] = {};
    DibColor table[256];
    uint32_t count = 5;
    EXPECT_FALSE(BuildPopularityPalette(2, 1, 1, pixels, 256, &count, table));
    EXPECT_FALSE(BuildPopularityPalette(6, 1, 1, pixels, 256, &count, table));
    EXPECT_FALSE(BuildPopularityPalette(5, 1, 1, pixels, 257, &count, table));
    EXPECT_FALSE(BuildPopularityPalette(5, 1, 1, pixels, 256, &count, nullptr));
    EXPECT_EQ(5u, count);
    EXPECT_TRUE(BuildPopularityPalette(3, 1, 1, pixels, 256, &count, table));
    EXPECT_EQ(1u, count);
}

TEST(ColorToHsv, KnownColours)
{
    const struct {
        uint8_t r, g, b, h, s, v;
    } cases[] = {
        {0, 0, 0, 0, 0, 0},        {93, 93, 93, 0, 0, 93},     {255, 0, 0, 0, 255, 255},
        {0, 255, 0, 85, 255, 255}, {0, 0, 255, 170, 255, 255}, {255, 0, 128, 234, 255, 255},
        {100, 120, 132, 144, 61, 132}, {200, 40, 40, 0, 204, 200}, {255, 1, 0, 0, 255, 255},
    };
    for (const auto& c : cases) {
        HsvColor hsv = ColorToHsv(c.r, c.g, c.b);
        EXPECT_EQ(c.h, hsv.hue) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(c.s, hsv.saturation) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(c.v, hsv.value) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(BuildHsvInverseMap, BlackAndWhiteSplitTheGreysAtValue128)
{
    DibColor palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::vector<uint8_t> map(kInverseColorMapSize, 0x55);
    ASSERT_TRUE(BuildHsvInverseMap(2, palette, 5, map.data()));
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(v < 128 ? 0 : 1, map[InverseMapCell(ColorToHsv(uint8_t(v), uint8_t(v), uint8_t(v)))]) << v;
}

TEST(BuildHsvInverseMap, EqualScoresKeepTheLowerIndex)
{
    DibColor palette[3] = {{10, 200, 30, 0}, {90, 90, 90, 0}, {10, 200, 30, 0}};
    std::vector<uint8_t> map(kInverseColorMapSize);
    ASSERT_TRUE(BuildHsvInverseMap(3, palette, 5, map.data()));
    for (uint8_t m : map) ASSERT_NE(2, m);
    EXPECT_EQ(0, map[InverseMapCell(ColorToHsv(30, 200, 10))]);
}

TEST(BuildHsvInverseMap, ScoresAreTheClosedFormSum)
{
    // Each cell takes the colour of least sum over the axes of
    // (c - 8k - 4)² + 2c - 7, lower index on ties.
    DibColor palette[16];
    for (int i = 0; i < 16; ++i)
        palette[i] = {uint8_t(i * 37 % 256), uint8_t(i * 91 % 256), uint8_t(i * 53 % 256), 0};
    std::vector<uint8_t> map(kInverseColorMapSize);
    ASSERT_TRUE(BuildHsvInverseMap(16, palette, 5, map.data()));
    for (uint32_t cell = 0; cell < kInverseColorMapSize; cell += 7) {
        int k[3] = {int(cell >> 10), int(cell >> 5 & 31), int(cell & 31)};
        int best = -1;
        long bestScore = 0;
        for (int i = 0; i < 16; ++i) {
            HsvColor hsv = ColorToHsv(palette[i].red, palette[i].green, palette[i].blue);
            int c[3] = {hsv.hue, hsv.saturation, hsv.value};
            long score = 0;
            for (int a = 0; a < 3; ++a) score += long(c[a] - 8 * k[a] - 4) * (c[a] - 8 * k[a] - 4) + 2 * c[a] - 7;
            if (best < 0 || score < bestScore) {
                best = i;
                bestScore = score;
            }
        }
        ASSERT_EQ(best, map[cell]) << "cell " << cell;
    }
}

TEST(BuildHsvInverseMap, RefusesBadArguments)
{
    DibColor palette[2] = {};
    std::vector<uint8_t> map(kInverseColorMapSize);
    EXPECT_FALSE(BuildHsvInverseMap(2, palette, 2, map.data()));
    EXPECT_FALSE(BuildHsvInverseMap(2, palette, 6, map.data()));
    EXPECT_FALSE(BuildHsvInverseMap(2, nullptr, 5, map.data()));
    EXPECT_FALSE(BuildHsvInverseMap(2, palette, 5, nullptr));
}

}  // namespace
