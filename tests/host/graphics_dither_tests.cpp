// Error-diffused row conversion and the nearest-neighbour scaler.
#include <gtest/gtest.h>

#include <vector>

#include "setup/graphics/color_map.h"
#include "setup/graphics/dither.h"
#include "setup/graphics/scale.h"

namespace {

struct Dithering {
    std::vector<ErrorEntry> block;
    ErrorRows rows;
    std::vector<uint8_t> map = std::vector<uint8_t>(kInverseColorMapSize);
    DibColor palette[256] = {};
    explicit Dithering(uint32_t width) : block(3 * width)
    {
        InitErrorRows(&rows, block.data(), width);
    }
    void UsePalette(std::vector<DibColor> colors)
    {
        for (size_t i = 0; i < colors.size(); ++i) palette[i] = colors[i];
        ASSERT_TRUE(BuildHsvInverseMap(uint32_t(colors.size()), palette, 5, map.data()));
    }
    // Converts one 24-bit row given as 0xRRGGBB values.
    std::vector<uint8_t> Row(const std::vector<uint32_t>& rgb, unsigned displayBits)
    {
        std::vector<uint8_t> source(3 * rgb.size());
        for (size_t x = 0; x < rgb.size(); ++x) {
            source[3 * x] = uint8_t(rgb[x]);
            source[3 * x + 1] = uint8_t(rgb[x] >> 8);
            source[3 * x + 2] = uint8_t(rgb[x] >> 16);
        }
        std::vector<uint8_t> out(DibStride(displayBits > 8 ? 24 : displayBits, uint32_t(rgb.size())), 0xAA);
        DitherRow(out.data(), source.data(), &rows, displayBits, 24, uint32_t(rgb.size()), palette, nullptr,
                  map.data(), 5);
        return out;
    }
};

// Makes the next row run left to right.
void StartLeftToRight()
{
    if (NextDitherScanDirection() > 0) return;
    uint8_t pixel[4] = {}, out[4];
    ErrorEntry block[3] = {};
    ErrorRows rows;
    InitErrorRows(&rows, block, 1);
    DitherRow(out, pixel, &rows, 24, 24, 1, nullptr, nullptr, nullptr, 5);
}

const std::vector<DibColor> kBlackWhite = {{0, 0, 0, 0}, {255, 255, 255, 0}};

TEST(ErrorWeights, RowEndsFoldIntoTheNearestColumn)
{
    // Rows e0, e1, e2; columns behind 2, behind 1, x, ahead 1, ahead 2.
    const struct {
        uint32_t p;
        int expected[3][5];
        int sum;
    } cases[] = {
        {0, {{0, 0, 0, 7, 5}, {0, 0, 15, 5, 3}, {0, 0, 9, 3, 1}}, 48},
        {1, {{0, 0, 0, 7, 5}, {0, 8, 7, 5, 3}, {0, 4, 5, 3, 1}}, 48},
        {4, {{0, 0, 0, 7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}}, 48},
        {8, {{0, 0, 0, 12, 0}, {3, 5, 7, 8, 0}, {1, 3, 5, 4, 0}}, 48},
        {9, {{0, 0, 0, 0, 0}, {3, 5, 15, 0, 0}, {1, 3, 9, 0, 0}}, 36},
    };
    for (const auto& c : cases) {
        int weights[3][5];
        ErrorWeights(c.p, 10, weights);
        int sum = 0;
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 5; ++k) {
                EXPECT_EQ(c.expected[r][k], weights[r][k]) << "p " << c.p << " row " << r << " column " << k;
                sum += weights[r][k];
            }
        EXPECT_EQ(c.sum, sum) << "p " << c.p;
    }
}

TEST(DitherRow, ScanDirectionAlternatesAcrossRowsAndDrawings)
{
    Dithering d(8);
    d.UsePalette(kBlackWhite);
    for (int row = 0; row < 5; ++row) {
        int direction = NextDitherScanDirection();
        // (1, 1, 1) at scan position 0 only: its error of 1 goes to e1 with
        // weight 15 at its own column and 5, 3 ahead; the carry to its
        // neighbours (7/48, 5/48) rounds to nothing, so they stay black.
        std::vector<uint32_t> rgb(8, 0);
        size_t first = direction > 0 ? 0 : 7;
        rgb[first] = 0x010101;
        d.Row(rgb, 1);
        EXPECT_EQ(-direction, NextDitherScanDirection());
        // After the row e0 holds what was e1.
        auto at = [&](int q) { return d.rows.e0[direction > 0 ? q : 7 - q].red; };
        EXPECT_EQ(15, at(0)) << "row " << row;
        EXPECT_EQ(5, at(1)) << "row " << row;
        EXPECT_EQ(3, at(2)) << "row " << row;
        EXPECT_EQ(0, at(3)) << "row " << row;
        EXPECT_EQ(9, d.rows.e1[first].blue) << "row " << row;
        memset(d.block.data(), 0, d.block.size() * sizeof(ErrorEntry));
    }
}

TEST(DitherRow, NarrowRowsDiffuseNothing)
{
    for (uint32_t width : {1u, 5u}) {
        Dithering d(width);
        d.UsePalette(kBlackWhite);
        d.Row(std::vector<uint32_t>(width, 0x646464), 1);
        for (const ErrorEntry& e : d.block) ASSERT_TRUE(e.red == 0 && e.green == 0 && e.blue == 0) << width;
    }
}

TEST(DitherRow, OneBitDisplaysSeeGreyAndEqualErrorChannels)
{
    // (200, 40, 40) is seen as grey 93: it is drawn and diffused exactly as
    // (93, 93, 93) is, with equal error channels.
    std::vector<std::vector<int16_t>> errors;
    for (uint32_t colour : {0xC82828u, 0x5D5D5Du}) {
        Dithering d(8);
        d.UsePalette(kBlackWhite);
        std::vector<uint32_t> rgb(8, 0x000000);
        rgb[0] = rgb[7] = colour;
        StartLeftToRight();
        std::vector<uint8_t> out = d.Row(rgb, 1);
        EXPECT_EQ(0, out[0]) << std::hex << colour;   // black
        errors.emplace_back();
        for (const ErrorEntry& e : d.block) {
            ASSERT_TRUE(e.red == e.green && e.green == e.blue) << std::hex << colour;
            errors.back().push_back(e.red);
        }
        EXPECT_NE(0, d.rows.e0[0].red + d.rows.e0[7].red);
    }
    EXPECT_EQ(errors[0], errors[1]);
}

TEST(DitherRow, FourBitDisplaysTurnColoursOfSmallSpreadGrey)
{
    // Entry 0 is grey 117, entry 1 the colour (100, 120, 132); the rest repeat
    // entry 1. A spread of 31 is seen as grey 117, a spread of 32 is not.
    std::vector<DibColor> palette(16, DibColor{132, 120, 100, 0});
    palette[0] = {117, 117, 117, 0};
    const struct {
        uint32_t rgb;
        uint8_t index;
    } cases[] = {{0x64787B, 0}, {0x647884, 1}, {0x757575, 0}};
    for (const auto& c : cases) {
        Dithering d(1);
        d.UsePalette(palette);
        std::vector<uint8_t> out = d.Row({c.rgb}, 4);
        EXPECT_EQ(c.index << 4, out[0]) << std::hex << c.rgb;
    }
}

TEST(DitherRow, CarriedErrorsAreDividedBy48TowardZero)
{
    // On a deep display the wanted colour is written as it is.
    Dithering d(1);
    d.rows.e0[0] = {-47, -48, 95};
    std::vector<uint8_t> out = d.Row({0x646464}, 24);
    EXPECT_EQ(100, out[0]);   // blue: -47 / 48 = 0
    EXPECT_EQ(99, out[1]);    // green: -48 / 48 = -1
    EXPECT_EQ(101, out[2]);   // red: 95 / 48 = 1
    d.rows.e0[0] = {-4800, 4800, 0};
    out = d.Row({0x646464}, 24);
    EXPECT_EQ(0, out[0]);     // clamped
    EXPECT_EQ(200, out[1]);
}

TEST(DitherRow, ExactColoursDiffuseNothingAndPixelsLandInTheirBits)
{
    Dithering d(10);
    d.UsePalette(kBlackWhite);
    std::vector<uint32_t> rgb = {0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0, 0, 0, 0xFFFFFF, 0xFFFFFF};
    std::vector<uint8_t> out = d.Row(rgb, 1);
    EXPECT_EQ(0x90, out[0]);
    EXPECT_EQ(0xC0, out[1]);
    for (const ErrorEntry& e : d.block) ASSERT_TRUE(e.red == 0 && e.green == 0 && e.blue == 0);
}

TEST(DitherRow, ErrorDiffusionKeepsTheAverageGrey)
{
    // Grey 64 over many rows on black and white: about a quarter white.
    const uint32_t width = 64, height = 64;
    Dithering d(width);
    d.UsePalette(kBlackWhite);
    int white = 0;
    for (uint32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> out = d.Row(std::vector<uint32_t>(width, 0x404040), 1);
        for (uint32_t x = 0; x < width; ++x) white += out[x / 8] >> (7 - x % 8) & 1;
    }
    EXPECT_NEAR(64.0 / 255.0, double(white) / (width * height), 0.01);
}

// Scaling: a one-column 24-bit picture whose pixel at row y holds y.
std::vector<uint8_t> RowNumbers(uint32_t height)
{
    std::vector<uint8_t> p(size_t(DibStride(24, 1)) * height);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* px = &p[size_t(height - 1 - y) * 4];
        px[0] = uint8_t(y);
        px[1] = uint8_t(y >> 8);
        px[2] = 1;
    }
    return p;
}

std::vector<int> ScaledRows(uint32_t sourceHeight, uint32_t destinationHeight)
{
    std::vector<uint8_t> source = RowNumbers(sourceHeight);
    std::vector<uint8_t> destination(size_t(4) * destinationHeight, 0);
    ScalePicture(0, 0, 0, int(destinationHeight) - 1, 1, destinationHeight, 24, destination.data(), 0, 0, 0,
                 int(sourceHeight) - 1, 1, sourceHeight, 24, source.data(), nullptr);
    std::vector<int> rows;
    for (uint32_t y = 0; y < destinationHeight; ++y) {
        const uint8_t* px = &destination[size_t(destinationHeight - 1 - y) * 4];
        rows.push_back(px[2] == 1 ? px[0] | px[1] << 8 : -1);
    }
    return rows;
}

TEST(ScalePicture, RowStepping)
{
    std::vector<int> same = ScaledRows(325, 325);
    for (int y = 0; y < 325; ++y) ASSERT_EQ(y, same[y]);

    std::vector<int> twice = ScaledRows(325, 650);
    for (int y = 0; y < 650; ++y) ASSERT_EQ(y / 2, twice[y]) << y;

    std::vector<int> half = ScaledRows(325, 162);
    EXPECT_EQ(0, half.front());
    EXPECT_EQ(324, half.back());
    for (int y = 1; y < 162; ++y) {
        int step = half[y] - half[y - 1];
        ASSERT_TRUE(step == 2 || step == 3) << y << ": " << half[y - 1] << " then " << half[y];
    }
    EXPECT_EQ(std::vector<int>({0, 2, 4, 6, 8}), std::vector<int>(half.begin(), half.begin() + 5));

    // One destination row: the first source row, and the stepping ends.
    EXPECT_EQ(std::vector<int>({0}), ScaledRows(325, 1));
    EXPECT_EQ(std::vector<int>({0, 0, 0}), ScaledRows(1, 3));
}

TEST(ScalePicture, SubBytePixelsAndColumnStepping)
{
    // 1 and 4 bits: 8 columns onto 16 double each column.
    const uint8_t oneBit[4] = {0xA5, 0, 0, 0};
    uint8_t wide[4] = {};
    ScalePicture(0, 0, 15, 0, 16, 1, 1, wide, 0, 0, 7, 0, 8, 1, 1, oneBit, nullptr);
    EXPECT_EQ(0xCC, wide[0]);
    EXPECT_EQ(0x33, wide[1]);

    const uint8_t fourBit[4] = {0x12, 0x34, 0, 0};
    uint8_t narrow[4] = {};
    ScalePicture(0, 0, 1, 0, 2, 1, 4, narrow, 0, 0, 3, 0, 4, 1, 4, fourBit, nullptr);
    EXPECT_EQ(0x14, narrow[0]);   // the first and the last column
}

TEST(ScalePicture, NeverWritesOutsideTheDestination)
{
    std::vector<uint8_t> source = RowNumbers(20);
    // A 4 × 4 destination inside a guarded buffer; the rectangle runs past it.
    // Rows of 12 bytes.
    std::vector<uint8_t> buffer(12 * 4 + 64, 0x5A);
    uint8_t* destination = buffer.data() + 32;
    memset(destination, 0, 12 * 4);
    ScalePicture(2, 2, 9, 9, 4, 4, 24, destination, 0, 0, 0, 19, 1, 20, 24, source.data(), nullptr);
    for (int i = 0; i < 32; ++i) ASSERT_EQ(0x5A, buffer[i]) << i;
    for (int i = 32 + 48; i < int(buffer.size()); ++i) ASSERT_EQ(0x5A, buffer[i]) << i;
    EXPECT_EQ(1, destination[1 * 12 + 3 * 2 + 2]);   // row 2 from the top, column 2: written
    EXPECT_EQ(1, destination[0 * 12 + 3 * 3 + 2]);   // row 3, column 3: written
    EXPECT_EQ(0, destination[3 * 12 + 3 * 2 + 2]);   // row 0: untouched
}

TEST(ScalePicture, DrawsNothingForNegativeCornersOrFewerDestinationBits)
{
    std::vector<uint8_t> source = RowNumbers(4);
    std::vector<uint8_t> destination(16, 0);
    ScalePicture(-1, 0, 0, 3, 1, 4, 24, destination.data(), 0, 0, 0, 3, 1, 4, 24, source.data(), nullptr);
    ScalePicture(0, 0, 0, 3, 1, 4, 8, destination.data(), 0, 0, 0, 3, 1, 4, 24, source.data(), nullptr);
    ScalePicture(0, 0, 0, 3, 1, 4, 24, destination.data(), 0, 0, 0, 4, 1, 4, 24, source.data(), nullptr);
    EXPECT_EQ(std::vector<uint8_t>(16, 0), destination);
}

}  // namespace
