// Reading picture headers into the normalised form.
#include <gtest/gtest.h>

#include <vector>

#include "setup/graphics/dib.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void Put16(Bytes& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A header of `size` bytes (info layout from 16 up) followed by `extra` bytes,
// each byte of the extra part numbered so that colour entries are recognisable.
Bytes InfoHeader(uint32_t size, int32_t width, int32_t height, uint16_t bits, uint32_t colorsUsed, size_t extra,
                 uint32_t compression = 0)
{
    Bytes b(size + extra, 0);
    Put32(b, 0, size);
    Put32(b, 4, uint32_t(width));
    Put32(b, 8, uint32_t(height));
    Put16(b, 12, 1);
    Put16(b, 14, bits);
    if (size >= 20) Put32(b, 16, compression);
    if (size >= 36) Put32(b, 32, colorsUsed);
    for (size_t i = 0; i < extra; ++i) b[size + i] = uint8_t(i * 7 + 1);
    return b;
}

Bytes Cut(Bytes b, size_t n)
{
    b.resize(n);
    return b;
}

NormalizedDib Garbage()
{
    NormalizedDib dib;
    memset(&dib, 0xCD, sizeof dib);
    return dib;
}

TEST(ReadDibHeader, CoreHeaderWithEightBitsTakesColourTriples)
{
    Bytes b(12 + 768 + 4 * 3, 0);
    Put32(b, 0, 12);
    Put16(b, 4, 4);   // 4 × 3 pixels of one byte: stride 4
    Put16(b, 6, 3);
    Put16(b, 8, 1);
    Put16(b, 10, 8);
    for (int i = 0; i < 768; ++i) b[12 + i] = uint8_t(i * 5);
    NormalizedDib dib = Garbage();
    const uint8_t* pixels = nullptr;
    ASSERT_TRUE(ReadDibHeader(b.data(), b.size(), &dib, &pixels));
    EXPECT_EQ(b.data() + 12 + 768, pixels);
    EXPECT_EQ(40u, dib.header.size);
    EXPECT_EQ(4, dib.header.width);
    EXPECT_EQ(3, dib.header.height);
    EXPECT_EQ(256u, dib.header.clrUsed);
    EXPECT_EQ(0u, dib.header.compression);
    EXPECT_EQ(0u, dib.header.sizeImage);
    const DibColor& c = dib.colors[255];   // bytes 765, 766, 767 of the table
    EXPECT_EQ(uint8_t(765 * 5), c.blue);
    EXPECT_EQ(uint8_t(766 * 5), c.green);
    EXPECT_EQ(uint8_t(767 * 5), c.red);
    EXPECT_EQ(0, c.reserved);
}

TEST(ReadDibHeader, ColourCountsAndPixelOffsets)
{
    const struct {
        const char* what;
        uint32_t size;
        uint16_t bits;
        uint32_t colorsUsed;
        uint32_t count;
        size_t pixelOffset;
    } cases[] = {
        {"4 bits, colours used 0", 40, 4, 0, 16, 40 + 64},
        {"8 bits, colours used 2", 40, 8, 2, 2, 40 + 8},
        {"1 bit", 40, 1, 0, 2, 40 + 8},
        {"short 16-byte header: no colours-used field", 16, 4, 0, 16, 16 + 64},
        {"version 5 header of 124 bytes", 124, 8, 3, 3, 124 + 12},
        {"24 bits: no colour table", 40, 24, 0, 0, 40},
    };
    for (const auto& c : cases) {
        Bytes b = InfoHeader(c.size, 5, 2, c.bits, c.colorsUsed, 4 * c.count + 2 * 16);
        NormalizedDib dib = Garbage();
        const uint8_t* pixels = nullptr;
        ASSERT_TRUE(ReadDibHeader(b.data(), b.size(), &dib, &pixels)) << c.what;
        EXPECT_EQ(b.data() + c.pixelOffset, pixels) << c.what;
        EXPECT_EQ(40u, dib.header.size) << c.what;
        EXPECT_EQ(c.count, dib.header.clrUsed) << c.what;
        if (c.count) {
            EXPECT_EQ(b[c.size + 4 * (c.count - 1) + 2], dib.colors[c.count - 1].red) << c.what;
        }
        for (uint32_t i = c.count; i < 256; ++i) ASSERT_EQ(0u, *reinterpret_cast<uint32_t*>(&dib.colors[i])) << c.what;
    }
}

TEST(ReadDibHeader, RefusesHeadersAndPicturesItCannotShow)
{
    const struct {
        const char* what;
        Bytes header;
        DibStatus expected;
    } cases[] = {
        {"size 11", InfoHeader(11, 4, 4, 8, 0, 2000), kDibBadHeaderSize},
        {"size 13", InfoHeader(13, 4, 4, 8, 0, 2000), kDibBadHeaderSize},
        {"size 15", InfoHeader(15, 4, 4, 8, 0, 2000), kDibBadHeaderSize},
        {"size beyond the data", Cut(InfoHeader(40, 4, 4, 8, 0, 0), 30), kDibTruncatedHeader},
        {"more than 256 colours", InfoHeader(40, 4, 4, 8, 257, 5000), kDibTooManyColors},
        {"colour table beyond the data", InfoHeader(40, 4, 4, 8, 200, 4 * 200 - 1), kDibTruncatedColorTable},
        {"pixel rows beyond the data by one byte", InfoHeader(40, 4, 4, 24, 0, 12 * 4 - 1), kDibTruncatedPixels},
        {"16 bits per pixel", InfoHeader(40, 4, 4, 16, 0, 5000), kDibUnsupportedBits},
        {"32 bits per pixel", InfoHeader(40, 4, 4, 32, 0, 5000), kDibUnsupportedBits},
        {"run-length compressed", InfoHeader(40, 4, 4, 8, 0, 5000, 1), kDibCompressed},
        {"top-down", InfoHeader(40, 4, -4, 24, 0, 5000), kDibTopDown},
        {"no width", InfoHeader(40, 0, 4, 24, 0, 5000), kDibEmpty},
        {"24 bits with a colour table", InfoHeader(40, 4, 4, 24, 2, 5000), kDibColorTableForTrueColor},
        {"huge picture", InfoHeader(40, 0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 5000), kDibTruncatedPixels},
        // Rows of 24 × width bits counted in 32 bits wrap to 0 and to 4 bytes.
        {"rows wrapping to no bytes", InfoHeader(40, 0x55555555, 1, 24, 0, 16), kDibTruncatedPixels},
        {"rows wrapping to 4 bytes", InfoHeader(40, 0x55555556, 1, 24, 0, 16), kDibTruncatedPixels},
        {"rows wrapping, many of them", InfoHeader(40, 0x55555556, 0x7FFFFFFF, 24, 0, 16), kDibTruncatedPixels},
    };
    for (const auto& c : cases) {
        NormalizedDib dib = Garbage();
        const uint8_t* pixels = reinterpret_cast<const uint8_t*>(&dib);
        EXPECT_EQ(c.expected, ReadDibHeaderStatus(c.header.data(), c.header.size(), &dib, &pixels)) << c.what;
        EXPECT_EQ(reinterpret_cast<const uint8_t*>(&dib), pixels) << c.what;
    }
    EXPECT_EQ(kDibTruncatedHeader, ReadDibHeaderStatus(InfoHeader(40, 1, 1, 8, 0, 0).data(), 3, nullptr, nullptr));
}

TEST(ReadDibHeader, PixelRowsEndingExactlyAtTheDataEndAreAccepted)
{
    // 3 × 2 pixels of 24 bits: rows of 9 bytes padded to 12.
    Bytes b = InfoHeader(40, 3, 2, 24, 0, 24);
    NormalizedDib dib;
    const uint8_t* pixels = nullptr;
    EXPECT_TRUE(ReadDibHeader(b.data(), b.size(), &dib, &pixels));
    EXPECT_FALSE(ReadDibHeader(b.data(), b.size() - 1, &dib, &pixels));
}

}  // namespace
